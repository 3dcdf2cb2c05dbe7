#include "engine/core/Window.h"

#include "engine/core/frameCapture.h"
#include "engine/core/graphicsDevice.h"
#include "engine/core/input.h"
#include "engine/core/log.h"
#include "engine/core/stringConversion.h"
#include "engine/math/matrixHelpers.h"
#include "engine/platform/glDevice.h"
#include "engine/platform/glErrorLog.h"

#include <SDL.h>

#include <filesystem>
#include <string>

namespace engine::core {

namespace {

constexpr const char* kSource = ".\\Window.cpp";
constexpr float kFieldOfView = 0.7853982f;
constexpr float kNearPlane = 0.5f;
constexpr float kFarPlane = 400.0f;

CWin32Window::DeviceFactory& Factory() {
    static CWin32Window::DeviceFactory factory;
    return factory;
}

std::unique_ptr<platform::Device> MakeDevice(SDL_Window* window,
                                             const platform::PresentParameters& parameters) {
    if (Factory())
        return Factory()(window, parameters);
    auto device = platform::GlDevice::Create(window, parameters);
    // The device checks its own calls; anything else the driver rejects is
    // still worth a row in the log. A WARNING: the report comes from inside
    // the driver, where the exception of an ERROR row must not be thrown.
    platform::ReportGlErrors([](const std::string& message) {
        Logging::Get()->Warning("OpenGL error: " + message, kSource, __LINE__);
    });
    return device;
}

const char* Bool(bool value) {
    return value ? "true" : "false";
}

} // namespace

CWin32Window::CWin32Window() = default;

CWin32Window::~CWin32Window() {
    if (GraphicsDevice() == mDevice.get())
        SetGraphicsDevice(nullptr);
}

void CWin32Window::SetDeviceFactory(DeviceFactory factory) {
    Factory() = std::move(factory);
}

int CWin32Window::Create(const WindowSettings& settings) {
    Logging* log = Logging::Get();
    std::error_code ec;
    const std::filesystem::path directory = std::filesystem::current_path(ec);
    if (ec)
        log->Error("Could not get working directory", kSource, 25);
    log->Message("Working from " + directory.string(), kSource, 26);

    mSettings = settings;
    mWindow.reset();

    platform::WindowDescription description;
    description.title = settings.title;
    description.width = settings.width;
    description.height = settings.height;
    description.fullscreen = settings.fullscreen;
    description.x = 100;
    description.y = 100;
    log->Message("Creating window \"" + Narrow(settings.title) + "\" " +
                     std::to_string(settings.width) + "x" + std::to_string(settings.height) + "x" +
                     std::to_string(settings.refreshRate) + "hz fullscreen: " +
                     Bool(settings.fullscreen) + " AA: " + std::to_string(settings.multiSample) +
                     " Backbuffer: " + std::to_string(settings.backBufferFormat),
                 kSource, 84);
    mWindow = std::make_unique<platform::SdlWindow>(description);
    if (!mWindow->Handle())
        log->Error("Could not create window handle", kSource, 86);
    if (settings.alwaysOnTop)
        SDL_SetWindowAlwaysOnTop(mWindow->Handle(), SDL_TRUE);
    return 0;
}

int CWin32Window::InitDevice() {
    CreateDevice();
    if (InitUserState() < 0)
        Logging::Get()->Error("Could not initialize user stuff", kSource, 102);
    SDL_ShowWindow(mWindow->Handle());
    return 0;
}

int CWin32Window::ChooseMultiSample(platform::Format& format) {
    const platform::Device& device = *mDevice;
    auto supported = [&](platform::Format f, int samples) {
        return device.CheckMultiSample(f, true, samples);
    };
    constexpr auto k16Bit = static_cast<platform::Format>(kFormatR5G6B5);
    int samples = mSettings.multiSample;
    if (samples == kBestMultiSample) {
        if (supported(format, 4))
            samples = 4;
        else if (supported(platform::Format::X8R8G8B8, 2))
            samples = 2;
        else
            samples = 0;
    }
    const int chosen = samples;
    while (!supported(format, samples)) {
        if (--samples >= 0)
            continue;
        if (format == k16Bit)
            Logging::Get()->Error("No supported window format found", kSource, 242);
        format = k16Bit;
        samples = chosen;
        while (!supported(format, samples))
            if (--samples < 0)
                Logging::Get()->Error("No supported window format found", kSource, 235);
        break;
    }
    return samples;
}

// A GL context has to exist before its capabilities can be read, so the
// device is made first with the requested format and no multisampling, and
// then reset to what the checks below settle on.
void CWin32Window::CreateDevice() {
    Logging* log = Logging::Get();
    platform::PresentParameters initial;
    initial.windowed = !mSettings.fullscreen;
    initial.backBufferFormat = static_cast<platform::Format>(mSettings.backBufferFormat);
    initial.depthStencilFormat = static_cast<platform::Format>(mSettings.depthStencilFormat);
    initial.width = mSettings.fullscreen ? mSettings.width : 0;
    initial.height = mSettings.fullscreen ? mSettings.height : 0;
    mDevice = MakeDevice(mWindow->Handle(), initial);
    if (!mDevice)
        log->Error("Could not initialize Direct3D 9. Probably older version installed.", kSource,
                   133);

    mCaps = mDevice->GetCaps();
    log->Message("Driver " + mCaps.driver, kSource, 142);
    log->Message("Description " + mCaps.description, kSource, 143);
    log->Message("Device Name " + mCaps.deviceName, kSource, 144);
    if (platform::SdlWindow::DesktopDisplayMode().width <= 0)
        log->Error("Error getting the display mode.", kSource, 149);

    if (mCaps.vertexProcessingCaps != 0)
        log->Message("Hardware vertex processing chosen", kSource, 163);
    else
        log->Message("Software vertex processing chosen", kSource, 168);
    if (mCaps.vertexShaderVersion < 0xFFFF0101)
        log->Warning("Vertex shaders 1.1 not found. Switching to software vertex processing.",
                     kSource, 179);
    switch (mCaps.pixelShaderVersion) {
    case 0xFFFF0101:
        log->Message("Shader version 1.1 available", kSource, 185);
        break;
    case 0xFFFF0102:
        log->Message("Shader version 1.2 available", kSource, 188);
        break;
    case 0xFFFF0103:
        log->Message("Shader version 1.3 available", kSource, 191);
        break;
    case 0xFFFF0104:
        log->Message("Shader version 1.4 available", kSource, 194);
        break;
    case 0xFFFF0200:
        log->Message("Shader version 2.0 available", kSource, 197);
        break;
    case 0xFFFF0300:
        log->Message("Shader version 3.0 available", kSource, 200);
        break;
    default:
        break;
    }

    platform::Format format = initial.backBufferFormat;
    const int samples = ChooseMultiSample(format);
    mSettings.multiSample = samples;
    mSettings.backBufferFormat = static_cast<std::int32_t>(format);

    mPresentParameters = initial;
    mPresentParameters.backBufferFormat = format;
    mPresentParameters.multiSample = samples;
    mPresentParameters.refreshRate = mSettings.fullscreen ? mSettings.refreshRate : 0;
    // A capture runs as fast as it can draw; the display's refresh is no clock.
    mPresentParameters.presentInterval = FrameCapture::mInstance ? 0 : 1;
    if (samples != initial.multiSample || format != initial.backBufferFormat) {
        if (mDevice->Reset(mPresentParameters) != platform::Result::Ok)
            log->Error("Failed to create Direct3D Device.", kSource, 302);
    }
    SetGraphicsDevice(mDevice.get());
    log->Message(
        "Successfully created " + std::to_string(mSettings.width) + "x" +
            std::to_string(mSettings.height) + "x" + std::to_string(mSettings.refreshRate) +
            "hz fullscreen: " + Bool(mSettings.fullscreen) + " AA: " + std::to_string(samples) +
            " Backbuffer: " + std::to_string(mSettings.backBufferFormat),
        kSource, 313);
}

int CWin32Window::InitUserState() {
    mView = math::Matrix4x4::Identity;
    mDevice->SetTransform(platform::TransformState::View, mView);
    mProjection = math::MatrixPerspectiveFovLH(
        kFieldOfView, static_cast<float>(mSettings.width) / static_cast<float>(mSettings.height),
        kNearPlane, kFarPlane);
    mDevice->SetTransform(platform::TransformState::Projection, mProjection);
    math::MatrixInverse(mView, mInverseView);
    mViewProjection = mView * mProjection;
    mDevice->SetCullMode(platform::CullMode::CounterClockwise);
    return 0;
}

int CWin32Window::ReleaseUserState() {
    return 0;
}

void CWin32Window::Shutdown() {
    if (ReleaseUserState() < 0)
        return;
    Logging* log = Logging::Get();
    log->Message("Releasing D3DDevice", kSource, 330);
    if (GraphicsDevice() == mDevice.get())
        SetGraphicsDevice(nullptr);
    mDevice.reset();
    // The GL context belongs to the device; nothing else stands between the
    // window and the driver.
    log->Message("Releasing Direct3D", kSource, 332);
}

void CWin32Window::WindowProc(const platform::WindowMessage& message) {
    using namespace platform;
    Input* input = Input::Get();
    switch (message.message) {
    case WmClose: // closing destroys the window, as the default handling does
        Logging::Get()->Message("Destroy message received", kSource, 357);
        Shutdown();
        mQuitPosted = true;
        break;
    case WmKeyDown:
        input->KeyDown(static_cast<int>(message.wParam));
        break;
    case WmKeyUp:
        input->KeyUp(static_cast<int>(message.wParam));
        break;
    case WmMouseMove:
        if (mSettings.fullscreen) {
            int x = 0, y = 0;
            SDL_GetGlobalMouseState(&x, &y);
            input->MouseMove(x, y);
        } else {
            input->MouseMove(message.x, message.y);
        }
        break;
    case WmLButtonDown:
        input->ButtonDown(MouseButton::Left);
        break;
    case WmLButtonUp:
        input->ButtonUp(MouseButton::Left);
        break;
    case WmRButtonDown:
        input->ButtonDown(MouseButton::Right);
        break;
    case WmRButtonUp:
        input->ButtonUp(MouseButton::Right);
        break;
    default:
        if (mDevice)
            mDevice->OnWindowMessage(message);
        break;
    }
}

bool CWin32Window::TakeQuitPosted() {
    const bool posted = mQuitPosted;
    mQuitPosted = false;
    return posted;
}

} // namespace engine::core
