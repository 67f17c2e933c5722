#pragma once

#include "DltParameterTable.h"
#include "DocumentUi.h"
#include "FrameRecord.h"
#include "ModelPoint.h"
#include "SequenceOptions.h"
#include "SequenceSteps.h"
#include "VideoSourceInterface.h"
#include "ViewFrameStore.h"
#include "WindowState.h"
#include "WorldData.h"

#include <list>
#include <memory>
#include <string>
#include <vector>

namespace kadivo {

// The per-view items of a sequence, kept together so they always grow and shrink as one.
struct CameraView {
    CameraView(std::unique_ptr<VideoSourceInterface> source, int pointCount, int frameStep);

    std::unique_ptr<VideoSourceInterface> videoSource;
    FrameSize frameSize;
    int currentFrame = 0;
    int zoomCode = 3;
    std::vector<int> missingFlags;  // pointCount + 1 entries
    std::vector<int> staticFlags;   // pointCount + 1 entries
    int syncFrame = 0;
    ViewFrameStore frameStore;
};

enum class CalibrationType : int { Posture2D = 0, Frame3D = 1, Frame2D = 2 };

// One motion-analysis sequence: camera views, model, calibration, digitized and world data,
// options, and the windows open on it. It talks to the user only through DocumentUi.
class CKadivoDoc {
public:
    static constexpr int kZoomCodeCount = 12;
    static constexpr int kDefaultZoomCode = 3;

    CKadivoDoc(DocumentUi& ui, VideoSourceFactory videoSources);
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

    int worldFrameCount = 0;
    WorldData worldRaw;
    WorldData worldFiltered;
    WorldExtent worldExtent;

    int digitizeMode = kMovement;
    float framePeriod = 1.0f;
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
    void SwitchToCalibration();
    void SwitchToMovement();

    // --- frame stepping -----------------------------------------------------------------
    bool NextImage(bool notify);
    void OnPreviousImage();
    void OnJumpToStart();
    void OnJumpToEnd();
    void GoToFrame(int frame, bool notify);
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
    void OnVideoOptions();
    bool CanVideoOptions() const;
    void OnSetVideoFrameRate();
    bool CanViewDltParameters() const { return dltValid; }

    void RefreshStatusBar();
    void UpdateFrameSlider();

    DocumentUi& ui() { return ui_; }

private:
    int FillAndAdvance(bool advance, int result);
    void SendFrameStepHint();
    void ApplyZoomFactor(float factor);
    bool ViewCanStepForward(int v) const;
    SequenceOptionsSheet FillOptionsSheet(int page) const;
    void ApplyOptionsSheet(const SequenceOptionsSheet& sheet);
    void ApplyCalibrationSettings(const SequenceOptionsSheet& sheet);
    void ReopenVideos(bool useStoredStreams);
    void OpenWindowsAfterLoad(bool fileHasWindows);
    int RoundToStep(int frame) const;
    int SizeHint(int hintBits, int withResize) const;

    DocumentUi& ui_;
    VideoSourceFactory videoSources_;
    std::string path_;
    bool modified_ = false;
};

}  // namespace kadivo
