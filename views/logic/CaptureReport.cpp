#include "CaptureReport.h"

#include <algorithm>
#include <cstdio>

namespace kadivo {

namespace {

constexpr int kReportedDepths[] = {1, 4, 8, 16, 24, 32};
constexpr const char* kEmptyLine = "\r\n";

template <typename... Values>
std::string Line(const char* format, Values... values) {
    char text[512];
    std::snprintf(text, sizeof text, format, values...);
    return std::string(text) + "\r\n";
}

}  // namespace

bool IsNtsc(const CaptureAbilities& abilities, const CaptureFormat& format) {
    const auto ntscWidth = [](int width) { return width == 320 || width == 640 || width == 160 || width == 400; };
    if (abilities.frameSizes.empty()) return ntscWidth(format.width);
    return std::any_of(abilities.frameSizes.begin(), abilities.frameSizes.end(),
                       [&](const FrameSize& size) { return ntscWidth(size.width); });
}

std::string CaptureDriverReport(const std::vector<CaptureDriverName>& drivers, const CaptureDevice* connected) {
    CaptureDriverName name;
    CaptureAbilities abilities;
    CaptureFormat format;
    if (connected) {
        name = connected->Name();
        abilities = connected->Abilities();
        format = connected->Format();
    }
    std::string text = kEmptyLine;
    text += Line("\tTotal capture drivers installed:%d", static_cast<int>(drivers.size()));
    text += kEmptyLine;
    for (std::size_t k = 0; k < drivers.size(); ++k)
        text += Line(" %d. %s.%s", static_cast<int>(k + 1), drivers[k].name.c_str(), drivers[k].version.c_str());
    text += kEmptyLine;
    text += Line("\t\tCurrent Driver info");
    text += kEmptyLine;
    text += Line("Capture driver:\t%s", name.name.c_str());
    text += Line("Driver version:\t%s", name.version.c_str());
    text += Line("Buffers  count:\t%d", abilities.bufferCount);
    text += Line("Compression:\t%s", abilities.compression ? "Yes" : "No");
    text += Line("Video standard:\t%s", IsNtsc(abilities, format) ? "NTSC" : "PAL/SECAM");
    text += Line("Bits resolution:\t%d bits", format.bitsPerPixel);
    text += Line("++Supported bits resolution:");
    for (int depth : kReportedDepths)
        if (std::find(abilities.bitDepths.begin(), abilities.bitDepths.end(), depth) != abilities.bitDepths.end())
            text += depth == 1 ? Line("\t\t\t1 bit") : Line("\t\t\t%d bits", depth);
    text += Line("Frame size:\t%dx%d pixels", format.width, format.height);
    text += Line("++Supported frame sizes:");
    for (const FrameSize& size : abilities.frameSizes) text += Line("\t\t\t%dx%d pixels", size.width, size.height);
    return text;
}

}  // namespace kadivo
