#include "engine/gfx/luaWrapper.h"

#include "engine/core/log.h"

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>

namespace engine::gfx {

namespace {

constexpr const char* kSource = "engine\\luaWrapper";
// Small enough that a run of instructions on long strings between two
// checks stays short.
constexpr int kHookInterval = 100;

std::int64_t Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The state's allocator: the usual realloc/free pair, refusing to grow past
// the budget, or to hand out more than the allocation limit in all, while
// the chunk runs.
void* Allocate(void* userData, void* block, std::size_t oldSize, std::size_t newSize) {
    auto* budget = static_cast<LuaScript::Budget*>(userData);
    const std::size_t held = budget->bytes - (block ? oldSize : 0);
    if (newSize == 0) {
        std::free(block);
        budget->bytes = held;
        return nullptr;
    }
    if (newSize > budget->byteLimit || held > budget->byteLimit - newSize)
        return nullptr;
    // Only the chunk's run counts: reading its result afterwards lifts the
    // byte limit.
    if (budget->byteLimit != std::numeric_limits<std::size_t>::max()) {
        if (budget->allocated >
            LuaScript::kAllocationLimit - std::min(newSize, LuaScript::kAllocationLimit)) {
            budget->allocationRefused = true;
            return nullptr;
        }
        budget->allocated += newSize;
    }
    void* grown = std::realloc(block, newSize);
    if (grown)
        budget->bytes = held + newSize;
    return grown;
}

void CountInstructions(lua_State* state, lua_Debug*) {
    void* userData = nullptr;
    lua_getallocf(state, &userData);
    auto* budget = static_cast<LuaScript::Budget*>(userData);
    budget->instructions += kHookInterval;
    const bool tooMany = budget->instructions > LuaScript::kInstructionLimit;
    if (tooMany || Now() > budget->deadline) {
        // Inside a hook, level 0 is the Lua function that is running.
        luaL_where(state, 0);
        if (tooMany)
            lua_pushfstring(state, "script stopped after %d instructions (endless loop?)",
                            static_cast<int>(LuaScript::kInstructionLimit));
        else
            lua_pushfstring(state, "script stopped after %d ms (endless loop?)",
                            LuaScript::kTimeLimitMilliseconds);
        lua_concat(state, 2);
        lua_error(state);
    }
}

} // namespace

LuaScript::LuaScript(const std::string& path) {
    mBudget.byteLimit = kMemoryLimit;
    mBudget.deadline = Now() + std::int64_t{kTimeLimitMilliseconds} * 1'000'000;
    mState = lua_newstate(Allocate, &mBudget);
    if (!mState)
        core::Logging::Get()->Error("Error in lua script: not enough memory", kSource, __LINE__);
    lua_sethook(mState, CountInstructions, LUA_MASKCOUNT, kHookInterval);
    try {
        Load(path);
        if (lua_pcall(mState, 0, 0, 0) != 0) {
            const char* message = lua_tostring(mState, -1);
            std::string text = message ? message : "(error object is not a string)";
            if (mBudget.allocationRefused)
                text = "script stopped after allocating " + std::to_string(kAllocationLimit >> 20) +
                       " MiB (runaway string or table building?)";
            core::Logging::Get()->Error("Error in lua script: " + text, kSource, __LINE__);
        }
    } catch (...) {
        lua_close(mState);
        throw;
    }
    // The chunk is done; reading its result only pushes a few values.
    lua_sethook(mState, nullptr, 0, 0);
    mBudget.byteLimit = std::numeric_limits<std::size_t>::max();
}

LuaScript::~LuaScript() {
    lua_close(mState);
}

// Reads the file the way luaL_loadfile does (a first line starting with '#'
// is skipped, messages have its wording) but refuses precompiled chunks:
// Lua 5.1 does not verify bytecode, so a crafted one could corrupt memory.
void LuaScript::Load(const std::string& path) {
    auto fail = [&](const std::string& message) {
        core::Logging::Get()->Error("Error in lua script: " + message, kSource, __LINE__);
    };
    std::ifstream in(path, std::ios::binary);
    if (!in)
        fail("cannot open " + path + ": " + std::strerror(errno));
    std::string text;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kFileSizeLimit)
            fail("cannot read " + path + ": larger than " + std::to_string(kFileSizeLimit) +
                 " bytes");
    }
    if (in.bad())
        fail("cannot read " + path);
    std::size_t body = 0;
    if (!text.empty() && text[0] == '#') {
        // Keep the line feed so that line numbers still count the skipped line.
        const std::size_t end = text.find('\n');
        text.replace(0, end == std::string::npos ? text.size() : end + 1, "\n");
        body = 1;
    }
    if (text.size() > body && text[body] == LUA_SIGNATURE[0])
        fail(path + ": precompiled chunks are not accepted");
    const std::string chunkName = "@" + path;
    if (luaL_loadbuffer(mState, text.data(), text.size(), chunkName.c_str()) != 0) {
        const char* message = lua_tostring(mState, -1);
        fail(message ? message : "cannot load " + path);
    }
}

LuaTable LuaTable::Global(LuaScript& script, const char* name) {
    lua_getfield(script.GetState(), LUA_GLOBALSINDEX, name);
    return LuaTable(script, lua_gettop(script.GetState()));
}

LuaTable::~LuaTable() {
    lua_settop(mScript.GetState(), -2);
}

LuaTable LuaTable::Field(const char* key) const {
    lua_State* state = mScript.GetState();
    if (IsTable()) {
        lua_pushstring(state, key);
        lua_gettable(state, mIndex);
    } else {
        lua_pushnil(state);
    }
    return LuaTable(mScript, lua_gettop(state));
}

LuaTable LuaTable::Element(int index) const {
    lua_State* state = mScript.GetState();
    if (IsTable())
        lua_rawgeti(state, mIndex, index);
    else
        lua_pushnil(state);
    return LuaTable(mScript, lua_gettop(state));
}

bool LuaTable::HasElement(int index) const {
    if (!IsTable())
        return false;
    lua_State* state = mScript.GetState();
    lua_rawgeti(state, mIndex, index);
    const bool present = lua_type(state, -1) != LUA_TNIL;
    lua_settop(state, -2);
    return present;
}

bool LuaTable::IsTable() const {
    return lua_type(mScript.GetState(), mIndex) == LUA_TTABLE;
}

bool LuaTable::IsNil() const {
    return lua_type(mScript.GetState(), mIndex) == LUA_TNIL;
}

bool LuaTable::IsNumber() const {
    return lua_type(mScript.GetState(), mIndex) == LUA_TNUMBER;
}

bool LuaTable::IsString() const {
    return lua_type(mScript.GetState(), mIndex) == LUA_TSTRING;
}

std::string LuaTable::ToString() const {
    lua_State* state = mScript.GetState();
    if (IsNil())
        return {};
    // Numbers convert in place, which is harmless: this slot is our own copy.
    std::size_t length = 0;
    const char* text = lua_tolstring(state, mIndex, &length);
    return text ? std::string(text, length) : std::string();
}

double LuaTable::ToNumber() const {
    return lua_tonumber(mScript.GetState(), mIndex);
}

bool LuaTable::ToBoolean() const {
    return lua_toboolean(mScript.GetState(), mIndex) != 0;
}

} // namespace engine::gfx
