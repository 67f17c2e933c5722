// Writes and reads a maximal sequence (10 views, 49 points, 10000 digitized frames per view,
// world data for 10000 frames) and times it beside a plain `cp` of the same file; then what
// 3,000,000 records of a model with 0 and with 49 points cost to read, per record.

#include "BestTime.h"
#include "CKadivoDoc.h"
#include "FileIo.h"
#include "HeadlessPrompts.h"
#include "OneViewSequence.h"
#include "SequenceFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <malloc.h>
#include <memory>
#include <string>

namespace {

using namespace kadivo;
using Clock = std::chrono::steady_clock;

constexpr int kViews = 10, kPoints = 49, kFrames = 10000;

void FillMaximal(CKadivoDoc& doc) {
    doc.DeleteContents();
    doc.pointCount = kPoints;
    doc.calibrationPointCount = 49;
    doc.calibrationPoints.assign(50, Point3{1, 2, 3});
    for (int v = 0; v < kViews; ++v) doc.AddViewSlot(v);
    for (CameraView& view : doc.views) {
        for (int f = 0; f < kFrames; ++f) {
            FrameRecord& record = view.frameStore.NewRecord(f);
            record.digitizedCount = kPoints;
            for (int p = 0; p < kPoints; ++p)
                record.imagePos[static_cast<std::size_t>(p)] = {static_cast<float>(f + p), static_cast<float>(f - p)};
        }
        view.frameStore.videoFileName = "camera.avi";
    }
    doc.worldFrameCount = kFrames;
    doc.worldRaw = WorldData(kFrames + 1, kPoints + 1);
    doc.worldFiltered = WorldData(kFrames + 1, kPoints + 1);
    doc.windows.emplace_back(DigitizingWindowState{});
}

void Report(const char* what, double kadivo, const char* peer, double copy) {
    std::printf("%-15s kadivo %7.3f s   %-13s %7.3f s   ratio %5.2f (target <= 3.00)\n", what, kadivo, peer, copy,
                kadivo / copy);
}

// Bytes of heap in use.
std::size_t HeapInUse() {
    const struct mallinfo2 heap = mallinfo2();
    return heap.uordblks + heap.hblkhd;
}

// One view of `points` points with `records` digitized frames: the file's bytes, and the
// memory and time reading it takes per record.
void RecordCosts(int points, int records, const std::filesystem::path& dir) {
    HeadlessPrompts ui(stderr);
    const std::string path = (dir / "records.kdv").string();
    {
        CKadivoDoc doc(ui, NoVideoSourceFactory());
        bench::FillOneView(doc, points, records);
        SaveSequenceFile(doc, path);
    }
    const double fileBytes = static_cast<double>(std::filesystem::file_size(path));
    const std::size_t before = HeapInUse();
    const auto start = Clock::now();
    CKadivoDoc loaded(ui, NoVideoSourceFactory());
    ReadSequenceFile(path, loaded);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double memory = static_cast<double>(HeapInUse() - before);
    std::printf("%d records of %2d points: file %6.1f bytes/record   memory %6.1f bytes/record (%.2f x file)   "
                "read %.3f us/record\n",
                records, points, fileBytes / records, memory / records, memory / fileBytes, seconds / records * 1e6);
    std::filesystem::remove(path);
}

}  // namespace

int main() {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kadivo-bench";
    std::filesystem::create_directories(dir);
    const std::string saved = (dir / "maximal.kdv").string();
    const std::string copied = (dir / "copy.kdv").string();
    HeadlessPrompts ui(stderr);
    CKadivoDoc doc(ui, NoVideoSourceFactory());
    FillMaximal(doc);
    constexpr int kRuns = 5;

    const double write = bench::BestSeconds(kRuns, [&] { SaveSequenceFile(doc, saved); });
    const double read = bench::BestSeconds(kRuns, [&] {
        CKadivoDoc loaded(ui, NoVideoSourceFactory());
        ReadSequenceFile(saved, loaded);
    });
    const std::string copyCommand = "cp '" + saved + "' '" + copied + "'";
    const double copy = bench::BestSeconds(kRuns, [&] {
        if (std::system(copyCommand.c_str()) != 0) std::abort();
    });
    // Saving flushes the new file to the disk before it replaces the old one; the fair peer
    // for that is a copy that is flushed too.
    const std::string syncedCommand = copyCommand + " && sync '" + copied + "'";
    const double syncedCopy = bench::BestSeconds(kRuns, [&] {
        if (std::system(syncedCommand.c_str()) != 0) std::abort();
    });

    std::printf("maximal sequence: %d views, %d points, %d frames per view, %.1f MB\n", kViews, kPoints, kFrames,
                static_cast<double>(std::filesystem::file_size(saved)) / 1e6);
    Report("sequence write", write, "cp", copy);
    Report("sequence write", write, "cp + sync", syncedCopy);
    Report("sequence read", read, "cp", copy);
    for (int points : {0, 49}) RecordCosts(points, 3000000, dir);
    std::filesystem::remove_all(dir);
    return 0;
}
