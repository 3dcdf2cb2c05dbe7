#pragma once

#include "engine/core/singleton.h"
#include "engine/core/windowSettings.h"
#include "engine/math/matrix4x4.h"
#include "engine/platform/device.h"
#include "engine/platform/sdlWindow.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace engine::core {

// The demo's only window and its graphics device: created from the
// settings, reports the adapter to the log, settles the multisample level
// and back-buffer format the device accepts, and feeds window events to
// the input state.
class CWin32Window : public pattern::Singleton<CWin32Window> {
public:
    // Makes the device for a window; tests swap in a recording device.
    using DeviceFactory = std::function<std::unique_ptr<platform::Device>(
        SDL_Window*, const platform::PresentParameters&)>;

    CWin32Window();
    ~CWin32Window() override;

    int Create(const WindowSettings& settings);
    int InitDevice();
    void Shutdown();
    // Handles one translated window event, as a Win32 window procedure.
    void WindowProc(const platform::WindowMessage& message);
    // Whether the window procedure posted a quit since the last call.
    bool TakeQuitPosted();

    virtual int InitUserState();
    virtual int ReleaseUserState();

    platform::Device* Device() const { return mDevice.get(); }
    platform::SdlWindow* Window() const { return mWindow.get(); }
    const WindowSettings& Settings() const { return mSettings; }
    const platform::PresentParameters& PresentParameters() const { return mPresentParameters; }
    const platform::DeviceCaps& Caps() const { return mCaps; }
    std::uint32_t ClearColor() const { return mClearColor; }
    void SetClearColor(std::uint32_t color) { mClearColor = color; }
    const math::Matrix4x4& View() const { return mView; }
    const math::Matrix4x4& InverseView() const { return mInverseView; }
    const math::Matrix4x4& Projection() const { return mProjection; }
    const math::Matrix4x4& ViewProjection() const { return mViewProjection; }

    static void SetDeviceFactory(DeviceFactory factory);

private:
    void CreateDevice();
    int ChooseMultiSample(platform::Format& format);

    std::unique_ptr<platform::SdlWindow> mWindow;
    WindowSettings mSettings;
    std::unique_ptr<platform::Device> mDevice;
    platform::PresentParameters mPresentParameters;
    std::uint32_t mClearColor = 0xFFFFFFFF;
    math::Matrix4x4 mView = math::Matrix4x4::Identity;
    math::Matrix4x4 mInverseView = math::Matrix4x4::Identity;
    math::Matrix4x4 mProjection = math::Matrix4x4::Identity;
    math::Matrix4x4 mViewProjection = math::Matrix4x4::Identity;
    platform::DeviceCaps mCaps;
    bool mQuitPosted = false;
};

} // namespace engine::core
