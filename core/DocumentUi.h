#pragma once

#include "Geometry.h"
#include "ModelPoint.h"
#include "SequenceOptionsSheet.h"
#include "WindowState.h"

#include <optional>
#include <string>
#include <vector>

namespace kadivo {

enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

struct CameraViewMenuEntry {
    std::string text;     // "%d %s": 1-based view number and the view's video file name
    std::string command;  // "Camera View 1" .. "Camera View 6"
    int view = 0;         // the camera view the entry selects
    friend bool operator==(const CameraViewMenuEntry&, const CameraViewMenuEntry&) = default;
};

// What the new-sequence wizard hands to a new document.
struct NewSequenceSetup {
    int pointCount = 0;
    ModelTable modelPoints = DefaultModelTable();
    int calibrationType = 0;
    int calibrationPointCount = 2;
    std::vector<Point3> calibrationPoints;
};

// The only way the document talks to the user and to its windows.
class DocumentUi {
public:
    virtual ~DocumentUi() = default;

    virtual void UpdateAllViews(int hint) = 0;
    virtual void SetStatusPane(int pane, const std::string& text) = 0;
    virtual void SetFrameSlider(int rangeMax, int position) = 0;
    virtual void SetFrameSliderPosition(int position) = 0;

    virtual void RebuildCameraViewMenu(const std::vector<CameraViewMenuEntry>& entries) = 0;
    virtual void RewriteCameraViewMenuEntry(const CameraViewMenuEntry& entry) = 0;
    virtual void RemoveCameraViewMenu() = 0;

    // A progress bar in the first status-bar pane, right of `text`, for long work.
    virtual void BeginProgress(const std::string& text, int range) = 0;
    virtual void StepProgress() = 0;
    // Back to the idle prompt, without the bar.
    virtual void EndProgress() = 0;

    virtual void ShowMessage(const std::string& text) = 0;
    virtual Answer Ask(const std::string& text, Buttons buttons) = 0;

    // A save-file box proposing `proposedName`, without its own overwrite prompt; the
    // chosen path, or nothing when cancelled. `filter` is as "Text File (*.txt)|*.txt||".
    virtual std::optional<std::string> ChooseSaveFile(const std::string& proposedName, const std::string& defaultExtension,
                                                      const std::string& filter) = 0;

    // A file-open box starting at `initialName`; the chosen path, or nothing when cancelled.
    virtual std::optional<std::string> ChooseOpenFile(const std::string& initialName, const std::string& defaultExtension,
                                                      const std::string& filter) = 0;
    // "Stream Selection" over "Stream 1".."Stream `count`": the 0-based choice; Cancel gives 0.
    virtual int ChooseStream(int count) = 0;
    // "Video Image Options" preset from the two values; true on OK, with the values edited.
    virtual bool EditVideoImageOptions(int& imageType, int& firstField) = 0;

    // Runs the options sheet on `sheet`; true on OK.
    virtual bool RunOptionsSheet(SequenceOptionsSheet& sheet) = 0;
    // "Edit Video Frame Rate" showing `rate`; the new rate on OK.
    virtual std::optional<double> EditFrameRate(double rate) = 0;
    virtual std::optional<NewSequenceSetup> RunNewSequenceWizard() = 0;

    // Opens a frame window for a saved or new window state; false when it cannot be created.
    virtual bool OpenWindow(WindowState& state) = 0;
    virtual void CloseAllWindows() = 0;
};

}  // namespace kadivo
