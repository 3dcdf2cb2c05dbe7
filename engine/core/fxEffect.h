#pragma once

#include "engine/core/resource.h"
#include "engine/gfx/compiledEffect.h"

#include <cstdint>
#include <string>

namespace engine::core::resources {

// A compiled effect file. Create compiles (again); Update recompiles when the
// file's last-write time has changed. A file that no longer compiles leaves
// the handle empty until a later reload succeeds.
class FXEffect : public UnmanagedResource, public ResourceRetriever<gfx::CompiledEffect> {
public:
    explicit FXEffect(std::wstring name);
    ~FXEffect() override;

    void Create() override;
    void Release() override;
    void Update() override;
    void OnLostDevice() override;
    void OnResetDevice() override;

    // The compiler's messages of the last failed compile; empty after success.
    const std::string& Errors() const { return mErrors; }
    // The file's last-write time as read at the last Create or Update.
    std::uint64_t LastWriteTime() const {
        return (std::uint64_t(mWriteTimeHigh) << 32) | mWriteTimeLow;
    }

private:
    // False when the time cannot be read.
    bool ReadWriteTime(std::uint64_t& time) const;

    std::string mErrors;
    std::uint32_t mWriteTimeLow = 0;
    std::uint32_t mWriteTimeHigh = 0;
};

} // namespace engine::core::resources
