#include "Commands.h"

#include "CKadivoDoc.h"
#include "ExportDialogs.h"

#include <algorithm>

namespace kadivo {

namespace {

using C = CommandId;

constexpr CommandInfo kCommands[] = {
    {C::NewSequence, "New Sequence", "Ctrl+N", "new-sequence", "Create a new sequence with the new-sequence wizard"},
    {C::OpenSequence, "Open Sequence", "Ctrl+O", "open-sequence", "Open a saved sequence"},
    {C::CloseSequence, "Close", "Ctrl+W", "", "Close the active sequence and its windows"},
    {C::Save, "Save", "Ctrl+S", "save", "Save the active sequence"},
    {C::SaveAs, "Save As...", "Ctrl+Shift+S", "", "Save the active sequence under a new name"},
    {C::SaveAll, "Save All", "", "save-all", "Save every open sequence"},
    {C::OpenVideo, "Open Video (*.avi)", "Ctrl+Shift+O", "open-video", "Open a video file into the current camera view"},
    {C::ExportLinear, "Linear Data", "", "", "Export positions, velocities and accelerations as text"},
    {C::ExportAngular, "Angular Data", "", "", "Export joint angles as text"},
    {C::ExportPoints, "Digitized Points", "", "", "Export the image coordinates of the current camera view as text"},
    {C::ExportBvh, "BVH Motion File", "", "", "Export the motion as a BVH file"},
    {C::ExportCsm, "CSM Motion File", "", "", "Export the marker trajectories as a CSM file"},
    {C::ExportC3d, "C3D File", "", "", "Export the marker trajectories as a C3D file"},
    {C::ExportTrc, "TRC Marker File", "", "", "Export the marker trajectories as a TRC file for OpenSim"},
    {C::ExportMot, "MOT Motion File", "", "", "Export joint angles as a MOT file for OpenSim"},
    {C::Print, "Print", "Ctrl+P", "print", "Print the active window"},
    {C::PrintPreview, "Print Preview", "", "print-preview", "Show the printed pages of the active window"},
    {C::PageSetup, "Page Setup", "", "", "Choose the paper and its margins"},
    {C::Preferences, "Preferences", "", "", "What Kadivo does when it starts"},
    {C::Exit, "Exit", "Ctrl+Q", "", "Quit Kadivo"},
    {C::SequenceOptions, "Sequence Options", "Ctrl+,", "sequence-options", "Edit the options of the sequence"},
    {C::AutoSearchOptions, "Automatic Search Options", "", "", "Edit the automatic marker search"},
    {C::CaptureOptions, "Capture Options", "", "", "Edit the video capture options"},
    {C::FilterOptions, "Filter/Interpolation Options", "", "", "Edit gap filling and smoothing"},
    {C::PointsConfiguration, "Points Configuration", "", "", "Choose the missing and static points of the view"},
    {C::CalibrationOptions, "Calibration Options", "", "", "Edit the calibration setup"},
    {C::ModelParameters, "Model Parameters", "", "model-parameters", "Edit point names and segment parameters"},
    {C::SetVideoFrameRate, "Set Video Frame Rate", "", "", "Edit the frames per second of the sequence"},
    {C::VideoOptions, "Video Options", "", "", "Interlaced fields of the current video"},
    {C::TransformImageData, "Transform Image Data", "Ctrl+T", "transform", "Calibrate the views and compute world coordinates"},
    {C::ViewDltParameters, "View DLT Parameters", "", "", "Show the calibration parameters of each view"},
    {C::FilterEvidence, "Filter Evidence...", "", "", "Show how the world data of a point were smoothed"},
    {C::ImportDltCoefficients, "Import DLT Coefficients...", "", "", "Calibrate the views with the DLT coefficients of another program's file"},
    {C::ExportDltCoefficients, "Export DLT Coefficients...", "", "", "Save the views' DLT coefficients for another program"},
    {C::ForgetDltCoefficients, "Forget Imported DLT Coefficients", "", "", "Calibrate the views from their calibration frames again"},
    {C::PreviousImage, "Previous Image", "Left", "previous-image", "Go back by the image skip factor"},
    {C::NextImage, "Next Image", "Right", "next-image", "Go forward by the image skip factor"},
    {C::NextUnfinishedImage, "Next Unfinished Image", "Shift+Right", "next-unfinished", "Go to the next frame that is not digitized"},
    {C::JumpToStart, "Jump to Start", "Home", "jump-start", "Go to the first frame"},
    {C::JumpToEnd, "Jump to End", "End", "jump-end", "Go to the last frame"},
    {C::Movement, "Movement", "", "movement", "Digitize the movement"},
    {C::Calibration, "Calibration", "", "calibration", "Digitize the calibration frame"},
    {C::PointMissing, "Point Missing", "", "", "Mark the next point missing in this and the following frames"},
    {C::PointStatic, "Point Static", "", "", "Copy the next point from the previous frame from now on"},
    {C::ClearAllPoints, "Clear All Points", "", "", "Remove every point of the current frame"},
    {C::SyncImage, "Sync Image", "", "", "Make the current frame the view's synchronisation frame"},
    {C::LockViews, "Lock Views", "", "lock-views", "Step every camera view together"},
    {C::ZoomIn, "Zoom IN", "Ctrl++", "zoom-in", "Double the zoom"},
    {C::ZoomOut, "Zoom Out", "Ctrl+-", "zoom-out", "Halve the zoom"},
    {C::ZoomQuarter, "x.25", "", "", "Show the frame at a quarter of its size"},
    {C::ZoomHalf, "x.5", "", "", "Show the frame at half its size"},
    {C::ZoomOne, "x1", "Ctrl+0", "", "Show the frame at its size"},
    {C::ZoomTwo, "x2", "", "", "Show the frame at twice its size"},
    {C::ZoomThree, "x3", "", "", "Show the frame at three times its size"},
    {C::ZoomFour, "x4", "", "", "Show the frame at four times its size"},
    {C::AutoScroll, "Auto Scroll", "", "auto-scroll", "Keep the next point in sight"},
    {C::UndistortedFrame, "Undistorted Frame", "", "", "Show the frame as an ideal camera behind the view's lens would"},
    {C::ResizeWindowToImage, "Resize Window to Image", "", "fit-window", "Fit the window to the frame"},
    {C::EraseLastPoint, "Erase Last Point", "Backspace", "erase-last", "Remove the last digitized point"},
    {C::Missing, "Missing", "M", "missing", "The next point is missing in this frame"},
    {C::ClearAllFiltering, "Clear All Filtering", "", "clear-filtering", "Show the frame as the video holds it"},
    {C::FreezeZoom, "Freeze Zoom/Position", "", "", "Keep this zoom and position for the points of this and the previous frame"},
    {C::EditPoint, "Edit Point", "", "", "Move the point at the last click"},
    {C::Undo, "Undo", "Ctrl+Z", "undo", "Undo the last edit"},
    {C::Redo, "Redo", "Ctrl+Shift+Z", "redo", "Do the undone edit again"},
    {C::SneakZoom100, "x1", "", "", "The magnifier shows the frame as it is"},
    {C::SneakZoom50, "x2", "", "", "The magnifier enlarges twice"},
    {C::SneakZoom33, "x3", "", "", "The magnifier enlarges three times"},
    {C::SneakZoom25, "x4", "", "", "The magnifier enlarges four times"},
    {C::SneakZoom20, "x5", "", "", "The magnifier enlarges five times"},
    {C::SneakZoom10, "x10", "", "", "The magnifier enlarges ten times"},
    {C::Go, "Go", "F5", "play", "Digitize frame after frame automatically"},
    {C::StopDigitizing, "Stop", "Esc", "stop", "Stop automatic digitizing"},
    {C::SinglePoint, "Single Point", "F6", "", "Find and digitize the next point"},
    {C::ShowStatusWindow, "Show Status Window", "", "", "Show the marker search as it works"},
    {C::ImportPoints, "Import 2D Points...", "", "", "Import the 2D points of a tracker's file into the current camera view"},
    {C::RangeDefine, "Define", "", "", "Drag the rectangle that enhancement changes"},
    {C::RangeClear, "Clear", "", "", "Enhance the whole frame"},
    {C::AutoFilter, "Auto Filter", "", "", "Not available"},
    {C::ImageAdjust, "Image Adjust", "", "", "Brightness, contrast, hue and more"},
    {C::FilterSharpen, "Sharpen", "", "", "Sharpen the frame"},
    {C::FilterPrewittVertical, "Prewitt Vetical", "", "", "Vertical edges (Prewitt)"},
    {C::FilterPrewittHorizontal, "Prewitt Horisontal", "", "", "Horizontal edges (Prewitt)"},
    {C::FilterSobelVertical, "Sobel Vertical", "", "", "Vertical edges (Sobel)"},
    {C::FilterSobelHorizontal, "Sobel Horizontal", "", "", "Horizontal edges (Sobel)"},
    {C::FilterLaplacian3, "Laplacian 3x3", "", "", "Edges in every direction"},
    {C::FilterLaplacian5, "Laplacian 5x5", "", "", "Edges in every direction, wider"},
    {C::FilterGaussian3, "Gaussian 3x3", "", "", "Smooth lightly"},
    {C::FilterGaussian5, "Gaussian 5x5", "", "", "Smooth"},
    {C::FilterHighPass3, "HighPass 3x3", "", "", "Keep the fine detail"},
    {C::FilterHighPass5, "HighPass 5x5", "", "", "Keep the detail"},
    {C::FilterMedian, "Median Filter", "", "", "Remove speckles"},
    {C::FilterMax, "Max Filter", "", "", "Grow bright spots"},
    {C::FilterMin, "Min Filter", "", "", "Grow dark spots"},
    {C::FilterErode, "Erode", "", "", "Shrink bright shapes"},
    {C::FilterDilate, "Dilate", "", "", "Grow bright shapes"},
    {C::FilterBlur, "Blur", "", "", "Average each pixel with its neighbours"},
    {C::FilterOpen, "Open", "", "", "Erode, then dilate"},
    {C::FilterClose, "Close", "", "", "Dilate, then erode"},
    {C::AddView, "Add Camera View", "", "add-view", "Add a camera view and open its video"},
    {C::RemoveView, "Remove Camera View", "", "remove-view", "Remove the current camera view"},
    {C::Synchronisation, "Synchronisation...", "", "", "Set or measure each view's lag behind the first view, to a fraction of a frame"},
    {C::LensCalibration, "Lens Calibration...", "", "", "Find the current view's lens distortion from a filmed checkerboard"},
    {C::OpenLensFile, "Open Lens File...", "", "", "Give the current view the lens of a lens file"},
    {C::SaveLensFile, "Save Lens File...", "", "", "Save the current view's lens for other sequences and kadivo-cli"},
    {C::ForgetLens, "Forget Lens", "", "", "Take the current view's positions as an ideal camera's again"},
    {C::LinearKinematics, "Linear Kinematics", "", "", "Open a graph of linear kinematics"},
    {C::AngularKinematics, "Angular Kinematics", "", "", "Open a graph of angular kinematics"},
    {C::NewGraph, "New Graph", "", "new-graph", "Add a graph to the window"},
    {C::RemoveGraph, "Remove Graph", "", "remove-graph", "Remove the selected graph"},
    {C::AddLinearCurve, "Add Linear Curve", "", "linear-curve", "Add a curve of linear kinematics"},
    {C::AddAngularCurve, "Add Angular Curve", "", "angular-curve", "Add a curve of angular kinematics"},
    {C::RemoveCurve, "Remove Curve", "", "", "Remove the selected curve"},
    {C::CurveProperties, "Curve Properties", "", "", "Name, colour, line and marks of the selected curve"},
    {C::GraphProperties, "Graph Properties", "", "", "Title, axis limits and colours of the selected graph"},
    {C::ClearGraph, "Clear Graph", "", "", "Remove every curve of the selected graph"},
    {C::GraphGrid, "Grid", "", "", "Show or hide the grid of the selected graph"},
    {C::OptimizeXAxis, "Optimize X axis", "", "", "Fit the time axis to the curves"},
    {C::OptimizeLeftYAxis, "Optimize Left Y axis", "", "", "Fit the left axis to its curves"},
    {C::OptimizeRightYAxis, "Optimize Right Y axis", "", "", "Fit the right axis to its curves"},
    {C::CopyDataToClipboard, "Copy Data to Clipboard", "Ctrl+C", "", "Copy the selected graph's samples as text"},
    {C::SaveGraphAs, "Save Graph As...", "", "", "Save the selected graph or the window as PNG, SVG or PDF"},
    {C::Play, "Play", "", "play", "Play the animation"},
    {C::Stop, "Stop", "", "stop", "Stop the animation"},
    {C::Pause, "Pause", "", "pause", "Pause the animation"},
    {C::ResetOrientation, "Reset Orientation", "", "reset-orientation", "Look at the model from the front again"},
    {C::AnimationOptions, "Animation Options", "", "", "Data, segment style, floor, speed and colours of the animation"},
    {C::SaveFrameAsImage, "Save Frame As Image...", "", "", "Save the animation's picture as a PNG file"},
    {C::CaptureVideo, "Capture Video", "", "capture", "Capture video from the camera"},
    {C::CaptureSpareA, "Capture Format", "", "capture-format", "Not available"},
    {C::CaptureSpareB, "Capture Source", "", "capture-source", "Not available"},
    {C::SaveVideoAs, "Save Video As...", "", "", "Save the last recording as a video file"},
    {C::VideoFormat, "Video Format", "", "", "Frame size of the camera"},
    {C::VideoSource, "Video Source", "", "", "Brightness, contrast and the other settings of the camera"},
    {C::DisplaySettings, "Display settings", "", "", "Settings of the camera's picture"},
    {C::Overlay, "Overlay", "", "", "Show the camera's picture in overlay mode"},
    {C::Preview, "Preview", "", "", "Show the camera's picture in preview mode"},
    {C::CaptureDriverInfo, "Capture Driver Info", "", "", "The installed capture drivers and what the current one can do"},
    {C::DigitizingModel, "Digitizing Model", "", "", "Define a digitizing model"},
    {C::CalibrationSetup, "Calibration Setup", "", "", "Define a calibration frame"},
    {C::DigitizingModels, "Digitizing Models", "", "", "Define a digitizing model"},
    {C::CalibrationObjects, "Calibration Objects", "", "", "Define a calibration frame"},
    {C::WindowToolbar, "Window Toolbar", "", "", "Show or hide the window toolbar"},
    {C::ImageToolbar, "Image Toolbar", "", "", "Show or hide the image toolbar of the digitizing windows"},
    {C::DigitizingToolbar, "Digitizing Toolbar", "", "", "Show or hide the digitizing toolbar"},
    {C::CaptureToolbar, "Capture Toolbar", "", "", "Show or hide the capture toolbar"},
    {C::AnimationToolbar, "3D Animation Toolbar", "", "", "Show or hide the animation toolbar"},
    {C::AnalysisToolbar, "Analysis Toolbar", "", "", "Show or hide the analysis toolbar"},
    {C::StatusBar, "Status Bar", "", "", "Show or hide the status bar"},
    {C::SequenceInfoPane, "Sequence Info Pane", "", "", "Show the sequence information pane"},
    {C::NewDigitizingWindow, "New Digitizing Window", "", "new-digitizing-window", "Open another digitizing window"},
    {C::NewAnalysisWindow, "New Analysis Window", "", "new-analysis-window", "Open a graph window"},
    {C::NewAnimationWindow, "New Animation Window", "", "new-animation-window", "Open a 3D animation window"},
    {C::EnableVideoCapture, "Enable Video Capture", "", "enable-capture", "Open the video capture window"},
    {C::CascadeWindows, "Cascade", "", "", "Arrange the windows in a cascade"},
    {C::TileWindows, "Tile", "", "", "Arrange the windows side by side"},
    {C::HelpTopics, "Help Topics", "F1", "help", "Open the Kadivo manual"},
    {C::TipOfTheDay, "Tip of the Day", "", "", "Show a tip"},
    {C::WebSite, "Kadivo on the Web", "", "", "Open the Kadivo web site"},
    {C::About, "About Kadivo", "", "about", "Version of Kadivo"},
};
static_assert(std::size(kCommands) == static_cast<std::size_t>(CommandId::Count));

constexpr bool TableInOrder() {
    for (std::size_t i = 0; i < std::size(kCommands); ++i)
        if (static_cast<std::size_t>(kCommands[i].id) != i) return false;
    return true;
}
static_assert(TableInOrder(), "the command table lists the commands in their order");

// The commands of the document.
constexpr CommandId kDocumentCommands[] = {
    C::SequenceOptions, C::AutoSearchOptions, C::CaptureOptions, C::FilterOptions, C::PointsConfiguration,
    C::CalibrationOptions, C::ModelParameters, C::SetVideoFrameRate, C::VideoOptions, C::TransformImageData,
    C::ViewDltParameters, C::FilterEvidence, C::ImportDltCoefficients, C::ExportDltCoefficients, C::ForgetDltCoefficients, C::PreviousImage, C::NextImage, C::NextUnfinishedImage, C::JumpToStart, C::JumpToEnd,
    C::PointMissing, C::PointStatic, C::ClearAllPoints, C::SyncImage, C::LockViews, C::ZoomIn, C::ZoomOut,
    C::ZoomQuarter, C::ZoomHalf, C::ZoomOne, C::ZoomTwo, C::ZoomThree, C::ZoomFour, C::RemoveView, C::Synchronisation, C::LensCalibration, C::OpenLensFile, C::SaveLensFile, C::ForgetLens,
    C::ExportLinear, C::ExportAngular, C::ExportPoints, C::ExportBvh, C::ExportCsm, C::ExportC3d, C::ExportTrc,
    C::ExportMot, C::ImportPoints, C::Undo, C::Redo,
};

CommandStatus Enabled(bool on) { return {on, false}; }

constexpr std::size_t kSneakZoomCommands = 6;
constexpr int kSneakZoomPercentagesOfCommands[kSneakZoomCommands] = {100, 50, 33, 25, 20, 10};

}  // namespace

const std::array<CommandId, 9> kMainToolbar{C::NewSequence, C::OpenSequence, C::Save, C::SaveAll, kSeparator,
                                            C::Print, C::PrintPreview, C::About, C::HelpTopics};
const std::array<CommandId, 23> kDigitizingToolbar{
    C::PreviousImage, C::NextImage, C::NextUnfinishedImage, kSeparator, C::JumpToStart, C::JumpToEnd, kSeparator,
    C::ZoomIn, C::ZoomOut, C::AutoScroll, C::ResizeWindowToImage, kSeparator, C::OpenVideo, kSeparator,
    C::Movement, C::Calibration, kSeparator, C::AddView, C::RemoveView, C::LockViews, kSeparator,
    C::SequenceOptions, C::ModelParameters};
const std::array<CommandId, 4> kCaptureToolbar{C::CaptureVideo, kSeparator, C::CaptureSpareA, C::CaptureSpareB};
const std::array<CommandId, 5> kAnimationToolbar{C::Play, C::Stop, C::Pause, kSeparator, C::ResetOrientation};
const std::array<CommandId, 5> kAnalysisToolbar{C::NewGraph, C::RemoveGraph, kSeparator, C::AddLinearCurve,
                                                C::AddAngularCurve};
const std::array<CommandId, 4> kWindowToolbar{C::NewDigitizingWindow, C::NewAnalysisWindow, C::NewAnimationWindow,
                                              C::EnableVideoCapture};
const std::array<CommandId, 15> kImageToolbar{C::NextImage, C::PreviousImage, kSeparator, C::JumpToEnd,
                                              C::JumpToStart, kSeparator, C::EraseLastPoint, C::Missing, kSeparator,
                                              C::ZoomIn, C::ZoomOut, kSeparator, C::OpenVideo, kSeparator,
                                              C::ClearAllFiltering};

const CommandInfo& Command(CommandId id) { return kCommands[static_cast<std::size_t>(id)]; }

bool IsDocumentCommand(CommandId id) {
    return std::find(std::begin(kDocumentCommands), std::end(kDocumentCommands), id) != std::end(kDocumentCommands);
}

int OptionsPageOf(CommandId id) {
    switch (id) {
        case C::SequenceOptions: return 0;
        case C::AutoSearchOptions: return 1;
        case C::CaptureOptions: return 2;
        case C::FilterOptions: return 3;
        case C::PointsConfiguration: return 4;
        case C::CalibrationOptions: return 5;
        default: return -1;
    }
}

int FilterIndexOf(CommandId id) {
    const int index = static_cast<int>(id) - static_cast<int>(C::FilterSharpen);
    return index >= 0 && index <= static_cast<int>(C::FilterClose) - static_cast<int>(C::FilterSharpen) ? index : -1;
}

int SneakZoomOf(CommandId id) {
    const int index = static_cast<int>(id) - static_cast<int>(C::SneakZoom100);
    return index >= 0 && index < static_cast<int>(kSneakZoomCommands) ? kSneakZoomPercentagesOfCommands[index] : 0;
}

int ZoomCodeOf(CommandId id) {
    switch (id) {
        case C::ZoomQuarter: return 1;
        case C::ZoomHalf: return 2;
        case C::ZoomOne: return 3;
        case C::ZoomTwo: return 4;
        case C::ZoomThree: return 5;
        case C::ZoomFour: return 6;
        default: return 0;
    }
}

CommandStatus DocumentCommandStatus(CommandId id, const CKadivoDoc& doc) {
    if (doc.views.empty()) return {};
    if (OptionsPageOf(id) >= 0) return Enabled(true);
    switch (id) {
        case C::ModelParameters:
        case C::SetVideoFrameRate:
        case C::PointMissing:
        case C::PointStatic:
        case C::ClearAllPoints:
        case C::SyncImage:
        case C::NextUnfinishedImage:
        case C::ExportPoints:
            return Enabled(true);
        case C::ZoomQuarter:
        case C::ZoomHalf:
        case C::ZoomOne:
        case C::ZoomTwo:
        case C::ZoomThree:
        case C::ZoomFour:
            return {true, doc.current().zoomCode == ZoomCodeOf(id)};
        case C::ZoomIn: return Enabled(doc.current().videoSource->Zoom() < 10.0f);
        case C::ZoomOut: return Enabled(doc.current().videoSource->Zoom() > 0.25f);
        case C::VideoOptions: return Enabled(doc.CanVideoOptions());
        case C::TransformImageData: return Enabled(doc.CanTransformImageData());
        case C::ViewDltParameters: return Enabled(doc.CanViewDltParameters());
        case C::FilterEvidence: return Enabled(doc.worldFrameCount > 0 && !doc.worldRaw.empty());
        case C::ImportDltCoefficients: return Enabled(true);
        case C::ExportDltCoefficients: return Enabled(doc.dltValid);
        case C::ForgetDltCoefficients: return Enabled(doc.importedDlt.has_value());
        case C::PreviousImage: return Enabled(doc.CanPreviousImage());
        case C::NextImage: return Enabled(doc.CanNextImage());
        case C::JumpToStart: return Enabled(doc.CanJumpToStart());
        case C::JumpToEnd: return Enabled(doc.CanJumpToEnd());
        case C::LockViews: return {true, doc.options.lockViews != 0};
        case C::RemoveView: return Enabled(doc.CanRemoveCameraView());
        case C::Synchronisation: return Enabled(doc.viewCount() > 1);
        case C::LensCalibration:
        case C::OpenLensFile: return Enabled(true);
        case C::SaveLensFile:
        case C::ForgetLens: return Enabled(doc.current().lens.has_value());
        case C::Undo: return Enabled(doc.history().CanUndo());
        case C::ImportPoints: return Enabled(doc.digitizeMode == kMovement && doc.HasVideo(doc.currentView));
        case C::Redo: return Enabled(doc.history().CanRedo());
        case C::ExportLinear:
        case C::ExportAngular:
        case C::ExportBvh:
        case C::ExportCsm:
        case C::ExportC3d:
        case C::ExportTrc:
        case C::ExportMot:
            return Enabled(CanExportWorldData(doc));
        default: return {};
    }
}

}  // namespace kadivo
