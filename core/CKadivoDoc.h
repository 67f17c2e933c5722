#pragma once

#include "DltParameterTable.h"
#include "DocumentChange.h"
#include "EditHistory.h"
#include "FrameRecord.h"
#include "ImportedPositions.h"
#include "LensModel.h"
#include "ModelPoint.h"
#include "Prompts.h"
#include "SequenceFile.h"
#include "SequenceOptions.h"
#include "SequenceSteps.h"
#include "VideoSourceInterface.h"
#include "ViewFrameStore.h"
#include "WindowHost.h"
#include "WindowState.h"
#include "WorldData.h"

#include <cmath>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kadivo {

// The per-view items of a sequence, kept together so they always grow and shrink as one.
// The largest sync fraction a view takes, in frames either way.
inline constexpr double kMaxSyncFraction = 100000.0;

struct CameraView {
    CameraView(std::unique_ptr<VideoSourceInterface> source, int pointCount, int frameStep);

    std::unique_ptr<VideoSourceInterface> videoSource;
    FrameSize frameSize;
    int currentFrame = 0;
    int zoomCode = 3;
    std::vector<int> missingFlags;  // pointCount + 1 entries
    std::vector<int> staticFlags;   // pointCount + 1 entries
    int syncFrame = 0;
    // What the view's camera lags behind the first view's beyond the whole frames of the sync
    // image, in frames: positions are taken at frame syncFrame + f + syncFraction for world
    // frame f, between the frames recorded. The first view's is 0.
    double syncFraction = 0.0;
    ViewFrameStore frameStore;
    // The lens the view's positions are corrected for; none for an ideal camera.
    std::optional<LensModel> lens;
};

enum class CalibrationType : int { Posture2D = 0, Frame3D = 1, Frame2D = 2 };

// An entry of the "Camera Views" menu.
struct CameraViewMenuEntry {
    std::string text;     // "%d %s": 1-based view number and the view's video file name
    std::string command;  // "Camera View 1" .. "Camera View 6"
    int view = 0;         // the camera view the entry selects
    friend bool operator==(const CameraViewMenuEntry&, const CameraViewMenuEntry&) = default;
};

// The texts of the status-bar panes that show the digitizing state.
struct StatusTexts {
    std::string mode;   // "Movement" or "Calibration"
    std::string side;   // side tag of the next point
    std::string point;  // name of the next point, "Finished", or "Point %d/%d"
    std::string image;  // "Image:%d/%d"
    friend bool operator==(const StatusTexts&, const StatusTexts&) = default;
};

// Range and position of the frame slider.
struct FrameSliderState {
    int rangeMax = 0;
    int position = 0;
    friend bool operator==(const FrameSliderState&, const FrameSliderState&) = default;
};

// One motion-analysis sequence: camera views, model, calibration, digitized and world data,
// options, and the windows open on it. It asks the user through the program's Prompts,
// announces every change to its observers and opens windows through its window host.
class CKadivoDoc {
public:
    static constexpr int kZoomCodeCount = 12;
    static constexpr int kDefaultZoomCode = 3;

    CKadivoDoc(Prompts& prompts, VideoSourceFactory videoSources);
    ~CKadivoDoc();
    CKadivoDoc(const CKadivoDoc&) = delete;
    CKadivoDoc& operator=(const CKadivoDoc&) = delete;

    // --- data ---------------------------------------------------------------------------
    std::vector<CameraView> views;
    int currentView = 0;

    ModelTable modelPoints = DefaultModelTable();
    int pointCount = 0;

    int calibrationType = 0;
    int calibrationPointCount = 2;
    std::vector<Point3> calibrationPoints;  // empty (absent) or calibrationPointCount + 1 entries
    DltParameterTable dlt;
    bool dltValid = false;
    // Coefficients imported from another program: while present they are the calibration,
    // in place of one computed from the calibration frames. Saved with the sequence.
    std::optional<DltParameterTable> importedDlt;

    int worldFrameCount = 0;
    WorldData worldRaw;
    WorldData worldFiltered;
    WorldExtent worldExtent;

    int digitizeMode = kMovement;
    float framePeriod = 1.0f;
    // Whether times, rates and derivatives can be made from the frame period: a finite
    // number above zero. The stored value is kept as read either way.
    bool HasUsableFramePeriod() const { return std::isfinite(framePeriod) && framePeriod > 0.0f; }
    int optionsStartPage = 0;
    int fileVersion = 0;
    SequenceOptions options;

    std::string reservedText;
    int reservedA = 0;
    int reservedB = 0;

    // The saved state of the windows open on the sequence, in window-list order.
    std::list<WindowState> windows;

    SequenceSteps steps;

    int viewCount() const { return static_cast<int>(views.size()); }
    CameraView& current() { return views[static_cast<std::size_t>(currentView)]; }
    const CameraView& current() const { return views[static_cast<std::size_t>(currentView)]; }
    const std::string& pathName() const { return path_; }
    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified = true) { modified_ = modified; }

    static float ZoomFactor(int zoomCode);

    // --- lifecycle ----------------------------------------------------------------------
    bool OnNewDocument();
    bool OnOpenDocument(const std::string& path);
    // Opens the sequence a journal recovered, `bytes` as a save to `path` (empty: a sequence
    // never saved) would have written them; the document is then modified.
    bool OnRecoverDocument(const std::string& path, const std::vector<std::uint8_t>& bytes);
    bool OnSaveDocument(const std::string& path);
    void OnCloseDocument();
    // Empties the document down to a fresh object without views.
    void DeleteContents();

    // --- camera views -------------------------------------------------------------------
    void AddViewSlot(int v);
    int AddCameraView();
    void RemoveCameraView();
    bool CanRemoveCameraView() const { return viewCount() > 1; }
    int OpenVideoFile(const std::string& path, bool askToAdd);
    void SetCurrentView(int v);
    int LastFrame(int v) const;
    bool HasVideo(int v) const;
    int MaxFrameCount() const;
    std::vector<CameraViewMenuEntry> CameraViewMenuEntries() const;

    // --- digitizing ---------------------------------------------------------------------
    int AddPoint(ScrollPos scroll, Point2f pos, bool advance);
    int MarkPointMissingInFrame();
    void RemoveLastPoint();
    void OnPointMissing();
    void OnPointStatic();
    void OnClearAllPoints();
    // Moves digitized point `index` of the current frame (the calibration frame in Calibration mode).
    void MovePoint(int index, Point2f pos);
    // "Freeze Zoom/Position": the zoom code and `scroll` into every point of the current and the
    // previous frame record.
    void FreezeZoomAndScroll(ScrollPos scroll);
    void SwitchToCalibration();
    void SwitchToMovement();
    // The "Calibration" and "Movement" commands: Movement asks before leaving an unfinished
    // calibration frame, and offers the transformation when every view's calibration frame is
    // complete and a calibration would change.
    void OnCalibrationCommand();
    void OnMovementCommand();

    // --- frame stepping -----------------------------------------------------------------
    bool NextImage(bool notify);
    void OnPreviousImage();
    void OnJumpToStart();
    void OnJumpToEnd();
    void GoToFrame(int frame, bool notify);
    // The current view alone shows `frame`, whatever the frame step and "Lock Views" (the
    // mouse wheel of the graph and animation windows).
    void ShowFrameInCurrentView(int frame);
    void OnNextUnfinishedImage();
    bool CanNextImage() const;
    bool CanPreviousImage() const;
    bool CanJumpToStart() const;
    bool CanJumpToEnd() const;

    // --- zoom ---------------------------------------------------------------------------
    void SetZoom(int code);
    // Stores a zoom code for view v, sets its source's factor and takes the new frame size.
    void SetViewZoom(int v, int code);
    void ZoomIn();
    void ZoomOut();

    // --- options and commands -----------------------------------------------------------
    void SetFrameStep(int step);
    void OnSequenceOptions(int page);
    void OnLockViews();
    void OnSyncImage();
    // Camera Views > Synchronisation: the views' fractions, in view order (the first view's
    // is kept at 0); one undoable edit. Values that are not finite are refused (false).
    bool SetSyncFractions(const std::vector<double>& fractions);
    void OnVideoOptions();
    bool CanVideoOptions() const;
    bool CanViewDltParameters() const { return dltValid; }

    void OnSetVideoFrameRate();
    // "Transform Image Data": the views' calibration, then the world coordinates.
    void OnTransformImageData();
    // Every view's calibration frame is complete, or imported coefficients calibrate them.
    bool CanTransformImageData() const;
    // Imported coefficients replace the calibration, which is then valid; without
    // coefficients (nullopt) the calibration frames calibrate the views again.
    void SetImportedDlt(std::optional<DltParameterTable> coefficients);
    // Camera Views → "Lens Calibration...": the lens of the current view from a filmed
    // checkerboard; and "Forget Lens".
    void OnLensCalibration();
    void OnForgetLens();
    // Gives view `view` (0-based) `lens`, or none; a lens of another picture size is refused
    // with a message. The calibration follows at the next transformation.
    bool SetViewLens(int view, std::optional<LensModel> lens);
    // Takes the point names, segment names and segment parameters "Model Properties" edited;
    // the world data follow changed segment parameters.
    void SetModel(const ModelTable& model);

    // Undo and redo of the edits of digitized data and of the model.
    EditHistory& history() { return history_; }
    const EditHistory& history() const { return history_; }
    void Undo();
    void Redo();

    // Puts positions read from another program's file into view v's movement records, as one
    // undoable step.
    void ImportPositions(int v, const std::vector<ImportedFrame>& frames);

    // A window's saved contents were edited: the sequence has changed.
    void WindowContentsEdited();

    StatusTexts Status() const;
    // The status bar's word once "Transform Image Data" has run: "Transformed: %d frames of %d points".
    std::string TransformedText() const;
    FrameSliderState FrameSlider() const;

    Prompts& prompts() { return prompts_; }
    ObserverList& observers() { return observers_; }
    // Windows open through `host` from now on; the document starts with a host that keeps
    // window records only.
    void SetWindowHost(WindowHost& host) { windowHost_ = &host; }
    WindowHost& windowHost() { return *windowHost_; }
    // Tells every observer of `what`, concerning camera view `view`.
    void Announce(ChangeSet what, int view);
    void Announce(ChangeSet what) { Announce(what, currentView); }

private:
    bool Load(const std::string& path, const std::function<SequenceReadResult(CKadivoDoc&)>& read, bool recovered);
    int FillAndAdvance(bool advance, int result);
    void AnnounceFrameStep(int view);
    // The calibration of the views, after asking for a calibration profile when there is
    // none; false when the user gave up.
    bool CalibrateViews();
    void RunTransformation();
    void ApplyZoomFactor(float factor);
    bool ViewCanStepForward(int v) const;
    SequenceOptionsSheet FillOptionsSheet(int page) const;
    void ApplyOptionsSheet(const SequenceOptionsSheet& sheet);
    void ApplyCalibrationSettings(const SequenceOptionsSheet& sheet);
    void ReopenVideos(bool useStoredStreams);
    enum class LinkedVideo { Opened, Unreadable, NotLocated };
    // Opens the video `name` links to for view v; one found nowhere is asked for, and the
    // folder the user finds it in is searched for the videos that follow. `name` becomes the
    // path opened, or, for a video not located, the place its link pointed at.
    LinkedVideo OpenLinkedVideo(CameraView& view, int v, std::string& name, int storedStream);
    // The absolute path a stored link finds, also in the folders videos were located in; where
    // it pointed when it finds nothing.
    std::string LinkedVideoPath(const std::string& stored) const;
    void OpenWindowsAfterLoad(bool fileHasWindows);
    int RoundToStep(int frame) const;
    ChangeSet Resizing(ChangeSet what) const;
    // Records the edits until it goes out of scope as one undoable step, and announces what
    // they changed once, when the step is recorded.
    class EditScope {
    public:
        EditScope(CKadivoDoc& doc, const char* name) : doc_(doc) {
            doc.history_.Begin(name);
            ++doc.deferredAnnouncements_;
        }
        ~EditScope();
        EditScope(const EditScope&) = delete;
        EditScope& operator=(const EditScope&) = delete;

    private:
        CKadivoDoc& doc_;
    };
    void AfterUndoOrRedo();
    // `edit`: the change ends an edit (an EditScope).
    void Deliver(DocumentChange change, bool edit);

    Prompts& prompts_;
    VideoSourceFactory videoSources_;
    ObserverList observers_;
    EditHistory history_{*this};
    int deferredAnnouncements_ = 0;
    bool updatingWorldData_ = false;
    bool recomputeFailureShown_ = false;  // once, until a recomputation succeeds
    std::optional<DocumentChange> pending_;
    RecordWindowHost recordHost_;
    WindowHost* windowHost_ = &recordHost_;
    std::string path_;
    bool modified_ = false;
    // The folders videos were located in while the sequence opened, and whether any was.
    std::vector<std::string> locatedFolders_;
    bool relinked_ = false;
};

}  // namespace kadivo
