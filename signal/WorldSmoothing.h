#pragma once

namespace kadivo {

class CKadivoDoc;

// Fills the smoothed world data from the raw world data, series by series (every axis of
// every point and of the centre of gravity) in single precision, by the filtering option:
// a copy, the GCV smoothing spline, the low-pass filter or the zero-lag Butterworth filter
// at the video's rate (a copy where the Butterworth cut-off reaches half the rate). Frames in
// which an entry is missing stay missing, and the runs of frames between them are smoothed
// apart.
void SmoothWorldData(CKadivoDoc& doc);

// The largest and smallest smoothed coordinates of the model points over all frames,
// missing points aside.
void ComputeWorldExtent(CKadivoDoc& doc);

}  // namespace kadivo
