#include "engine/core/settingsDialog.h"

#include "engine/core/kernel.h"
#include "engine/core/log.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_PNG_Image.H>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

// Last: the X11 headers it pulls in define macros such as None and Status.
#include <FL/x.H>

namespace engine::core {

namespace {

constexpr const char* kSource = ".\\windowStuff.cpp";
constexpr const char* kBannerPath = "data/dialogBanner.png";
constexpr const char* kIconPath = "data/dialogIcon.png";

// Times New Roman at a cell height of 16 pixels is about 14 pixels to the em.
constexpr Fl_Font kFont = FL_FREE_FONT;
constexpr Fl_Fontsize kFontSize = 14;
constexpr int kListHeight = 22;

constexpr int kResolutions[][2] = {{640, 480},  {800, 600},  {1024, 768}, {1152, 864},
                                   {1280, 768}, {1280, 800}, {1280, 1024}};
constexpr int kRefreshRates[] = {60, 70, 72, 75, 85};
constexpr int kSampleCounts[] = {0, 2, 4, 6};

void ExitNow(int code) {
    std::exit(code);
}

ProcessExit gProcessExit = &ExitNow;

// FLTK reports a display it cannot open through its fatal handler, which
// would end the process; this one turns the report into an exception.
[[noreturn]] void ThrowFatal(const char* format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    throw std::runtime_error(text);
}

void OpenDisplay() {
    void (*previous)(const char*, ...) = Fl::fatal;
    Fl::fatal = ThrowFatal;
    std::string failure;
    try {
        fl_open_display();
    } catch (const std::runtime_error& e) {
        failure = e.what();
    }
    Fl::fatal = previous;
    if (failure.empty())
        return;
    const std::string message = "The settings dialog needs a display and none could be opened (" +
                                failure +
                                "). Start the demo with nodialog to run without the dialog.";
    std::fprintf(stderr, "%s\n", message.c_str());
    Logging::Get()->Error(message, kSource, 230);
}

// A picture of our own data folder; null when it is missing or unreadable,
// which leaves the place empty.
std::unique_ptr<Fl_PNG_Image> LoadPicture(const char* path) {
    auto image = std::make_unique<Fl_PNG_Image>(path);
    if (image->fail() || image->w() <= 0 || image->h() <= 0)
        return nullptr;
    return image;
}

void Label(int x, int y, const char* text) {
    auto* label = new Fl_Box(x, y, 100, 18, text);
    label->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    label->labelfont(kFont);
    label->labelsize(kFontSize);
}

Fl_Choice* List(int x, int y, std::initializer_list<const char*> items, int selected) {
    auto* list = new Fl_Choice(x, y, 160, kListHeight);
    for (const char* item : items)
        list->add(item);
    list->textfont(kFont);
    list->textsize(kFontSize);
    list->value(selected);
    return list;
}

Fl_Check_Button* CheckBox(int x, int y) {
    return new Fl_Check_Button(x, y, 24, 24);
}

// A Win32 push button in a dialog: Enter presses the button that has the
// focus, as the space bar does.
class DialogButton : public Fl_Button {
public:
    using Fl_Button::Fl_Button;
    int handle(int event) override {
        if (event == FL_KEYBOARD && Fl::focus() == this &&
            (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter) &&
            !(Fl::event_state() & (FL_SHIFT | FL_CTRL | FL_ALT | FL_META))) {
            do_callback();
            return 1;
        }
        return Fl_Button::handle(event);
    }
};

Fl_Button* Button(int x, int y, const char* text) {
    auto* button = new DialogButton(x, y, 150, 24, text);
    button->labelfont(kFont);
    button->labelsize(kFontSize);
    return button;
}

} // namespace

SettingsDialogWindow::SettingsDialogWindow() {
    OpenDisplay();
    Fl::set_font(kFont, "Times New Roman");
    mBannerImage = LoadPicture(kBannerPath);
    mIconImage = LoadPicture(kIconPath);

    mWindow = std::make_unique<Fl_Double_Window>(100, 100, 340, 370, "Select Your Settings");
    mWindow->labelfont(kFont);
    mWindow->labelsize(kFontSize);
    Label(20, 120, "Resolution");
    Label(20, 150, "Refresh Rate");
    Label(20, 240, "Fullscreen");
    Label(20, 260, "VSync");
    Label(20, 280, "Allways on top");
    Label(20, 180, "Backbuffer");
    Label(20, 210, "Antialiasing");
    mBanner = new Fl_Box(20, 20, 300, 80);
    mBanner->box(FL_NO_BOX);
    if (mBannerImage) {
        mBanner->size(mBannerImage->w(), mBannerImage->h());
        mBanner->image(mBannerImage.get());
    }
    mStart = Button(10, 310, "Start");
    mStart->callback(&SettingsDialogWindow::OnStart, this);
    // The default button: Enter presses it unless the other button has the
    // focus (Start has it when the dialog opens).
    mStart->shortcut(FL_Enter);
    mExit = Button(170, 310, "Exit");
    mExit->callback(&SettingsDialogWindow::OnExit, this);
    mFullscreen = CheckBox(160, 237);
    mVSync = CheckBox(160, 257);
    mOnTop = CheckBox(160, 277);
    mResolution = List(160, 117,
                       {"640 x 480", "800 x 600", "1024 x 768", "1152 x 864", "1280 x 768",
                        "1280 x 800", "1280 x 1024"},
                       2);
    mRefresh = List(160, 146, {"60Hz", "70Hz", "72Hz", "75Hz", "85Hz"}, 0);
    mBackBuffer = List(160, 175, {"32bit", "16bit"}, 0);
    mAntialiasing = List(160, 205, {"No Antialiasing", "2 Samples", "4 Samples", "6 Samples"}, 0);
    mFullscreen->value(1);
    mWindow->end();
    mWindow->callback(&SettingsDialogWindow::OnClose, this);
    if (mIconImage)
        mWindow->icon(mIconImage.get());

    Logging::Get()->Message("Settings dialog initiated", kSource, 234);
}

SettingsDialogWindow::~SettingsDialogWindow() {
    mWindow.reset();
    Fl::flush();
}

WindowSettings SettingsDialogWindow::Run() {
    mWindow->show();
    mStart->take_focus();
    while (mOutcome == Outcome::Running) {
        Fl::wait();
        // Nothing but the three ways out may take the dialog away; should
        // the window vanish otherwise, it counts as closed.
        if (mOutcome == Outcome::Running && !mWindow->shown())
            OnClose(mWindow.get(), this);
    }
    // The dialog is shown once per process: it leaves the screen for good.
    mWindow->hide();
    Fl::flush();
    return Read();
}

WindowSettings SettingsDialogWindow::Read() const {
    WindowSettings settings;
    const int resolution = mResolution->value();
    if (resolution >= 0 && resolution < static_cast<int>(std::size(kResolutions))) {
        settings.width = kResolutions[resolution][0];
        settings.height = kResolutions[resolution][1];
    }
    const int refresh = mRefresh->value();
    if (refresh >= 0 && refresh < static_cast<int>(std::size(kRefreshRates)))
        settings.refreshRate = kRefreshRates[refresh];
    settings.backBufferFormat = mBackBuffer->value() == 1 ? kFormatR5G6B5 : kFormatX8R8G8B8;
    const int samples = mAntialiasing->value();
    if (samples >= 0 && samples < static_cast<int>(std::size(kSampleCounts)))
        settings.multiSample = kSampleCounts[samples];
    settings.fullscreen = mFullscreen->value() != 0;
    settings.presentInterval = mVSync->value() ? kPresentIntervalOne : kPresentIntervalImmediate;
    settings.alwaysOnTop = mOnTop->value() != 0;
    settings.depthStencilFormat = kFormatD24X8;
    return settings;
}

void SettingsDialogWindow::OnStart(Fl_Widget*, void* self) {
    static_cast<SettingsDialogWindow*>(self)->mOutcome = Outcome::Started;
}

void SettingsDialogWindow::OnExit(Fl_Widget*, void* self) {
    auto* dialog = static_cast<SettingsDialogWindow*>(self);
    dialog->mOutcome = Outcome::Exited;
    dialog->mWindow->hide();
    Fl::flush();
    gProcessExit(0);
}

void SettingsDialogWindow::OnClose(Fl_Widget*, void* self) {
    // FLTK sends Escape to the window's callback as well; only the close box
    // ends the dialog.
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape)
        return;
    static_cast<SettingsDialogWindow*>(self)->mOutcome = Outcome::Closed;
    Kernel::Get()->Quit();
}

ProcessExit SetProcessExit(ProcessExit exit) {
    const ProcessExit previous = gProcessExit;
    gProcessExit = exit ? exit : &ExitNow;
    return previous;
}

} // namespace engine::core

namespace engine {

WindowSettings SettingsDialog() {
    core::SettingsDialogWindow dialog;
    return dialog.Run();
}

} // namespace engine
