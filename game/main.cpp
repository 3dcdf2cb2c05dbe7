// Placeholder entry until the demo's scene lands: runs the engine's kernel
// for one pass with a module that reports and quits, so the library, the log
// and the main loop are exercised end to end.
#include "engine/core/kernel.h"
#include "engine/core/log.h"

#include <cstdio>

namespace {

class Hello : public engine::core::Module {
public:
    Hello() {
        Name(L"Hello");
        Priority(200);
    }
    void Start() override {}
    void Update() override {
        engine::core::Logging::Get()->Message("The demo's scene is not built yet", ".\\main.cpp",
                                              __LINE__);
        engine::core::Kernel::Get()->Quit();
    }
    void Kill() override {}
};

} // namespace

int main() {
    Hello hello;
    engine::core::Kernel::Get()->AddModule(&hello, 10100);
    engine::core::Kernel::Get()->Run();
    delete engine::core::Kernel::Get();
    std::puts("The engine ran its main loop; the demo itself is still being built.");
    return 0;
}
