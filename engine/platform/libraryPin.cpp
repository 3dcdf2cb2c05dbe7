#include "engine/platform/libraryPin.h"

#include <dlfcn.h>
#include <link.h>

#include <cstddef>

namespace engine::platform {

namespace {

int Pin(dl_phdr_info* info, std::size_t, void*) {
    if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0') {
        // NOLOAD only marks an object already loaded; the reference is never dropped.
        dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
    return 0;
}

} // namespace

void PinLoadedLibraries() {
    dl_iterate_phdr(Pin, nullptr);
}

} // namespace engine::platform
