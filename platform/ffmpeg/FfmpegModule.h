#pragma once

#include "AviFile.h"
#include "AviWriter.h"

#include <memory>
#include <string>

namespace kadivo::ffmpeg {

// The video module's services, which the platform layer reaches through ModuleEntryPoints.
std::unique_ptr<AviFile> OpenFfmpegAviFile(const std::string& path);
std::unique_ptr<AviVideoWriter> CreateFfmpegMjpegAviFile(const std::string& path, int width, int height,
                                                         int framesPerSecond, std::string& error);

}  // namespace kadivo::ffmpeg

// The entry points the platform layer looks up after loading the module.
extern "C" {
using KadivoOpenAviFileFunction = kadivo::AviFile* (*)(const char* path);
using KadivoCreateMjpegAviFileFunction = kadivo::AviVideoWriter* (*)(const char* path, int width, int height,
                                                                     int framesPerSecond, char* error, int errorSize);
}
