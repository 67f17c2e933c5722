#pragma once

#include "TextExports.h"
#include "WindowState.h"

#include <optional>
#include <string>
#include <vector>

namespace kadivo {

class CKadivoDoc;

// A curve the add-curve dialogs asked for: one sample a frame, its name and unit code.
struct CurveData {
    std::vector<float> samples;
    std::string name;
    int unit = 0;
    std::vector<float> halfWidths;  // of each sample's 95 % band, when the dialog asked for it
    std::optional<CurveSource> source;
};

// "Add Curve of Kinematic Data": for every checked point (and "CG"), kind and direction, the
// series the linear text export writes for the same choices.
std::vector<CurveData> LinearCurves(const CKadivoDoc& doc, const LinearExportOptions& options);
// "Add Curve of Angular data": for every checked joint and axis, its angle and rates.
std::vector<CurveData> AngularCurves(const CKadivoDoc& doc, const AngularExportOptions& options);

// Each curve of the graphs that knows its source made again from the document's world data
// as they are now (its band too, when it has one), its value range with it. True when a
// curve changed.
bool RemakeCurves(const CKadivoDoc& doc, GraphWindowState& graphs);

}  // namespace kadivo
