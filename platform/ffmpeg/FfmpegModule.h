#pragma once

#include "AudioTrack.h"
#include "AviFile.h"
#include "AviWriter.h"
#include "CaptureDevice.h"

#include <memory>
#include <optional>
#include <string>

namespace kadivo::ffmpeg {

// The video module's services, which the platform layer reaches through ModuleEntryPoints.
std::unique_ptr<AviFile> OpenFfmpegAviFile(const std::string& path);
std::unique_ptr<AviVideoWriter> CreateFfmpegMjpegAviFile(const std::string& path, int width, int height,
                                                         int framesPerSecond, AviFileSpace space, std::string& error);
// The first audio stream of a video file, mixed to one channel (see ReadAudioTrack).
bool ReadFfmpegAudioTrack(const std::string& path, double maxSeconds, AudioTrack& track, std::string& error);
// The cameras, numbered from 0 in the order of their device nodes.
std::optional<CaptureDriverName> DescribeV4l2Device(int index);
std::unique_ptr<CaptureDevice> ConnectV4l2Device(int index, std::string& error);

}  // namespace kadivo::ffmpeg

// The entry points the platform layer looks up after loading the module.
extern "C" {
using KadivoOpenAviFileFunction = kadivo::AviFile* (*)(const char* path);
// `reserved` 1: written over the file's reserved space (kadivo::AviFileSpace::Reserved).
using KadivoCreateMjpegAviFileFunction = kadivo::AviVideoWriter* (*)(const char* path, int width, int height,
                                                                     int framesPerSecond, int reserved, char* error,
                                                                     int errorSize);
// 1 with the name and version filled in when camera `index` exists, else 0.
using KadivoDescribeCameraFunction = int (*)(int index, char* name, int nameSize, char* version, int versionSize);
using KadivoConnectCameraFunction = kadivo::CaptureDevice* (*)(int index, char* error, int errorSize);
// 1 with `track` filled in, else 0 with the reason in `error`.
using KadivoReadAudioTrackFunction = int (*)(const char* path, double maxSeconds, kadivo::AudioTrack* track, char* error,
                                             int errorSize);
}
