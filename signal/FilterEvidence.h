#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kadivo {

class CKadivoDoc;

// What the smoothing of one coordinate of a world entry rested on, shown for its longest run
// of solved frames (the run an automatic cut-off is chosen from).
struct CoordinateEvidence {
    int axis = 0;               // 0 x, 1 y, 2 z
    int filtering = 0;          // the sequence's filtering option
    int firstFrame = 0;         // of the run
    std::vector<double> raw, filtered;
    std::optional<double> cutOffHz;            // the low-pass and Butterworth filters
    std::optional<double> smoothingParameter;  // the spline
    // The criterion against its parameter: the spline's GCV function (or estimated error)
    // against the smoothing parameter, the Butterworth choice's curve against the cut-off,
    // the amplitude spectrum against the frequency for the low-pass filter and a given
    // Butterworth cut-off. Empty without filtering.
    std::string criterion, parameter;
    std::vector<std::pair<double, double>> curve;
    bool logarithmicParameter = false;         // the smoothing parameter spans decades
    // Residual analysis: RMS residual = intercept + slope · cut-off. Whiteness: the limit.
    std::optional<std::pair<double, double>> noiseLine;
    std::optional<double> limit;
};

// The evidence of world entry `entry` (a model point, or pointCount for the centre of
// gravity), one per axis; empty where the entry was never solved or the sequence has no
// world data.
std::vector<CoordinateEvidence> FilterEvidenceOf(const CKadivoDoc& doc, int entry);

// The filter's name as the report prints it: "none", "spline", "lowpass", "butterworth".
const char* FilterName(int filtering);

// The amplitude of each frequency in `series` about its straight line, from 0 Hz to half the
// rate, with the series zero-padded to a power of two.
std::vector<std::pair<double, double>> AmplitudeSpectrum(const std::vector<double>& series, double rate);

}  // namespace kadivo
