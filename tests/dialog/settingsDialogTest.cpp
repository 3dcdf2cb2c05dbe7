#include "engine/core/settingsDialog.h"
#include "engine/core/exception.h"
#include "engine/core/kernel.h"
#include "engine/core/log.h"
#include "engine/core/stringConversion.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Image.H>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

using engine::WindowSettings;
using engine::core::Exception;
using engine::core::Kernel;
using engine::core::Logging;
using engine::core::SettingsDialogWindow;
namespace fs = std::filesystem;

// Closes the log so that every row is in the file, then reads it.
std::string ReadLog() {
    delete Logging::mInstance;
    std::ifstream in("data/log.html", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the dialog and, once its event loop is going, does `action` as a
// click would. An idle callback keeps the loop turning, so that it sees the
// outcome without waiting for a further event.
WindowSettings RunWith(SettingsDialogWindow& dialog,
                       std::function<void(SettingsDialogWindow&)> action) {
    struct Pending {
        SettingsDialogWindow* dialog;
        std::function<void(SettingsDialogWindow&)> action;
        bool done;
    } pending{&dialog, std::move(action), false};
    const auto idle = [](void* data) {
        auto* p = static_cast<Pending*>(data);
        if (!p->done) {
            p->done = true;
            p->action(*p->dialog);
        }
    };
    Fl::add_idle(idle, &pending);
    const WindowSettings settings = dialog.Run();
    Fl::remove_idle(idle, &pending);
    return settings;
}

int gExitCode = -1;
void RecordExit(int code) {
    gExitCode = code;
}

class SettingsDialogTest : public ::testing::Test {
protected:
    // Each test works in a folder of its own: ctest runs tests side by side
    // and they all write data/log.html.
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        mOuter = fs::current_path();
        const fs::path folder =
            mOuter / (std::string(test->test_suite_name()) + "." + test->name());
        fs::create_directories(folder / "data");
        fs::current_path(folder);
        for (const char* picture : {"dialogBanner.png", "dialogIcon.png"})
            fs::copy_file(fs::path(KOVRA_SOURCE_DIR) / "data" / picture, fs::path("data") / picture,
                          fs::copy_options::overwrite_existing);
        delete Logging::mInstance;
        Logging::Get();
        gExitCode = -1;
    }
    void TearDown() override {
        delete Kernel::mInstance;
        engine::core::SetProcessExit(nullptr);
        fs::current_path(mOuter);
    }

    fs::path mOuter;
};

TEST(WindowSettingsRecord, DefaultsAreTheDocumentedMode) {
    const WindowSettings settings;
    EXPECT_EQ(settings.width, 1024);
    EXPECT_EQ(settings.height, 768);
    EXPECT_EQ(settings.backBufferFormat, 22);
    EXPECT_EQ(settings.depthStencilFormat, 77);
    EXPECT_EQ(settings.multiSample, 0);
    EXPECT_FALSE(settings.fullscreen);
    EXPECT_FALSE(settings.alwaysOnTop);
    EXPECT_EQ(settings.refreshRate, 60);
    EXPECT_EQ(settings.presentInterval, 0u);
    EXPECT_EQ(settings.title, L"Empty");
}

TEST_F(SettingsDialogTest, OffersTheControlsAndChoicesInTheirPlaces) {
    SettingsDialogWindow dialog;
    Fl_Double_Window* window = dialog.Window();
    EXPECT_STREQ(window->label(), "Select Your Settings");
    EXPECT_EQ(window->w(), 340);
    EXPECT_EQ(window->h(), 370);

    ASSERT_NE(dialog.Banner()->image(), nullptr);
    EXPECT_EQ(dialog.Banner()->x(), 20);
    EXPECT_EQ(dialog.Banner()->y(), 20);
    EXPECT_EQ(dialog.Banner()->image()->w(), 300);
    EXPECT_EQ(dialog.Banner()->image()->h(), 80);

    const auto items = [](Fl_Choice* list) {
        std::vector<std::string> texts;
        for (int i = 0; i < list->size() - 1; ++i)
            texts.emplace_back(list->text(i));
        return texts;
    };
    using Texts = std::vector<std::string>;
    EXPECT_EQ(items(dialog.ResolutionList()),
              (Texts{"640 x 480", "800 x 600", "1024 x 768", "1152 x 864", "1280 x 768",
                     "1280 x 800", "1280 x 1024"}));
    EXPECT_EQ(items(dialog.RefreshList()), (Texts{"60Hz", "70Hz", "72Hz", "75Hz", "85Hz"}));
    EXPECT_EQ(items(dialog.BackBufferList()), (Texts{"32bit", "16bit"}));
    EXPECT_EQ(items(dialog.AntialiasingList()),
              (Texts{"No Antialiasing", "2 Samples", "4 Samples", "6 Samples"}));
    EXPECT_EQ(dialog.ResolutionList()->value(), 2);
    EXPECT_EQ(dialog.RefreshList()->value(), 0);
    EXPECT_EQ(dialog.BackBufferList()->value(), 0);
    EXPECT_EQ(dialog.AntialiasingList()->value(), 0);
    EXPECT_EQ(dialog.ResolutionList()->x(), 160);
    EXPECT_EQ(dialog.ResolutionList()->y(), 117);
    EXPECT_EQ(dialog.ResolutionList()->w(), 160);

    EXPECT_EQ(dialog.FullscreenBox()->value(), 1);
    EXPECT_EQ(dialog.VSyncBox()->value(), 0);
    EXPECT_EQ(dialog.OnTopBox()->value(), 0);
    EXPECT_EQ(dialog.OnTopBox()->y(), 277);

    EXPECT_STREQ(dialog.StartButton()->label(), "Start");
    EXPECT_STREQ(dialog.ExitButton()->label(), "Exit");
    EXPECT_EQ(dialog.StartButton()->x(), 10);
    EXPECT_EQ(dialog.ExitButton()->x(), 170);
    EXPECT_EQ(dialog.ExitButton()->y(), 310);
    EXPECT_EQ(dialog.ExitButton()->w(), 150);

    std::vector<std::string> labels;
    for (int i = 0; i < window->children(); ++i) {
        Fl_Widget* child = window->child(i);
        if (child->label() && dynamic_cast<Fl_Box*>(child))
            labels.emplace_back(child->label());
    }
    EXPECT_EQ(labels, (Texts{"Resolution", "Refresh Rate", "Fullscreen", "VSync", "Allways on top",
                             "Backbuffer", "Antialiasing"}));
    EXPECT_NE(ReadLog().find("<tr><td>MESSAGE</td><td>234</td><td>.\\windowStuff.cpp</td><td>"
                             "Settings dialog initiated</td></tr>\r\n"),
              std::string::npos);
}

TEST_F(SettingsDialogTest, StartUntouchedReturnsTheDefaultMode) {
    SettingsDialogWindow dialog;
    const WindowSettings settings =
        RunWith(dialog, [](SettingsDialogWindow& d) { d.StartButton()->do_callback(); });
    EXPECT_EQ(dialog.GetOutcome(), SettingsDialogWindow::Outcome::Started);
    EXPECT_FALSE(dialog.Window()->shown());
    EXPECT_EQ(settings.width, 1024);
    EXPECT_EQ(settings.height, 768);
    EXPECT_EQ(settings.backBufferFormat, 22);
    EXPECT_EQ(settings.depthStencilFormat, 77);
    EXPECT_EQ(settings.multiSample, 0);
    EXPECT_TRUE(settings.fullscreen);
    EXPECT_FALSE(settings.alwaysOnTop);
    EXPECT_EQ(settings.refreshRate, 60);
    EXPECT_EQ(settings.presentInterval, 0x80000000u);
    EXPECT_EQ(settings.title, L"Empty");
    EXPECT_EQ(ReadLog().find("Quit called"), std::string::npos);
}

TEST_F(SettingsDialogTest, EveryChoiceReachesTheRecord) {
    SettingsDialogWindow dialog;
    const int widths[] = {640, 800, 1024, 1152, 1280, 1280, 1280};
    const int heights[] = {480, 600, 768, 864, 768, 800, 1024};
    for (int i = 0; i < 7; ++i) {
        dialog.ResolutionList()->value(i);
        EXPECT_EQ(dialog.Read().width, widths[i]);
        EXPECT_EQ(dialog.Read().height, heights[i]);
    }
    const int rates[] = {60, 70, 72, 75, 85};
    for (int i = 0; i < 5; ++i) {
        dialog.RefreshList()->value(i);
        EXPECT_EQ(dialog.Read().refreshRate, rates[i]);
    }
    const int samples[] = {0, 2, 4, 6};
    for (int i = 0; i < 4; ++i) {
        dialog.AntialiasingList()->value(i);
        EXPECT_EQ(dialog.Read().multiSample, samples[i]);
    }
    dialog.FullscreenBox()->value(0);
    dialog.VSyncBox()->value(1);
    dialog.OnTopBox()->value(1);
    const WindowSettings settings = dialog.Read();
    EXPECT_FALSE(settings.fullscreen);
    EXPECT_EQ(settings.presentInterval, 1u);
    EXPECT_TRUE(settings.alwaysOnTop);
}

TEST_F(SettingsDialogTest, SixteenBitAndSixSamplesGiveFormat23And6) {
    SettingsDialogWindow dialog;
    const WindowSettings settings = RunWith(dialog, [](SettingsDialogWindow& d) {
        d.BackBufferList()->value(1);
        d.AntialiasingList()->value(3);
        d.StartButton()->do_callback();
    });
    EXPECT_EQ(settings.backBufferFormat, 23);
    EXPECT_EQ(settings.multiSample, 6);
}

TEST_F(SettingsDialogTest, ClosingReturnsAndMakesTheFirstPassQuit) {
    struct Counting : engine::core::Module {
        int updates = 0;
        int kills = 0;
        void Start() override {}
        void Update() override { ++updates; }
        void Kill() override { ++kills; }
    } module;
    {
        SettingsDialogWindow dialog;
        const WindowSettings settings =
            RunWith(dialog, [](SettingsDialogWindow& d) { d.Window()->do_callback(); });
        EXPECT_EQ(dialog.GetOutcome(), SettingsDialogWindow::Outcome::Closed);
        EXPECT_EQ(settings.width, 1024);
    }
    EXPECT_NE(ReadLog().find("<td>126</td><td>.\\kernel.cpp</td><td>Quit called</td>"),
              std::string::npos);
    Kernel::Get()->AddModule(&module, 10100);
    Kernel::Get()->Run();
    EXPECT_EQ(module.updates, 0);
    EXPECT_EQ(module.kills, 1);
}

// A key press as the window system delivers it: to the focused widget
// first, then as a shortcut to the window. A key that ends nothing closes
// the dialog, so that the test fails instead of waiting for ever.
void PressKey(SettingsDialogWindow& dialog, int key) {
    Fl::e_keysym = key;
    Fl::e_state = 0;
    Fl::e_text = const_cast<char*>("\r");
    Fl::e_length = 1;
    Fl::handle(FL_KEYBOARD, dialog.Window());
    if (dialog.GetOutcome() == SettingsDialogWindow::Outcome::Running)
        dialog.Window()->do_callback();
}

TEST_F(SettingsDialogTest, EnterPressesStart) {
    for (const int key : {FL_Enter, FL_KP_Enter}) {
        SettingsDialogWindow dialog;
        const WindowSettings settings = RunWith(dialog, [key](SettingsDialogWindow& d) {
            d.BackBufferList()->value(1);
            d.StartButton()->take_focus();
            PressKey(d, key);
        });
        EXPECT_EQ(dialog.GetOutcome(), SettingsDialogWindow::Outcome::Started) << key;
        EXPECT_EQ(settings.backBufferFormat, 23);
    }
    // Enter is also Start's shortcut: it answers while no button has the focus.
    SettingsDialogWindow dialog;
    RunWith(dialog, [](SettingsDialogWindow& d) {
        d.ResolutionList()->take_focus();
        PressKey(d, FL_Enter);
    });
    EXPECT_EQ(dialog.GetOutcome(), SettingsDialogWindow::Outcome::Started);
    EXPECT_EQ(ReadLog().find("Quit called"), std::string::npos);
}

TEST_F(SettingsDialogTest, EnterOnTheFocusedExitButtonExits) {
    engine::core::SetProcessExit(&RecordExit);
    SettingsDialogWindow dialog;
    RunWith(dialog, [](SettingsDialogWindow& d) {
        d.ExitButton()->take_focus();
        PressKey(d, FL_Enter);
    });
    EXPECT_EQ(gExitCode, 0);
    EXPECT_EQ(dialog.GetOutcome(), SettingsDialogWindow::Outcome::Exited);
}

TEST_F(SettingsDialogTest, ExitEndsTheProcessWithCodeZero) {
    engine::core::SetProcessExit(&RecordExit);
    SettingsDialogWindow dialog;
    RunWith(dialog, [](SettingsDialogWindow& d) { d.ExitButton()->do_callback(); });
    EXPECT_EQ(gExitCode, 0);
    EXPECT_EQ(dialog.GetOutcome(), SettingsDialogWindow::Outcome::Exited);
    EXPECT_EQ(ReadLog().find("Quit called"), std::string::npos);
}

TEST_F(SettingsDialogTest, ExitReallyEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            SettingsDialogWindow dialog;
            RunWith(dialog, [](SettingsDialogWindow& d) { d.ExitButton()->do_callback(); });
            std::_Exit(7); // not reached: Exit ends the process first
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(SettingsDialogTest, MissingPicturesLeaveTheBannerEmpty) {
    fs::remove("data/dialogBanner.png");
    fs::remove("data/dialogIcon.png");
    SettingsDialogWindow dialog;
    EXPECT_EQ(dialog.Banner()->image(), nullptr);
}

TEST_F(SettingsDialogTest, WithoutADisplayTheDialogIsAnError) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    delete Logging::mInstance; // the child process writes the log
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            try {
                engine::SettingsDialog();
            } catch (const Exception& e) {
                std::fprintf(stderr, "caught [%s] at %s\n",
                             engine::core::Narrow(e.GetText()).c_str(),
                             engine::core::Narrow(e.GetFunction()).c_str());
                std::_Exit(3);
            }
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(3),
        "The settings dialog needs a display and none could be opened(.|\n)*caught \\[The "
        "settings dialog needs a display(.|\n)*nodialog(.|\n)*\\] at \\.\\\\windowStuff\\.cpp:230");
    EXPECT_NE(ReadLog().find("<tr class=\"error\"><td>ERROR</td><td>230</td><td>.\\windowStuff.cpp"
                             "</td><td>The settings dialog needs a display"),
              std::string::npos);
}

} // namespace
