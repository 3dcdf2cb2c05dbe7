#pragma once

#include "engine/core/fuzzingBuild.h"

#include <cstddef>
#include <cstdint>
#include <string>

struct lua_State;

namespace engine::gfx {

// Runs one Lua chunk in a bare state (no standard library) and keeps the
// state for reading what the chunk left behind. A chunk that runs away is
// stopped: the instructions it executes, the memory it holds, the bytes it
// allocates in all and the time it takes are bounded, so a broken or hostile
// script ends in an error instead of a hang. Instructions alone do not bound
// the time: one concatenation or comparison of long strings is a single
// instruction that copies or scans megabytes.
class LuaScript {
public:
    // Instructions a chunk may execute and bytes its state may hold while it
    // runs; effect scripts need a tiny fraction of either.
    static constexpr long kInstructionLimit = core::kFuzzingBuild ? 100'000 : 10'000'000;
    static constexpr std::size_t kMemoryLimit = (core::kFuzzingBuild ? 8u : 64u) << 20;
    static constexpr std::size_t kAllocationLimit = (core::kFuzzingBuild ? 32u : 256u) << 20;
    static constexpr int kTimeLimitMilliseconds = core::kFuzzingBuild ? 100 : 5000;
    static constexpr std::size_t kFileSizeLimit = 4u << 20;

    explicit LuaScript(const std::string& path);
    ~LuaScript();
    LuaScript(const LuaScript&) = delete;
    LuaScript& operator=(const LuaScript&) = delete;

    lua_State* GetState() const { return mState; }

    struct Budget {
        std::size_t bytes = 0;
        std::size_t byteLimit = 0;
        std::size_t allocated = 0; // every byte handed out while the chunk runs
        bool allocationRefused = false;
        long instructions = 0;
        std::int64_t deadline = 0; // steady-clock nanoseconds
    };

private:
    void Load(const std::string& path);

    Budget mBudget;
    lua_State* mState = nullptr;
};

// One value on the Lua stack. Every lookup pushes the value it finds and
// hands it back as a new LuaTable that pops it again when it goes out of
// scope, so nested reads keep the stack balanced as long as they are scoped.
// Looking something up in a value that is not a table yields nil rather than
// raising a Lua error outside a protected call.
class LuaTable {
public:
    // The global `name`.
    static LuaTable Global(LuaScript& script, const char* name);

    ~LuaTable();
    LuaTable(const LuaTable&) = delete;
    LuaTable& operator=(const LuaTable&) = delete;

    LuaTable Field(const char* key) const;
    LuaTable Element(int index) const;
    bool HasElement(int index) const;

    bool IsTable() const;
    bool IsNil() const;
    // A number, not a string that would convert to one.
    bool IsNumber() const;
    bool IsString() const;
    std::string ToString() const;
    double ToNumber() const;
    bool ToBoolean() const;

private:
    LuaTable(LuaScript& script, int index) : mScript(script), mIndex(index) {}

    LuaScript& mScript;
    int mIndex;
};

} // namespace engine::gfx
