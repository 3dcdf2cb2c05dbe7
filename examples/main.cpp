// kovra-example [--capture DIR]: plays the example scene in a window, or
// renders its first second offline into DIR as PNG frames. Run it where its
// "data" folder is.
#include "exampleScene.h"

#include "engine/core/exception.h"
#include "engine/wrapper/wrapper.h"

#include <string>

int main(int argc, char** argv) {
    try {
        if (argc == 3 && std::string(argv[1]) == "--capture") {
            engine::CaptureSettings capture;
            capture.directory = argv[2];
            capture.rate = 10;
            capture.width = 320;
            capture.height = 180;
            capture.to = 1.0;
            capture.output = engine::CaptureSettings::Output::Png;
            engine::SetCapture(capture);
        }
        engine::WindowSettings settings;
        settings.title = L"KOVRA example";
        ExampleScene scene;
        engine::CreateKOVRAWindow(settings);
        engine::AddModule(&scene, 10100);
        engine::StartApplication();
        return 0;
    } catch (const engine::core::Exception& e) {
        engine::ShowMessage(e.GetText(), e.GetFunction());
        return 1;
    }
}
