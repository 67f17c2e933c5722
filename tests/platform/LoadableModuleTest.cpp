#include "LoadableModule.h"

#include <gtest/gtest.h>

#include <string>

namespace kadivo {
namespace {

// Every module the program ships loads from the build and shows the entry point its caller
// looks up; hidden visibility or a renamed function would hide it.
TEST(LoadableModule, EachModuleShowsTheEntryPointItsCallerLooksUp) {
    for (const auto& [module, entry] : {std::pair{"libkadivo_ffmpeg.so", "KadivoOpenAviFile"},
                                        std::pair{"libkadivo_capture.so", "KadivoConnectCamera"},
                                        std::pair{"libkadivo_lens_solver.so", "KadivoCalibrateLens"},
                                        std::pair{"libkadivo_hdf5.so", "KadivoReadHdf5Tracks"}}) {
        std::string error;
        bool found = false;
        EXPECT_TRUE(LoadModule(module, [&](void* handle) { return found = ModuleSymbol(handle, entry) != nullptr; }, error))
            << module << ": " << error;
        EXPECT_TRUE(found) << module;
        EXPECT_EQ(error, "");
    }
}

TEST(LoadableModule, AFailureSaysWhatWasTriedWhere) {
    std::string error;
    EXPECT_FALSE(LoadModule("libkadivo_nowhere.so", [](void*) { return true; }, error));
    EXPECT_EQ(error.rfind("the module libkadivo_nowhere.so could not be loaded:\n  ", 0), 0u) << error;
    // Beside the program, in the installed tree and in the build.
    std::size_t places = 0;
    for (std::size_t at = error.find("libkadivo_nowhere.so: cannot open"); at != std::string::npos;
         at = error.find("libkadivo_nowhere.so: cannot open", at + 1))
        ++places;
    EXPECT_EQ(places, 3u) << error;

    error.clear();
    EXPECT_FALSE(LoadModule("libkadivo_hdf5.so", [](void* handle) { return ModuleSymbol(handle, "KadivoNoSuchEntry") != nullptr; },
                            error));
    EXPECT_NE(error.find("/libkadivo_hdf5.so lacks its entry points"), std::string::npos) << error;
}

}  // namespace
}  // namespace kadivo
