#pragma once

#include "Geometry.h"
#include "ImportedPositions.h"
#include "LensModel.h"
#include "ModelPoint.h"
#include "SequenceOptionsSheet.h"

#include <optional>
#include <string>
#include <vector>

namespace kadivo {

enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

// How a message or question box looks beyond its text and buttons.
struct QuestionStyle {
    std::string caption;     // empty: the program's name
    bool warning = false;    // the warning icon instead of the question mark (or information sign)
    int defaultButton = 0;   // 0-based among the box's buttons
};

// What the new-sequence wizard hands to a new document.
struct NewSequenceSetup {
    int pointCount = 0;
    ModelTable modelPoints = DefaultModelTable();
    int calibrationType = 0;
    int calibrationPointCount = 2;
    std::vector<Point3> calibrationPoints;
    bool exactPositions = false;  // the wizard's sequences compute with positions as stored
};

// What the program asks of the person in front of it, shared by every document: messages,
// questions, file boxes, the dialogs that edit plain records, and the progress of long work.
class Prompts {
public:
    virtual ~Prompts() = default;

    // A message with OK; without a style, a warning under the program's name.
    virtual void ShowMessage(const std::string& text, const QuestionStyle& style = {"", true, 0}) = 0;
    virtual Answer Ask(const std::string& text, Buttons buttons, const QuestionStyle& style = {}) = 0;

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
    // The new-sequence wizard; nothing when it does not end with Finish.
    virtual std::optional<NewSequenceSetup> RunNewSequenceWizard() = 0;
    // "Import 2D Points": pairs their point names with the model's and sets the likelihood
    // (when the file has one); true on OK, with `plan` edited.
    virtual bool EditTrackImport(TrackImportPlan& plan, const std::vector<std::string>& theirNames,
                                 const std::vector<std::string>& modelNames, bool hasLikelihood) = 0;

    // "Lens Calibration": finds the lens of the camera that filmed a checkerboard, offering
    // `video` (the view's own) and a picture size the lens must have; the lens on OK.
    virtual std::optional<LensModel> RunLensCalibration(const std::string& video, FrameSize picture) = 0;

    // A progress bar for long work, right of `text`; `range` steps make it full.
    virtual void BeginProgress(const std::string& text, int range) = 0;
    virtual void StepProgress() = 0;
    virtual void EndProgress() = 0;
};

}  // namespace kadivo
