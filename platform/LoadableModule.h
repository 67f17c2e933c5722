#pragma once

#include <functional>
#include <string>

namespace kadivo {

// Parts of the program whose libraries take long to load (the video decoders, the lens
// solver, the HDF5 library) are modules loaded on first use, so that a start that needs none
// of them pays for none.
//
// Loads module `name` (libkadivo_….so) from beside the program, then from the installed
// tree's module folder, then from the build's. `take` finds its entry points in a loaded
// module and says whether it has them all. On failure `error` says why for each place
// tried, and the reason is also printed.
bool LoadModule(const char* name, const std::function<bool(void* handle)>& take, std::string& error);

// The entry point `name` of a loaded module, as a function of type `Function`; null when the
// module lacks it.
void* ModuleSymbol(void* handle, const char* name);
template <typename Function>
Function ModuleEntry(void* handle, const char* name) {
    return reinterpret_cast<Function>(ModuleSymbol(handle, name));
}

// A module's entry points, loaded once, by whichever thread asks first; the others wait for
// it. `Module` names its file in kName, finds its entry points in Take(handle), which says
// whether it has them all, and keeps the reasons for a failure in `error`.
template <typename Module>
const Module& LoadedModule() {
    static const Module module = [] {
        Module loaded;
        LoadModule(Module::kName, [&](void* handle) { return loaded.Take(handle); }, loaded.error);
        return loaded;
    }();
    return module;
}

}  // namespace kadivo
