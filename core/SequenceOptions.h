#pragma once

#include <cmath>

#include <string>

namespace kadivo {

// The options that steer digitizing, searching, capture, interpolation and filtering,
// with the defaults of a new sequence.
inline constexpr int kFrequencyFiltering = 2;
inline constexpr int kButterworthFiltering = 3;

// How the Butterworth filter's cut-off of a coordinate is found: as given, or from the
// coordinate's own data by residual analysis or by the whiteness of the residual.
inline constexpr int kGivenCutOff = 0;
inline constexpr int kResidualAnalysisCutOff = 1;
inline constexpr int kWhitenessCutOff = 2;

inline constexpr double kDefaultDigitizingError = 0.5;
inline constexpr double kMaxDigitizingError = 100.0;

// Whether the Butterworth filter takes a cut-off of `cutOff` Hz for frames `framePeriod`
// seconds apart: above 0 and below half the frame rate, a period in single precision not
// counting as a rate a little above its own.
inline bool ButterworthTakesCutOff(float cutOff, float framePeriod) {
    if (!(framePeriod > 0.0f) || !std::isfinite(framePeriod)) return false;
    return cutOff > 0.0f && cutOff < 0.5 / framePeriod * (1.0 - 1e-6);
}

struct SequenceOptions {
    static constexpr int kMaxTitleLength = 50;

    std::string sequenceTitle;
    int autoAdvance = 1;
    int frameStep = 1;
    int smartScroll = 0;
    int autoResize = 1;
    int autoDigitizeInterval = 500;  // milliseconds
    int autoCenterOnZoom = 0;
    int showPointTags = 0;
    int locateMethod = 1;    // 0 Previous Position, 1 Computer Vision, 2 None
    int templateMethod = 1;  // 0 Convolution, 1 SAVD, 2 SSC
    int thresholdMovement = 20;
    int templateWidth = 15, templateHeight = 15;
    int searchWidth = 50, searchHeight = 50;
    int captureDelay = 500;
    int captureTime = 3;
    int captureRate = 25;
    int interpolation = 0;  // 0 None, 1 Linear, 2 Cubic Spline
    // 0 No Filtering, 1 Spline, 2 Frequency, 3 Butterworth (zero lag), which the version-3
    // field keeps as Frequency at the same cut-off and the extension block as Butterworth.
    int filtering = 1;
    float cutOffFrequency = 6.0f;
    // The Butterworth filter's cut-off: kGivenCutOff (cutOffFrequency) or chosen per coordinate,
    // with cutOffFrequency for series too short to choose from.
    int cutOffMethod = kGivenCutOff;
    int splineOrder = 2;    // 0 Linear, 1 Cubic, 2 Quintic, 3 Heptic
    double smoothError = -1.0;
    int lockViews = 0;
    int firstField = 1;     // 0 Even Line Numbers, 1 Odd Line Numbers
    // Calibration and reconstruction take positions as stored, not truncated to whole
    // pixels. Off for sequences that do not say (they compute as they always have).
    int exactPositions = 0;
    // Calibration solves each view's lens from its control points (the DLT extended with
    // distortion terms): 0 off, 1 radial (k1, k2), 2 radial and tangential (p1, p2).
    int lensFromControlPoints = 0;
    // A click while digitizing moves to the centroid of the marker under it.
    int snapToMarkerCentre = 0;
    // The spread of a digitized position about the true one, in pixels (one standard
    // deviation per coordinate): with the calibration's residuals, the uncertainty of the
    // world data.
    double digitizingError = kDefaultDigitizingError;
    // A calibrated sequence's world data follow each edit of its image data.
    int recomputeAfterChange = 1;

    friend bool operator==(const SequenceOptions&, const SequenceOptions&) = default;
};

}  // namespace kadivo
