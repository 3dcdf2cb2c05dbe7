#include "engine/platform/driverPin.h"

#include <dlfcn.h>
#include <link.h>

#include <string_view>

namespace engine::platform {

namespace {

bool IsGraphicsDriver(std::string_view path) {
    for (std::string_view part :
         {"_dri.so", "libEGL", "libGLX", "libgallium", "libglapi", "libLLVM"}) {
        if (path.find(part) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

int Pin(dl_phdr_info* info, std::size_t, void*) {
    if (info->dlpi_name != nullptr && IsGraphicsDriver(info->dlpi_name)) {
        // NOLOAD only marks an already loaded object; the handle's reference is never dropped.
        dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
    return 0;
}

} // namespace

void PinGraphicsDrivers() {
    dl_iterate_phdr(Pin, nullptr);
}

} // namespace engine::platform
