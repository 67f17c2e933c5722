#pragma once

// Leak reports name the library that made an allocation, and the suppressions match on
// that name. A library unloaded before the process ends (the OpenGL driver, once its last
// context is gone) shows as an unknown module instead and escapes them. Pinning keeps
// every library loaded at the call until the process ends.

#include <dlfcn.h>
#include <link.h>

namespace kadivo::test {

inline void PinLoadedLibraries() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);  // handle kept on purpose
            return 0;
        },
        nullptr);
}

}  // namespace kadivo::test
