#pragma once

#include "engine/core/windowSettings.h"
#include "engine/engineApi.h"

#include <memory>

class Fl_Box;
class Fl_Button;
class Fl_Check_Button;
class Fl_Choice;
class Fl_Double_Window;
class Fl_PNG_Image;
class Fl_Widget;

namespace engine {

// Asks the user for the display settings. Returns them when Start is
// pressed; Exit ends the process with code 0; closing the window returns the
// settings and asks the kernel to quit. Throws Exception when there is no
// display to show the dialog on.
ENGINE_API WindowSettings SettingsDialog();

} // namespace engine

namespace engine::core {

// The settings dialog's window and controls, built but not yet shown.
class SettingsDialogWindow {
public:
    enum class Outcome { Running, Started, Exited, Closed };

    // Throws Exception (through the log) when no display can be opened.
    SettingsDialogWindow();
    ~SettingsDialogWindow();
    SettingsDialogWindow(const SettingsDialogWindow&) = delete;
    SettingsDialogWindow& operator=(const SettingsDialogWindow&) = delete;

    // Shows the dialog and handles events until Start, Exit or close; then
    // takes the dialog off the screen and returns the choices.
    WindowSettings Run();
    // The choices as the controls show them now.
    WindowSettings Read() const;
    Outcome GetOutcome() const { return mOutcome; }

    Fl_Double_Window* Window() const { return mWindow.get(); }
    Fl_Box* Banner() const { return mBanner; }
    Fl_Choice* ResolutionList() const { return mResolution; }
    Fl_Choice* RefreshList() const { return mRefresh; }
    Fl_Choice* BackBufferList() const { return mBackBuffer; }
    Fl_Choice* AntialiasingList() const { return mAntialiasing; }
    Fl_Check_Button* FullscreenBox() const { return mFullscreen; }
    Fl_Check_Button* VSyncBox() const { return mVSync; }
    Fl_Check_Button* OnTopBox() const { return mOnTop; }
    Fl_Button* StartButton() const { return mStart; }
    Fl_Button* ExitButton() const { return mExit; }

private:
    static void OnStart(Fl_Widget* widget, void* self);
    static void OnExit(Fl_Widget* widget, void* self);
    static void OnClose(Fl_Widget* widget, void* self);

    std::unique_ptr<Fl_PNG_Image> mBannerImage;
    std::unique_ptr<Fl_PNG_Image> mIconImage;
    std::unique_ptr<Fl_Double_Window> mWindow;
    Fl_Box* mBanner = nullptr;
    Fl_Choice* mResolution = nullptr;
    Fl_Choice* mRefresh = nullptr;
    Fl_Choice* mBackBuffer = nullptr;
    Fl_Choice* mAntialiasing = nullptr;
    Fl_Check_Button* mFullscreen = nullptr;
    Fl_Check_Button* mVSync = nullptr;
    Fl_Check_Button* mOnTop = nullptr;
    Fl_Button* mStart = nullptr;
    Fl_Button* mExit = nullptr;
    Outcome mOutcome = Outcome::Running;
};

// How the dialog's Exit ends the process; tests install a recorder. Returns
// the function installed before; null restores std::exit.
using ProcessExit = void (*)(int code);
ProcessExit SetProcessExit(ProcessExit exit);

} // namespace engine::core
