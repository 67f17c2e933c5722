#include "LoadableModule.h"

#include "InstalledFiles.h"

#include <dlfcn.h>

#include <cstdio>

namespace kadivo {

bool LoadModule(const char* name, const std::function<bool(void* handle)>& take, std::string& error) {
    std::string reasons;
    const std::string programFolder = ProgramFolder();
    for (const std::string& folder : {programFolder, InstalledModuleFolder(programFolder), std::string(KADIVO_MODULE_DIR)}) {
        const std::string path = folder + "/" + name;
        void* handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
        if (!handle) {
            reasons += std::string("\n  ") + dlerror();
            continue;
        }
        if (take(handle)) return true;
        reasons += "\n  " + path + " lacks its entry points";
    }
    error = std::string("the module ") + name + " could not be loaded:" + reasons;
    std::fprintf(stderr, "kadivo: %s\n", error.c_str());
    return false;
}

void* ModuleSymbol(void* handle, const char* name) { return dlsym(handle, name); }

}  // namespace kadivo
