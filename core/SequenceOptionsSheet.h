#pragma once

#include "Geometry.h"
#include "ModelPoint.h"
#include "VideoSourceInterface.h"

#include <string>
#include <vector>

namespace kadivo {

// Everything the "Sequence Properties" sheet shows and edits. The document fills it,
// the user interface runs the sheet on it, and the document applies it on OK.
struct SequenceOptionsSheet {
    int startPage = 0;

    std::string sequenceTitle;
    int autoAdvance = 1;
    int frameStep = 1;
    int smartScroll = 0;
    int autoResize = 1;
    double autoDigitizeSeconds = 0.5;
    int autoCenterOnZoom = 0;
    int showPointTags = 0;
    int locateMethod = 1;
    int templateMethod = 1;
    int thresholdMovement = 20;
    int templateSize = 15;
    int searchSize = 50;
    TrackingSettings tracking;
    int snapToMarkerCentre = 0;
    int captureDelay = 500;
    int captureTime = 3;
    int captureRate = 25;
    // The installed capture drivers by name in index order, for the "Device" list; shown
    // only: the capture window always connects to the first.
    std::vector<std::string> captureDevices;
    int interpolation = 0;
    int filtering = 1;
    float cutOffFrequency = 6.0f;
    int cutOffMethod = 0;  // kGivenCutOff, kResidualAnalysisCutOff or kWhitenessCutOff
    double digitizingError = 0.5;  // pixels
    int recomputeAfterChange = 1;
    int splineOrder = 2;
    double smoothError = -1.0;

    // Point configuration of the current view.
    std::vector<std::string> pointNames;
    std::vector<int> missingFlags;
    std::vector<int> staticFlags;

    // Calibration page.
    int calibrationType = 0;
    int calibrationPointCount = 2;
    std::vector<Point3> calibrationPoints;
    int exactPositions = 0;
    int lensFromControlPoints = 0;  // 0 none, 1 radial, 2 radial and tangential
    bool recalculate = false;
};

}  // namespace kadivo
