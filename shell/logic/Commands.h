#pragma once

#include <array>
#include <string_view>

namespace kadivo {

class CKadivoDoc;

// Every menu and toolbar command of the program.
enum class CommandId {
    // File
    NewSequence, OpenSequence, CloseSequence, Save, SaveAs, SaveAll, OpenVideo,
    ExportLinear, ExportAngular, ExportPoints, ExportBvh, ExportCsm, ExportC3d, ExportTrc, ExportMot,
    Print, PrintPreview, PageSetup, Preferences, Exit,
    // Sequence
    SequenceOptions, AutoSearchOptions, CaptureOptions, FilterOptions, PointsConfiguration, CalibrationOptions,
    ModelParameters, SetVideoFrameRate, VideoOptions, TransformImageData, ViewDltParameters, FilterEvidence,
    ImportDltCoefficients, ExportDltCoefficients, ForgetDltCoefficients,
    // Digitize
    PreviousImage, NextImage, NextUnfinishedImage, JumpToStart, JumpToEnd,
    Movement, Calibration, PointMissing, PointStatic, ClearAllPoints, SyncImage, LockViews,
    ZoomIn, ZoomOut, ZoomQuarter, ZoomHalf, ZoomOne, ZoomTwo, ZoomThree, ZoomFour,
    AutoScroll, UndistortedFrame, ResizeWindowToImage, EraseLastPoint, Missing, ClearAllFiltering,
    FreezeZoom, EditPoint, Undo, Redo, SneakZoom100, SneakZoom50, SneakZoom33, SneakZoom25, SneakZoom20, SneakZoom10,
    Go, StopDigitizing, SinglePoint, ShowStatusWindow, ImportPoints,
    // Image Processing
    RangeDefine, RangeClear, AutoFilter, ImageAdjust,
    FilterSharpen, FilterPrewittVertical, FilterPrewittHorizontal, FilterSobelVertical, FilterSobelHorizontal,
    FilterLaplacian3, FilterLaplacian5, FilterGaussian3, FilterGaussian5, FilterHighPass3, FilterHighPass5,
    FilterMedian, FilterMax, FilterMin, FilterErode, FilterDilate, FilterBlur, FilterOpen, FilterClose,
    // Camera Views
    AddView, RemoveView, Synchronisation, LensCalibration, OpenLensFile, SaveLensFile, ForgetLens,
    // Analysis and animation
    LinearKinematics, AngularKinematics, NewGraph, RemoveGraph, AddLinearCurve, AddAngularCurve,
    RemoveCurve, CurveProperties, GraphProperties, ClearGraph, GraphGrid, OptimizeXAxis, OptimizeLeftYAxis,
    OptimizeRightYAxis, CopyDataToClipboard, SaveGraphAs,
    Play, Stop, Pause, ResetOrientation, AnimationOptions, SaveFrameAsImage,
    // Capture
    CaptureVideo, CaptureSpareA, CaptureSpareB, SaveVideoAs, VideoFormat, VideoSource, DisplaySettings, Overlay, Preview,
    CaptureDriverInfo,
    // Profiles, and the same wizards under their names in the Sequence menu
    DigitizingModel, CalibrationSetup, DigitizingModels, CalibrationObjects,
    // View
    WindowToolbar, ImageToolbar, DigitizingToolbar, CaptureToolbar, AnimationToolbar, AnalysisToolbar, StatusBar,
    SequenceInfoPane,
    // Window
    NewDigitizingWindow, NewAnalysisWindow, NewAnimationWindow, EnableVideoCapture, CascadeWindows, TileWindows,
    // Help
    HelpTopics, TipOfTheDay, WebSite, About,
    Count
};

inline constexpr int kCommandCount = static_cast<int>(CommandId::Count);

struct CommandInfo {
    CommandId id;
    std::string_view text;      // the menu text, as the command is named
    std::string_view shortcut;  // in the portable text form of key sequences; empty for none
    std::string_view icon;      // the bundled icon's name; empty for none
    std::string_view tip;       // the status-bar and tool-tip help
};

const CommandInfo& Command(CommandId id);

// Whether a command can run now, and whether it shows a check mark.
struct CommandStatus {
    bool enabled = false;
    bool checked = false;
    friend bool operator==(const CommandStatus&, const CommandStatus&) = default;
};

// The document commands' rules on the active sequence. Commands that are not the
// document's are disabled here.
CommandStatus DocumentCommandStatus(CommandId id, const CKadivoDoc& doc);
bool IsDocumentCommand(CommandId id);

// The options-sheet page a command opens (0 "Sequence Options" .. 5 "Calibration Options"),
// −1 for other commands.
int OptionsPageOf(CommandId id);

// The zoom codes of the "x.25" .. "x4" commands, 0 for other commands.
int ZoomCodeOf(CommandId id);
// The filter menu index (0 "Sharpen" .. 18 "Close") of a filter command, −1 for others.
int FilterIndexOf(CommandId id);
// The SneakZoom percentage of the "x1" .. "x10" SneakZoom commands, 0 for others.
int SneakZoomOf(CommandId id);

// The toolbars' buttons; Count marks a separator.
inline constexpr CommandId kSeparator = CommandId::Count;
extern const std::array<CommandId, 9> kMainToolbar;
extern const std::array<CommandId, 23> kDigitizingToolbar;
extern const std::array<CommandId, 4> kCaptureToolbar;
extern const std::array<CommandId, 5> kAnimationToolbar;
extern const std::array<CommandId, 5> kAnalysisToolbar;
extern const std::array<CommandId, 4> kWindowToolbar;
extern const std::array<CommandId, 15> kImageToolbar;

}  // namespace kadivo
