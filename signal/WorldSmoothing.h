#pragma once

namespace kadivo {

class CKadivoDoc;

// Fills the smoothed world data from the raw world data, series by series (every axis of
// every point and of the centre of gravity) in single precision, by the filtering option:
// a copy, the GCV smoothing spline, or the low-pass filter at the video's rate.
void SmoothWorldData(CKadivoDoc& doc);

// The largest and smallest smoothed coordinates of the model points over all frames.
void ComputeWorldExtent(CKadivoDoc& doc);

}  // namespace kadivo
