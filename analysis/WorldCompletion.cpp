#include "WorldCompletion.h"

#include "CKadivoDoc.h"
#include "CalibrateViews.h"
#include "CentreOfGravity.h"
#include "GapInterpolation.h"
#include "Reconstruction.h"
#include "WorldSmoothing.h"

namespace kadivo {

void CompleteWorldData(CKadivoDoc& doc) {
    InterpolateGaps(doc);
    ComputeCentreOfGravity(doc);
    SmoothWorldData(doc);
    ComputeWorldExtent(doc);
}

void InstallSequenceSteps(SequenceSteps& steps) {
    InstallCalibrationSteps(steps);
    steps.prepareNewModel = AssignSegmentParameters;
    steps.transformImageData = TransformImageData;
    steps.refreshWorldData = CompleteWorldData;
}

}  // namespace kadivo
