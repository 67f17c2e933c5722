#include "ViewSynchronisation.h"

#include "AudioSync.h"
#include "AudioTrackReader.h"
#include "CKadivoDoc.h"
#include "FlashSync.h"
#include "VideoSource.h"

#include <cstdio>
#include <memory>
#include <optional>

namespace kadivo {

namespace {

std::string Formatted(const char* format, double a, double b = 0.0) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

std::string VideoOf(const CKadivoDoc& doc, std::size_t v) {
    const CameraView& view = doc.views[v];
    return view.videoSource->IsOpen() ? view.videoSource->FileName() : view.frameStore.videoFileName;
}

int FramesSearched(const VideoSource& source) { return std::min(source.LastFrame(), kFlashFramesSearched - 1) + 1; }

// The mean grey of `region` in every frame up to kFlashFramesSearched, a step of progress a
// frame; `problem` says why not.
std::vector<double> RegionBrightness(VideoSource& source, const SyncRegion& region, Prompts& prompts, std::string& problem) {
    std::vector<double> brightness;
    const int frames = FramesSearched(source);
    for (int frame = 0; frame < frames; ++frame) {
        prompts.StepProgress();
        if (!source.FetchFrame(frame, true)) break;
        const FramePixels pixels = source.Pixels();
        const int bytes = pixels.bitCount / 8;
        if (!pixels.data || bytes < 3) {
            problem = "the video's frames are not in colour rows";
            return {};
        }
        if (region.width <= 0 || region.height <= 0 || region.x < 0 || region.y < 0 || region.x + region.width > pixels.width ||
            region.y + region.height > pixels.height) {
            problem = "the flash region lies outside the picture (" + std::to_string(pixels.width) + " x " +
                      std::to_string(pixels.height) + ")";
            return {};
        }
        const int stride = BitmapRowStride(pixels.width, pixels.bitCount);
        double sum = 0;
        for (int y = region.y; y < region.y + region.height; ++y) {
            // Rows are stored bottom row first.
            const std::uint8_t* row = pixels.data + static_cast<std::ptrdiff_t>(pixels.height - 1 - y) * stride + region.x * bytes;
            for (int x = 0; x < region.width; ++x, row += bytes) sum += 0.114 * row[0] + 0.587 * row[1] + 0.299 * row[2];
        }
        brightness.push_back(sum / (static_cast<double>(region.width) * region.height));
    }
    return brightness;
}

}  // namespace

std::vector<ViewSyncEstimate> EstimateOffsetsFromAudio(const CKadivoDoc& doc) {
    std::vector<ViewSyncEstimate> estimates(doc.views.size());
    if (!doc.HasUsableFramePeriod()) {
        for (ViewSyncEstimate& e : estimates) e.problem = "the sequence has no frame rate";
        return estimates;
    }
    std::vector<std::optional<AudioTrack>> tracks;
    for (std::size_t v = 0; v < doc.views.size(); ++v) {
        std::string error;
        tracks.push_back(ReadAudioTrack(VideoOf(doc, v), kAudioSecondsCompared, error));
        if (!tracks.back()) estimates[v].problem = error;
    }
    if (!tracks.front()) {
        for (std::size_t v = 1; v < estimates.size(); ++v)
            if (estimates[v].problem.empty()) estimates[v].problem = "the first view's video has no sound to compare with";
        return estimates;
    }
    estimates.front() = {0.0, true, true, "the reference", ""};
    for (std::size_t v = 1; v < doc.views.size(); ++v) {
        if (!tracks[v]) continue;
        const std::optional<AudioLag> lag = LagBetween(*tracks.front(), *tracks[v]);
        if (!lag) {
            estimates[v].problem = "one of the sound tracks is silent";
            continue;
        }
        ViewSyncEstimate& e = estimates[v];
        e.offsetFrames = lag->seconds / doc.framePeriod;
        e.found = true;
        e.trusted = lag->peak >= kTrustedAudioPeak;
        e.evidence = Formatted("correlation peak %.3f at %.5f s", lag->peak, lag->seconds);
        if (!e.trusted) e.problem = Formatted("the correlation peak (%.3f) is too weak to trust (%.2f at least)", lag->peak, kTrustedAudioPeak);
    }
    return estimates;
}

std::vector<ViewSyncEstimate> EstimateOffsetsFromFlash(const CKadivoDoc& doc, const SyncRegion& region, Prompts& prompts) {
    std::vector<ViewSyncEstimate> estimates(doc.views.size());
    std::vector<std::optional<FlashEvent>> flashes;
    std::vector<std::unique_ptr<VideoSource>> sources;
    int frames = 0;
    for (std::size_t v = 0; v < doc.views.size(); ++v) {
        sources.push_back(std::make_unique<VideoSource>(prompts));
        std::string name = VideoOf(doc, v);
        if (name.empty() || !sources.back()->Open(name, "", 0, doc.views[v].videoSource->StreamIndex())) sources.back().reset();
        else frames += FramesSearched(*sources.back());
    }
    prompts.BeginProgress("Looking for the flash...", frames);
    for (std::size_t v = 0; v < doc.views.size(); ++v) {
        std::optional<FlashEvent> flash;
        if (!sources[v]) {
            estimates[v].problem = "the view's video cannot be opened";
        } else {
            const std::vector<double> brightness = RegionBrightness(*sources[v], region, prompts, estimates[v].problem);
            if (!brightness.empty()) {
                flash = LocateFlash(brightness);
                if (!flash) estimates[v].problem = "no flash stands out of the region's brightness";
            }
        }
        if (flash) estimates[v].evidence = Formatted("flash at frame %.3f, a rise of %.1f grey levels", flash->frame, flash->jump);
        flashes.push_back(flash);
    }
    prompts.EndProgress();
    for (std::size_t v = 0; v < doc.views.size(); ++v) {
        if (!flashes[v]) continue;
        if (!flashes.front()) {
            estimates[v].problem = "the first view shows no flash to compare with";
            continue;
        }
        estimates[v].offsetFrames = flashes[v]->frame - flashes.front()->frame;
        estimates[v].found = estimates[v].trusted = true;
    }
    return estimates;
}

std::vector<double> SequenceOffsets(const CKadivoDoc& doc) {
    std::vector<double> offsets;
    for (const CameraView& view : doc.views)
        offsets.push_back(static_cast<double>(view.syncFrame) - doc.views.front().syncFrame + view.syncFraction);
    return offsets;
}

std::vector<double> FractionsFor(const CKadivoDoc& doc, const std::vector<double>& offsets) {
    std::vector<double> fractions;
    for (std::size_t v = 0; v < doc.views.size() && v < offsets.size(); ++v)
        fractions.push_back(v == 0 ? 0.0 : offsets[v] - (static_cast<double>(doc.views[v].syncFrame) - doc.views.front().syncFrame));
    return fractions;
}

}  // namespace kadivo
