#include "engine/core/fxEffect.h"

#include "engine/core/exception.h"
#include "engine/core/graphicsDevice.h"
#include "engine/core/log.h"
#include "engine/core/stringConversion.h"
#include "engine/gfx/effectFileParser.h"

#include <filesystem>

namespace engine::core::resources {

namespace {
constexpr const char* kSource = ".\\resourceTypes.cpp";
}

FXEffect::FXEffect(std::wstring name) : UnmanagedResource(std::move(name)) {}

FXEffect::~FXEffect() = default;

bool FXEffect::ReadWriteTime(std::uint64_t& time) const {
    std::error_code error;
    const auto stamp =
        std::filesystem::last_write_time(std::filesystem::path(Narrow(Name())), error);
    if (error)
        return false;
    time = static_cast<std::uint64_t>(stamp.time_since_epoch().count());
    return true;
}

void FXEffect::Create() {
    Release();
    Logging::Get()->Message("Creating .fx effect " + Narrow(Name()), kSource, __LINE__);
    // The shared-parameter pool is made on first use and lives until the end.
    gfx::SharedParameterPool::Instance();
    gfx::EffectDescription description;
    try {
        description = gfx::ParseEffectFile(Narrow(Name()));
    } catch (const Exception& exception) {
        // The parser has logged where the file is broken.
        mErrors = Narrow(exception.GetText());
        Logging::Get()->Error("Failed to create effect " + Narrow(Name()), kSource, __LINE__);
    }
    platform::Device* device = GraphicsDevice();
    mErrors = device ? std::string() : "no graphics device";
    if (device)
        mHandle = gfx::CompiledEffect::Create(*device, std::move(description), mErrors);
    if (!mHandle) {
        // The compiler's text is what the author needs to fix the file.
        while (!mErrors.empty() && mErrors.back() == '\n')
            mErrors.pop_back();
        Logging::Get()->Warning(mErrors, kSource, __LINE__);
        Logging::Get()->Error("Failed to create effect " + Narrow(Name()), kSource, __LINE__);
    }
    std::uint64_t time = 0;
    if (!ReadWriteTime(time))
        Logging::Get()->Error("Could not get file attributes", kSource, __LINE__);
    mWriteTimeLow = static_cast<std::uint32_t>(time);
    mWriteTimeHigh = static_cast<std::uint32_t>(time >> 32);
}

void FXEffect::Release() {
    mHandle.reset();
}

void FXEffect::Update() {
    std::uint64_t time = 0;
    if (!ReadWriteTime(time))
        Logging::Get()->Error("Could not get file attributes", kSource, __LINE__);
    if (time == LastWriteTime())
        return;
    mWriteTimeLow = static_cast<std::uint32_t>(time);
    mWriteTimeHigh = static_cast<std::uint32_t>(time >> 32);
    Logging::Get()->Message("Updating " + Narrow(Name()), kSource, __LINE__);
    Create();
}

void FXEffect::OnLostDevice() {
    if (mHandle)
        mHandle->OnLostDevice();
}

void FXEffect::OnResetDevice() {
    if (mHandle)
        mHandle->OnResetDevice();
}

} // namespace engine::core::resources
