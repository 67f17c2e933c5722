#include "CKadivoDoc.h"

#include "FileIo.h"
#include "SequenceFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <exception>
#include <new>

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

CKadivoDoc::CKadivoDoc(Prompts& prompts, VideoSourceFactory videoSources)
    : prompts_(prompts), videoSources_(std::move(videoSources)) {
    DeleteContents();
    AddViewSlot(0);
}

CKadivoDoc::~CKadivoDoc() = default;

float CKadivoDoc::ZoomFactor(int zoomCode) {
    const int code = std::clamp(zoomCode, 1, kZoomCodeCount);
    return kZoomFactors[static_cast<std::size_t>(code - 1)];
}

int CKadivoDoc::RoundToStep(int frame) const { return frame / options.frameStep * options.frameStep; }

ChangeSet CKadivoDoc::Resizing(ChangeSet what) const {
    return options.autoResize ? what | Change::FitWindow : what;
}

void CKadivoDoc::Announce(ChangeSet what, int view) {
    if (deferredAnnouncements_ == 0) {
        Deliver({what, view}, false);
        return;
    }
    if (!pending_) pending_ = DocumentChange{what, view};
    else pending_ = DocumentChange{pending_->what | what, pending_->view == view ? view : kAllViews};
}

CKadivoDoc::EditScope::~EditScope() {
    doc_.history_.End();
    if (--doc_.deferredAnnouncements_ > 0 || !doc_.pending_) return;
    const DocumentChange change = *doc_.pending_;
    doc_.pending_.reset();
    doc_.Deliver(change, true);
}

// The world data follow an edit of the image data before anyone hears of it, so that what
// is told includes them. An edit that moves on to the next frame may tell only of the frame;
// a frame step by itself changes nothing.
void CKadivoDoc::Deliver(DocumentChange change, bool edit) {
    constexpr ChangeSet kImageDataEdits = Change::Points | Change::PointsRemoved | Change::SyncFrame | Change::CameraViews;
    const bool imageData = change.what.HasAny(kImageDataEdits) || (edit && change.what.Has(Change::Frame));
    if (imageData && options.recomputeAfterChange != 0 && steps.updateWorldData && !updatingWorldData_) {
        // The edit is made whatever the recomputation does: it is told (and journaled) even
        // when the world data could not follow it, and this may run in an edit's destructor.
        updatingWorldData_ = true;
        try {
            if (steps.updateWorldData(*this)) change.what |= Change::WorldData;
            recomputeFailureShown_ = false;
        } catch (const std::exception& error) {
            if (!recomputeFailureShown_)
                prompts_.ShowMessage(std::string("The world data could not be recomputed after the change: ") + error.what() +
                                     ". They stay as they were until Transform Image Data.");
            recomputeFailureShown_ = true;
        }
        updatingWorldData_ = false;
    }
    observers_.Notify(change);
}

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
    importedDlt.reset();
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
    history_.Clear();
}

bool CKadivoDoc::OnNewDocument() {
    std::optional<NewSequenceSetup> setup = prompts_.RunNewSequenceWizard();
    if (!setup || setup->pointCount <= 0 || setup->pointCount > kMaxModelPoints) return false;
    DeleteContents();
    path_.clear();
    pointCount = setup->pointCount;
    modelPoints = setup->modelPoints;
    calibrationType = setup->calibrationType;
    calibrationPointCount = std::clamp(setup->calibrationPointCount, 0, kMaxCalibrationPoints);
    calibrationPoints = setup->calibrationPoints;
    calibrationPoints.resize(static_cast<std::size_t>(calibrationPointCount) + 1);
    options.exactPositions = setup->exactPositions ? 1 : 0;
    SetCentreOfGravityEntry(modelPoints, pointCount);
    if (steps.prepareNewModel) steps.prepareNewModel(*this);
    AddViewSlot(0);
    OpenWindowsAfterLoad(false);
    return true;
}

bool CKadivoDoc::OnOpenDocument(const std::string& path) {
    return Load(path, [&path](CKadivoDoc& doc) { return ReadSequenceFile(path, doc); }, false);
}

bool CKadivoDoc::OnRecoverDocument(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    return Load(path, [&bytes](CKadivoDoc& doc) { return ReadSequence(bytes.data(), bytes.size(), doc); }, true);
}

bool CKadivoDoc::Load(const std::string& path, const std::function<SequenceReadResult(CKadivoDoc&)>& read, bool recovered) {
    SequenceReadResult result;
    std::string failure;
    try {
        result = read(*this);
    } catch (const std::bad_alloc&) {
        failure = "\"" + path + "\" holds more than the memory available can take.";
    } catch (const std::exception& error) {
        failure = error.what();
    }
    if (!failure.empty()) {
        DeleteContents();
        AddViewSlot(0);
        prompts_.ShowMessage("Unable to read the sequence file.\n" + failure);
        return false;
    }
    path_ = path;
    locatedFolders_.clear();
    relinked_ = false;
    ReopenVideos(result.hasStreamChoices);
    OpenWindowsAfterLoad(result.hasWindowRecords);
    for (CameraView& view : views) {
        view.currentFrame = 0;
        view.frameStore.frameStep = options.frameStep;
        view.frameStore.SetCurrentFrame(0, kMovement);
    }
    int calibratedViews = 0;
    for (const CameraView& view : views) calibratedViews += view.frameStore.IsCalibrated() ? 1 : 0;
    if (importedDlt) {
        dlt = *importedDlt;
        dltValid = true;
    } else if (steps.calibrateOnOpen && views.size() == 1 && calibratedViews == 1) {
        steps.calibrateOnOpen(*this);
    }
    if (steps.refreshWorldData) steps.refreshWorldData(*this);
    digitizeMode = kMovement;
    // A video found in a new place changes the link the file holds.
    modified_ = relinked_ || recovered;
    history_.Clear();
    Announce(Resizing(Change::SequenceOpened), kAllViews);
    return true;
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
        if (windowHost_->OpenWindow(*it)) {
            ++it;
        } else {
            prompts_.ShowMessage(kWindowCreationFailed);
            it = windows.erase(it);
        }
    }
}

bool CKadivoDoc::OnSaveDocument(const std::string& path) {
    std::string target = path;
    if (!HasSequenceExtension(target)) target += ".kdv";
    windows = windowHost_->WindowStates();
    try {
        SaveSequenceFile(*this, target);
    } catch (const std::exception& error) {
        prompts_.ShowMessage("The sequence could not be saved.\n" + std::string(error.what()));
        return false;
    }
    path_ = target;
    modified_ = false;
    Announce(Change::Saved, kAllViews);
    return true;
}

void CKadivoDoc::WindowContentsEdited() {
    modified_ = true;
    Announce(Change::WindowContents, kAllViews);
}

void CKadivoDoc::OnCloseDocument() {
    windowHost_->CloseAllWindows();
    DeleteContents();
}

// --- camera views ---------------------------------------------------------------------------

void CKadivoDoc::AddViewSlot(int) {
    // Steps recorded with other views cannot be put back.
    history_.Clear();
    CameraView& view = views.emplace_back(videoSources_(), pointCount, options.frameStep);
    view.frameStore.SetJournal(&history_);
    view.frameStore.calibrationPointCount = calibrationPointCount;
    view.videoSource->SetTemplateMethod(options.templateMethod);
}

int CKadivoDoc::AddCameraView() {
    if (viewCount() >= kMaxCameraViews) {
        prompts_.ShowMessage("A sequence can hold at most 10 camera views.");
        return -1;
    }
    AddViewSlot(viewCount());
    modified_ = true;
    Announce(Change::CameraViews, viewCount() - 1);
    return viewCount() - 1;
}

void CKadivoDoc::RemoveCameraView() {
    if (viewCount() <= 1) return;
    if (prompts_.Ask("Are you sure to remove the View", Buttons::YesNoCancel) != Answer::Yes) return;
    history_.Clear();
    views.erase(views.begin() + currentView);
    // The fractions are the views' lag behind the first view, which may just have changed.
    const double reference = views.front().syncFraction;
    for (CameraView& view : views) view.syncFraction -= reference;
    currentView = 0;
    current().frameStore.SetCurrentFrame(current().currentFrame, digitizeMode);
    modified_ = true;
    Announce(Resizing(Change::CameraViews), kAllViews);
}

int CKadivoDoc::OpenVideoFile(const std::string& path, bool askToAdd) {
    const std::string loaded = current().frameStore.videoFileName;
    ChangeSet what = Change::Video;
    if (askToAdd && digitizeMode == kMovement && !loaded.empty() && loaded != path) {
        const Answer answer = prompts_.Ask(
            "The Current Active Window is already loaded with a AVI file.\nDo you want to add an additional Window and Camera View ?",
            Buttons::YesNo);
        if (answer == Answer::Yes) {
            if (viewCount() >= kMaxCameraViews) {
                prompts_.ShowMessage("A sequence can hold at most 10 camera views.");
                return 0;
            }
            AddViewSlot(viewCount());
            currentView = viewCount() - 1;
            what |= Change::CameraViews | Change::CurrentView;
        }
    }
    CameraView& view = current();
    std::string name = path;
    if (!view.videoSource->Open(name, path_, options.firstField, 0)) {
        prompts_.ShowMessage("Unable to Open File");
        if (what.Has(Change::CameraViews)) Announce(Change::CameraViews | Change::CurrentView);
        return 0;
    }
    view.frameSize = view.videoSource->DisplaySize();
    framePeriod = view.videoSource->FramePeriod();
    view.currentFrame = 0;
    view.frameStore.SetCurrentFrame(0, digitizeMode);
    if (digitizeMode == kMovement) view.frameStore.videoFileName = name;
    else view.frameStore.calibrationVideoName = name;
    modified_ = true;
    // The added view gets the window the question promised.
    if (what.Has(Change::CameraViews)) {
        DigitizingWindowState window;
        window.setCameraIndex(currentView);
        windowHost_->OpenWindow(window);
    }
    Announce(Resizing(what));
    return 1;
}

void CKadivoDoc::SetCurrentView(int v) {
    if (v < 0 || v >= viewCount() || v == currentView) return;
    currentView = v;
    current().frameStore.SetCurrentFrame(current().currentFrame, digitizeMode);
    Announce(Change::CurrentView);
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

std::string CKadivoDoc::TransformedText() const {
    return "Transformed: " + std::to_string(worldFrameCount) + " frames of " + std::to_string(pointCount) + " points";
}

StatusTexts CKadivoDoc::Status() const {
    StatusTexts texts;
    const ViewFrameStore& store = current().frameStore;
    const int next = store.NextIndex(digitizeMode);
    if (digitizeMode == kMovement) {
        texts.mode = "Movement";
        const int shown = std::clamp(next, 0, kModelTableSize - 1);
        texts.side = SideName(modelPoints[static_cast<std::size_t>(shown)].side);
        texts.point = store.IsComplete(kMovement) ? std::string("Finished") : modelPoints[static_cast<std::size_t>(shown)].name;
    } else {
        texts.mode = "Calibration";
        texts.side = "None";
        texts.point = "Point " + std::to_string(next) + "/" + std::to_string(store.calibrationPointCount);
    }
    texts.image = "Image:" + std::to_string(current().currentFrame + 1LL) + "/" + std::to_string(MaxFrameCount() + 1LL);
    return texts;
}

FrameSliderState CKadivoDoc::FrameSlider() const { return {RoundToStep(MaxFrameCount()), current().currentFrame}; }

}  // namespace kadivo
