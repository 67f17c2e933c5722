#include "VideoModule.h"

#include "AviFile.h"
#include "AviWriter.h"
#include "ffmpeg/FfmpegModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace kadivo {

namespace {

constexpr const char* kModuleName = "libkadivo_ffmpeg.so";

struct VideoModule {
    KadivoOpenAviFileFunction open = nullptr;
    KadivoCreateMjpegAviFileFunction create = nullptr;
    std::string error;
};

std::string ExecutableFolder() {
    std::error_code ignored;
    return std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path().string();
}

// Next to the program first, then in the build's module folder.
VideoModule LoadModule() {
    VideoModule module;
    std::string reasons;
    for (const std::string& folder : {ExecutableFolder(), std::string(KADIVO_MODULE_DIR)}) {
        const std::string path = folder + "/" + kModuleName;
        void* handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
        if (!handle) {
            reasons += std::string("\n  ") + dlerror();
            continue;
        }
        module.open = reinterpret_cast<KadivoOpenAviFileFunction>(dlsym(handle, "KadivoOpenAviFile"));
        module.create = reinterpret_cast<KadivoCreateMjpegAviFileFunction>(dlsym(handle, "KadivoCreateMjpegAviFile"));
        if (module.open && module.create) return module;
        reasons += "\n  " + path + " lacks its entry points";
    }
    module.error = std::string("the video module ") + kModuleName + " could not be loaded:" + reasons;
    std::fprintf(stderr, "kadivo: %s\n", module.error.c_str());
    return module;
}

// Loaded once, by whichever thread asks first; the others wait for it.
const VideoModule& Module() {
    static const VideoModule module = LoadModule();
    return module;
}

}  // namespace

VideoModulePreload::VideoModulePreload() : loader_([] { Module(); }) {}

VideoModulePreload::~VideoModulePreload() { loader_.join(); }

std::unique_ptr<AviFile> OpenAviFile(const std::string& path) {
    const VideoModule& module = Module();
    return std::unique_ptr<AviFile>(module.open ? module.open(path.c_str()) : nullptr);
}

std::unique_ptr<AviVideoWriter> CreateMjpegAviFile(const std::string& path, int width, int height, int framesPerSecond,
                                                   std::string& error) {
    const VideoModule& module = Module();
    if (!module.create) {
        error = module.error;
        return nullptr;
    }
    char reason[256] = {};
    std::unique_ptr<AviVideoWriter> writer(module.create(path.c_str(), width, height, framesPerSecond, reason, sizeof reason));
    if (!writer) error = reason;
    return writer;
}

}  // namespace kadivo
