#include "CKadivoDoc.h"

#include <cstdio>

#include <algorithm>

namespace kadivo {

void CKadivoDoc::SetFrameStep(int step) {
    if (step < 1) return;
    options.frameStep = step;
    CameraView& view = current();
    view.currentFrame = RoundToStep(view.currentFrame);
    // Keep the store's current record on the frame the view now shows.
    view.frameStore.SetCurrentFrame(view.currentFrame, digitizeMode);
    for (CameraView& each : views) each.frameStore.frameStep = step;
}

SequenceOptionsSheet CKadivoDoc::FillOptionsSheet(int page) const {
    const SequenceOptions& o = options;
    const CameraView& view = current();
    SequenceOptionsSheet sheet;
    sheet.startPage = page;
    sheet.sequenceTitle = o.sequenceTitle;
    sheet.autoAdvance = o.autoAdvance;
    sheet.frameStep = o.frameStep;
    sheet.smartScroll = o.smartScroll;
    sheet.autoResize = o.autoResize;
    sheet.autoDigitizeSeconds = o.autoDigitizeInterval / 1000.0;
    sheet.autoCenterOnZoom = o.autoCenterOnZoom;
    sheet.showPointTags = o.showPointTags;
    sheet.locateMethod = o.locateMethod;
    sheet.templateMethod = o.templateMethod;
    sheet.thresholdMovement = o.thresholdMovement;
    sheet.templateSize = o.templateWidth;
    sheet.searchSize = o.searchWidth;
    sheet.tracking = view.videoSource->Tracking();
    sheet.snapToMarkerCentre = o.snapToMarkerCentre;
    sheet.captureDelay = o.captureDelay;
    sheet.captureTime = o.captureTime;
    sheet.captureRate = o.captureRate;
    sheet.interpolation = o.interpolation;
    sheet.filtering = o.filtering;
    sheet.cutOffFrequency = o.cutOffFrequency;
    sheet.cutOffMethod = o.cutOffMethod;
    sheet.digitizingError = o.digitizingError;
    sheet.recomputeAfterChange = o.recomputeAfterChange;
    sheet.splineOrder = o.splineOrder;
    sheet.smoothError = o.smoothError;
    for (int p = 0; p < pointCount; ++p) sheet.pointNames.push_back(modelPoints[static_cast<std::size_t>(p)].name);
    sheet.missingFlags.assign(view.missingFlags.begin(), view.missingFlags.begin() + pointCount);
    sheet.staticFlags.assign(view.staticFlags.begin(), view.staticFlags.begin() + pointCount);
    sheet.calibrationType = calibrationType;
    sheet.calibrationPointCount = calibrationPointCount;
    sheet.calibrationPoints = calibrationPoints;
    sheet.calibrationPoints.resize(static_cast<std::size_t>(calibrationPointCount) + 1);
    sheet.exactPositions = options.exactPositions;
    sheet.lensFromControlPoints = options.lensFromControlPoints;
    return sheet;
}

void CKadivoDoc::OnSequenceOptions(int page) {
    optionsStartPage = page;
    SequenceOptionsSheet sheet = FillOptionsSheet(page);
    if (!prompts_.RunOptionsSheet(sheet)) {
        optionsStartPage = 0;
        return;
    }
    ApplyOptionsSheet(sheet);
}

void CKadivoDoc::ApplyCalibrationSettings(const SequenceOptionsSheet& sheet) {
    const int count = std::clamp(sheet.calibrationPointCount, 0, kMaxCalibrationPoints);
    if (sheet.calibrationType != calibrationType || count != calibrationPointCount) {
        history_.Clear();
        worldRaw = {};
        worldFiltered = {};
        worldFrameCount = 0;
        dltValid = false;
        for (CameraView& view : views) {
            view.frameStore.ClearPoints(kCalibration);
            view.frameStore.calibrationDirty = false;
        }
        modified_ = true;
    }
    calibrationType = sheet.calibrationType;
    if (count != calibrationPointCount || calibrationPoints.empty()) {
        calibrationPointCount = count;
        calibrationPoints.assign(static_cast<std::size_t>(count) + 1, Point3{});
    }
    const std::size_t copied = std::min(calibrationPoints.size(), sheet.calibrationPoints.size());
    std::copy_n(sheet.calibrationPoints.begin(), copied, calibrationPoints.begin());
    for (CameraView& view : views) view.frameStore.calibrationPointCount = calibrationPointCount;
}

void CKadivoDoc::ApplyOptionsSheet(const SequenceOptionsSheet& sheet) {
    SequenceOptions& o = options;
    CameraView& view = current();
    ChangeSet what = Change::Options;
    // 1. Digitizing and search values.
    o.sequenceTitle = sheet.sequenceTitle.substr(0, SequenceOptions::kMaxTitleLength);
    o.templateWidth = o.templateHeight = sheet.templateSize;
    o.searchWidth = o.searchHeight = sheet.searchSize;
    o.autoCenterOnZoom = sheet.autoCenterOnZoom;
    o.locateMethod = sheet.locateMethod;
    o.smartScroll = sheet.smartScroll;
    view.videoSource->SetTracking(sheet.tracking);
    if (sheet.snapToMarkerCentre != o.snapToMarkerCentre) {
        o.snapToMarkerCentre = sheet.snapToMarkerCentre;
        modified_ = true;
    }
    o.autoResize = sheet.autoResize;
    o.autoAdvance = sheet.autoAdvance;
    // The capture page's values would otherwise be lost on OK.
    o.captureDelay = sheet.captureDelay;
    o.captureTime = sheet.captureTime;
    o.captureRate = sheet.captureRate;
    // 2. Calibration setup; a changed type or count discards what was computed from the old one.
    const bool hadWorldData = worldFrameCount > 0;
    ApplyCalibrationSettings(sheet);
    if (sheet.exactPositions != o.exactPositions) {
        // The calibration and the world data follow at the next transformation.
        o.exactPositions = sheet.exactPositions;
        modified_ = true;
    }
    if (sheet.lensFromControlPoints != o.lensFromControlPoints) {
        o.lensFromControlPoints = sheet.lensFromControlPoints;
        modified_ = true;
        if (steps.lensObstacle)
            if (const std::string obstacle = steps.lensObstacle(*this); !obstacle.empty()) prompts_.ShowMessage(obstacle);
    }
    if (hadWorldData && worldFrameCount == 0) what |= Change::WorldData;
    // 3. Recalculation on request.
    if (sheet.recalculate && dltValid && CanTransformImageData()) {
        if (steps.calibrateViews) steps.calibrateViews(*this);
        RunTransformation();
        what |= Change::WorldData;
        modified_ = true;
    }
    // 4. Display and timing.
    o.showPointTags = sheet.showPointTags;
    o.autoDigitizeInterval = static_cast<int>(sheet.autoDigitizeSeconds * 1000.0);
    // 5. Point configuration of the current view.
    for (int p = 0; p < pointCount; ++p) {
        const auto i = static_cast<std::size_t>(p);
        if (i < sheet.missingFlags.size()) view.missingFlags[i] = sheet.missingFlags[i];
        if (i < sheet.staticFlags.size()) view.staticFlags[i] = sheet.staticFlags[i];
    }
    // 6. Conditioning of the world data. The Butterworth filter cannot pass half the frame rate
    // (a cut-off chosen from the data never does).
    if (sheet.filtering == kButterworthFiltering && sheet.cutOffMethod == kGivenCutOff &&
        !ButterworthTakesCutOff(sheet.cutOffFrequency, framePeriod)) {
        const double halfRate = HasUsableFramePeriod() ? 0.5 / framePeriod : 0.0;
        char text[200];
        std::snprintf(text, sizeof text,
                      "The cut-off frequency of the Butterworth filter must lie above 0 Hz and below half the frame rate "
                      "(%.3g Hz). The filtering was not changed.",
                      halfRate);
        prompts_.ShowMessage(text);
    } else if (sheet.cutOffFrequency != o.cutOffFrequency || sheet.interpolation != o.interpolation ||
        sheet.filtering != o.filtering || sheet.splineOrder != o.splineOrder || sheet.smoothError != o.smoothError ||
        sheet.cutOffMethod != o.cutOffMethod) {
        o.cutOffFrequency = sheet.cutOffFrequency;
        o.cutOffMethod = sheet.cutOffMethod;
        o.interpolation = sheet.interpolation;
        o.filtering = sheet.filtering;
        o.splineOrder = sheet.splineOrder;
        o.smoothError = sheet.smoothError;
        if (steps.refreshWorldData) steps.refreshWorldData(*this);
        what |= Change::WorldData;
        modified_ = true;
    }
    if (sheet.digitizingError != o.digitizingError && sheet.digitizingError >= 0 && sheet.digitizingError <= kMaxDigitizingError) {
        o.digitizingError = sheet.digitizingError;
        what |= Change::WorldData;  // the bands around the curves
        modified_ = true;
    }
    if ((sheet.recomputeAfterChange != 0) != (o.recomputeAfterChange != 0)) {
        o.recomputeAfterChange = sheet.recomputeAfterChange != 0 ? 1 : 0;
        modified_ = true;
        // Turned on, it starts from the image data as they are.
        if (o.recomputeAfterChange != 0 && steps.updateWorldData && steps.updateWorldData(*this)) what |= Change::WorldData;
    }
    // 7. Tracking.
    o.thresholdMovement = sheet.thresholdMovement;
    if (sheet.templateMethod != o.templateMethod) {
        o.templateMethod = sheet.templateMethod;
        for (CameraView& each : views) each.videoSource->SetTemplateMethod(o.templateMethod);
    }
    // 8. Frame step.
    if (sheet.frameStep != o.frameStep) SetFrameStep(sheet.frameStep);
    // 9.
    optionsStartPage = 0;
    Announce(what, kAllViews);
}

void CKadivoDoc::OnLockViews() {
    options.lockViews = options.lockViews ? 0 : 1;
    if (!options.lockViews) return;
    const int frame = current().currentFrame;
    for (CameraView& view : views) {
        view.currentFrame = frame;
        view.frameStore.SetCurrentFrame(frame, digitizeMode);
    }
    Announce(Change::Frame, kAllViews);
}

void CKadivoDoc::OnSyncImage() {
    const EditScope edit(*this, "Sync Image");
    current().syncFrame = current().currentFrame;
    modified_ = true;
    Announce(Change::SyncFrame);
}

bool CKadivoDoc::SetSyncFractions(const std::vector<double>& fractions) {
    if (fractions.size() != views.size()) return false;
    for (double f : fractions)
        if (!std::isfinite(f) || std::abs(f) > kMaxSyncFraction) return false;
    bool differs = false;
    for (std::size_t v = 1; v < views.size(); ++v) differs |= views[v].syncFraction != fractions[v];
    if (!differs) return true;
    const EditScope edit(*this, "Synchronisation");
    for (std::size_t v = 1; v < views.size(); ++v) views[v].syncFraction = fractions[v];
    modified_ = true;
    Announce(Change::SyncFrame);
    return true;
}

bool CKadivoDoc::CanVideoOptions() const { return current().videoSource->IsOpen(); }

void CKadivoDoc::OnVideoOptions() {
    CameraView& view = current();
    if (!view.videoSource->IsOpen()) return;
    int imageType = view.videoSource->ImageType();
    int firstField = view.videoSource->FirstField();
    if (!prompts_.EditVideoImageOptions(imageType, firstField)) return;
    view.videoSource->SetImageOptions(imageType, firstField);
    options.firstField = view.videoSource->FirstField();
    const int last = LastFrame(currentView);
    if (view.currentFrame > last - options.frameStep) {
        view.currentFrame = RoundToStep(last);
        view.frameStore.SetCurrentFrame(view.currentFrame, digitizeMode);
    }
    modified_ = true;
    Announce(Resizing(Change::VideoOptions));
}

void CKadivoDoc::OnSetVideoFrameRate() {
    const std::optional<double> rate = prompts_.EditFrameRate(1.0 / framePeriod);
    // A rate of zero or below has no period; the dialog's value is then ignored.
    if (!rate || !(*rate > 0.0)) return;
    framePeriod = static_cast<float>(1.0 / *rate);
    modified_ = true;
    Announce(Change::FrameRate, kAllViews);
}

bool CKadivoDoc::CanTransformImageData() const {
    if (importedDlt) return true;
    return std::all_of(views.begin(), views.end(), [](const CameraView& v) { return v.frameStore.IsCalibrated(); });
}

void CKadivoDoc::SetImportedDlt(std::optional<DltParameterTable> coefficients) {
    importedDlt = std::move(coefficients);
    dlt = importedDlt ? *importedDlt : DltParameterTable{};
    dltValid = importedDlt.has_value();
    if (!importedDlt && steps.calibrateOnOpen) steps.calibrateOnOpen(*this);
    modified_ = true;
    Announce(Change::Options, kAllViews);
}

void CKadivoDoc::OnLensCalibration() {
    if (views.empty()) return;
    const CameraView& view = current();
    const std::optional<LensModel> lens =
        prompts_.RunLensCalibration(view.videoSource->IsOpen() ? view.videoSource->FileName() : std::string(), view.frameSize);
    if (lens) SetViewLens(currentView, lens);
}

void CKadivoDoc::OnForgetLens() {
    if (!views.empty() && current().lens) SetViewLens(currentView, std::nullopt);
}

bool CKadivoDoc::SetViewLens(int view, std::optional<LensModel> lens) {
    if (view < 0 || view >= viewCount()) return false;
    CameraView& camera = views[static_cast<std::size_t>(view)];
    const FrameSize picture = camera.frameSize;
    if (lens && picture.width > 0 && (lens->width != picture.width || lens->height != picture.height)) {
        prompts_.ShowMessage("The lens belongs to pictures of " + std::to_string(lens->width) + " × " + std::to_string(lens->height) +
                             " pixels; this camera view's are " + std::to_string(picture.width) + " × " +
                             std::to_string(picture.height) + ". Nothing was changed.");
        return false;
    }
    camera.lens = std::move(lens);
    modified_ = true;
    Announce(Change::Options, view);
    return true;
}

bool CKadivoDoc::CalibrateViews() {
    if (importedDlt) {
        dlt = *importedDlt;
        dltValid = true;
        return true;
    }
    if (calibrationPoints.empty()) {
        const Answer answer = prompts_.Ask("The Calibration Profile has not been Selected.\nSelect one Now ?",
                                           Buttons::YesNoCancel);
        if (answer != Answer::Yes) return false;
        OnSequenceOptions(0);
        if (calibrationPoints.empty()) return false;
    }
    if (steps.calibrateViews) steps.calibrateViews(*this);
    return true;
}

void CKadivoDoc::RunTransformation() {
    if (!steps.transformImageData) return;
    prompts_.BeginProgress("Transformation of Image points...", current().frameStore.recordCount());
    steps.transformImageData(*this, [this] { prompts_.StepProgress(); });
    prompts_.EndProgress();
}

void CKadivoDoc::OnTransformImageData() {
    if (!CalibrateViews() || !dltValid) return;
    // Every view's calibration frame is in the calibration now.
    for (CameraView& view : views) view.frameStore.calibrationDirty = false;
    RunTransformation();
    modified_ = true;
    Announce(Change::WorldData | Change::Transformed, kAllViews);
}

void CKadivoDoc::SetModel(const ModelTable& model) {
    const EditScope edit(*this, "Model Properties");
    history_.SaveModel();
    bool namesChanged = false, parametersChanged = false;
    for (int p = 0; p < pointCount; ++p) {
        ModelPoint& point = modelPoints[static_cast<std::size_t>(p)];
        const ModelPoint& edited = model[static_cast<std::size_t>(p)];
        if (point.name != edited.name || point.segmentName != edited.segmentName) {
            point.name = edited.name;
            point.segmentName = edited.segmentName;
            namesChanged = true;
        }
        if (point.segmentParamA != edited.segmentParamA || point.segmentParamB != edited.segmentParamB) {
            point.segmentParamA = edited.segmentParamA;
            point.segmentParamB = edited.segmentParamB;
            parametersChanged = true;
        }
    }
    if (!namesChanged && !parametersChanged) return;
    modified_ = true;
    ChangeSet what = Change::Model;
    // The centre of gravity is computed from the segment parameters.
    if (parametersChanged && worldFrameCount > 0 && steps.refreshWorldData) {
        steps.refreshWorldData(*this);
        what |= Change::WorldData;
    }
    Announce(what, kAllViews);
}

}  // namespace kadivo
