#include "CKadivoDoc.h"

#include "FileIo.h"
#include "SequenceFile.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace kadivo {

namespace {

constexpr std::array<float, CKadivoDoc::kZoomCodeCount> kZoomFactors{0.25f, 0.5f, 1.0f, 2.0f, 3.0f, 4.0f,
                                                                     5.0f,  6.0f, 7.0f, 8.0f, 9.0f, 10.0f};
constexpr int kNumberedViewCommands = 6;
constexpr const char* kWindowCreationFailed = "Failed to create empty document.";

bool HasSequenceExtension(const std::string& path) {
    std::string lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower.find(".kdv") != std::string::npos;
}

}  // namespace

CameraView::CameraView(std::unique_ptr<VideoSourceInterface> source, int pointCount, int frameStep)
    : videoSource(std::move(source)),
      missingFlags(static_cast<std::size_t>(pointCount) + 1, 0),
      staticFlags(static_cast<std::size_t>(pointCount) + 1, 0),
      frameStore(pointCount, frameStep) {}

CKadivoDoc::CKadivoDoc(DocumentUi& ui, VideoSourceFactory videoSources)
    : ui_(ui), videoSources_(std::move(videoSources)) {
    DeleteContents();
    AddViewSlot(0);
}

CKadivoDoc::~CKadivoDoc() = default;

float CKadivoDoc::ZoomFactor(int zoomCode) {
    const int code = std::clamp(zoomCode, 1, kZoomCodeCount);
    return kZoomFactors[static_cast<std::size_t>(code - 1)];
}

int CKadivoDoc::RoundToStep(int frame) const { return frame / options.frameStep * options.frameStep; }

int CKadivoDoc::SizeHint(int hintBits, int withResize) const { return options.autoResize ? withResize : hintBits; }

// --- lifecycle ------------------------------------------------------------------------------

void CKadivoDoc::DeleteContents() {
    views.clear();
    currentView = 0;
    modelPoints = DefaultModelTable();
    pointCount = 0;
    calibrationType = 0;
    calibrationPointCount = 2;
    calibrationPoints.clear();
    dlt = {};
    dltValid = false;
    worldFrameCount = 0;
    worldRaw = {};
    worldFiltered = {};
    worldExtent = {};
    digitizeMode = kMovement;
    framePeriod = 1.0f;
    optionsStartPage = 0;
    fileVersion = 0;
    options = {};
    reservedText.clear();
    reservedA = 0;
    reservedB = 0;
    windows.clear();
    modified_ = false;
}

bool CKadivoDoc::OnNewDocument() {
    std::optional<NewSequenceSetup> setup = ui_.RunNewSequenceWizard();
    if (!setup || setup->pointCount <= 0 || setup->pointCount > kMaxModelPoints) return false;
    DeleteContents();
    path_.clear();
    pointCount = setup->pointCount;
    modelPoints = setup->modelPoints;
    calibrationType = setup->calibrationType;
    calibrationPointCount = std::clamp(setup->calibrationPointCount, 0, kMaxCalibrationPoints);
    calibrationPoints = setup->calibrationPoints;
    calibrationPoints.resize(static_cast<std::size_t>(calibrationPointCount) + 1);
    SetCentreOfGravityEntry(modelPoints, pointCount);
    if (steps.prepareNewModel) steps.prepareNewModel(*this);
    AddViewSlot(0);
    OpenWindowsAfterLoad(false);
    ui_.RebuildCameraViewMenu(CameraViewMenuEntries());
    return true;
}

bool CKadivoDoc::OnOpenDocument(const std::string& path) {
    SequenceReadResult read;
    try {
        read = ReadSequenceFile(path, *this);
    } catch (const std::exception& error) {
        DeleteContents();
        AddViewSlot(0);
        ui_.ShowMessage("Unable to read the sequence file.\n" + std::string(error.what()));
        return false;
    }
    path_ = path;
    ReopenVideos(read.hasStreamChoices);
    OpenWindowsAfterLoad(read.hasWindowRecords);
    for (CameraView& view : views) {
        view.currentFrame = 0;
        view.frameStore.frameStep = options.frameStep;
        view.frameStore.SetCurrentFrame(0, kMovement);
    }
    int calibratedViews = 0;
    for (const CameraView& view : views) calibratedViews += view.frameStore.IsCalibrated() ? 1 : 0;
    if (steps.calibrateOnOpen && views.size() == 1 && calibratedViews == 1) steps.calibrateOnOpen(*this);
    if (steps.refreshWorldData) steps.refreshWorldData(*this);
    digitizeMode = kMovement;
    ui_.RebuildCameraViewMenu(CameraViewMenuEntries());
    UpdateFrameSlider();
    ui_.UpdateAllViews(SizeHint(4352, 5376));
    RefreshStatusBar();
    modified_ = false;
    return true;
}

void CKadivoDoc::ReopenVideos(bool useStoredStreams) {
    for (CameraView& view : views) {
        ViewFrameStore& store = view.frameStore;
        if (store.videoFileName.empty()) continue;
        const int stream = useStoredStreams ? view.videoSource->StreamIndex() : 0;
        std::string name = store.videoFileName;
        if (!view.videoSource->Open(name, path_, options.firstField, stream)) {
            ui_.ShowMessage("Unable to Open Video File");
            continue;
        }
        store.videoFileName = name;
        view.videoSource->SetFirstField(options.firstField);
        view.frameSize = view.videoSource->DisplaySize();
        view.videoSource->FetchFrame(0, false);
    }
}

// Opens the windows read from the file; a window that cannot be created is dropped with its
// record. Files without window records, and new sequences, get one digitizing window.
void CKadivoDoc::OpenWindowsAfterLoad(bool fileHasWindows) {
    if (!fileHasWindows) {
        windows.clear();
        windows.emplace_back(DigitizingWindowState{});
        currentView = 0;
    }
    for (auto it = windows.begin(); it != windows.end();) {
        if (ui_.OpenWindow(*it)) {
            ++it;
        } else {
            ui_.ShowMessage(kWindowCreationFailed);
            it = windows.erase(it);
        }
    }
}

bool CKadivoDoc::OnSaveDocument(const std::string& path) {
    std::string target = path;
    if (!HasSequenceExtension(target)) target += ".kdv";
    try {
        SaveSequenceFile(*this, target);
    } catch (const std::exception& error) {
        ui_.ShowMessage("The sequence could not be saved.\n" + std::string(error.what()));
        return false;
    }
    path_ = target;
    modified_ = false;
    return true;
}

void CKadivoDoc::OnCloseDocument() {
    ui_.RemoveCameraViewMenu();
    ui_.CloseAllWindows();
    DeleteContents();
}

// --- camera views ---------------------------------------------------------------------------

void CKadivoDoc::AddViewSlot(int) {
    CameraView& view = views.emplace_back(videoSources_(), pointCount, options.frameStep);
    view.frameStore.calibrationPointCount = calibrationPointCount;
    view.videoSource->SetTemplateMethod(options.templateMethod);
}

int CKadivoDoc::AddCameraView() {
    if (viewCount() >= kMaxCameraViews) {
        ui_.ShowMessage("A sequence can hold at most 10 camera views.");
        return -1;
    }
    AddViewSlot(viewCount());
    ui_.RebuildCameraViewMenu(CameraViewMenuEntries());
    return viewCount() - 1;
}

void CKadivoDoc::RemoveCameraView() {
    if (viewCount() <= 1) return;
    if (ui_.Ask("Are you sure to remove the View", Buttons::YesNoCancel) != Answer::Yes) return;
    ui_.RemoveCameraViewMenu();
    views.erase(views.begin() + currentView);
    currentView = 0;
    current().frameStore.SetCurrentFrame(current().currentFrame, digitizeMode);
    modified_ = true;
    ui_.RebuildCameraViewMenu(CameraViewMenuEntries());
    ui_.UpdateAllViews(SizeHint(256, 1280));
    RefreshStatusBar();
}

int CKadivoDoc::OpenVideoFile(const std::string& path, bool askToAdd) {
    const std::string loaded = current().frameStore.videoFileName;
    if (askToAdd && digitizeMode == kMovement && !loaded.empty() && loaded != path) {
        const Answer answer = ui_.Ask(
            "The Current Active Window is already loaded with a AVI file.\nDo you want to add an additional Window and Camera View ?",
            Buttons::YesNo);
        if (answer == Answer::Yes) {
            if (AddCameraView() < 0) return 0;
            currentView = viewCount() - 1;
        }
    }
    CameraView& view = current();
    std::string name = path;
    if (!view.videoSource->Open(name, path_, options.firstField, 0)) {
        ui_.ShowMessage("Unable to Open File");
        return 0;
    }
    view.frameSize = view.videoSource->DisplaySize();
    framePeriod = view.videoSource->FramePeriod();
    view.currentFrame = 0;
    view.frameStore.SetCurrentFrame(0, digitizeMode);
    if (digitizeMode == kMovement) view.frameStore.videoFileName = name;
    else view.frameStore.calibrationVideoName = name;
    modified_ = true;
    ui_.RewriteCameraViewMenuEntry(CameraViewMenuEntries()[static_cast<std::size_t>(currentView)]);
    UpdateFrameSlider();
    ui_.UpdateAllViews(SizeHint(256, 1280));
    RefreshStatusBar();
    return 1;
}

void CKadivoDoc::SetCurrentView(int v) {
    if (v < 0 || v >= viewCount()) return;
    currentView = v;
    current().frameStore.SetCurrentFrame(current().currentFrame, digitizeMode);
}

int CKadivoDoc::LastFrame(int v) const { return views[static_cast<std::size_t>(v)].videoSource->LastFrame(); }

bool CKadivoDoc::HasVideo(int v) const { return views[static_cast<std::size_t>(v)].videoSource->HasFrame(); }

int CKadivoDoc::MaxFrameCount() const {
    int most = 0;
    for (int v = 0; v < viewCount(); ++v) most = std::max(most, LastFrame(v));
    return most;
}

std::vector<CameraViewMenuEntry> CKadivoDoc::CameraViewMenuEntries() const {
    std::vector<CameraViewMenuEntry> entries;
    for (int v = 0; v < viewCount(); ++v) {
        const int command = std::min(v + 1, kNumberedViewCommands);
        entries.push_back({std::to_string(v + 1) + " " + views[static_cast<std::size_t>(v)].frameStore.videoFileName,
                           "Camera View " + std::to_string(command), v});
    }
    return entries;
}

// --- status bar and slider ------------------------------------------------------------------

void CKadivoDoc::RefreshStatusBar() {
    const ViewFrameStore& store = current().frameStore;
    const int next = store.NextIndex(digitizeMode);
    if (digitizeMode == kMovement) {
        ui_.SetStatusPane(1, "Movement");
        const int shown = std::clamp(next, 0, kModelTableSize - 1);
        ui_.SetStatusPane(2, SideName(modelPoints[static_cast<std::size_t>(shown)].side));
        ui_.SetStatusPane(3, store.IsComplete(kMovement) ? std::string("Finished")
                                                         : modelPoints[static_cast<std::size_t>(shown)].name);
    } else {
        ui_.SetStatusPane(1, "Calibration");
        ui_.SetStatusPane(2, "None");
        ui_.SetStatusPane(3, "Point " + std::to_string(next) + "/" + std::to_string(store.calibrationPointCount));
    }
    ui_.SetStatusPane(4, "Image:" + std::to_string(current().currentFrame + 1) + "/" +
                             std::to_string(MaxFrameCount() + 1));
}

void CKadivoDoc::UpdateFrameSlider() { ui_.SetFrameSlider(RoundToStep(MaxFrameCount()), current().currentFrame); }

}  // namespace kadivo
