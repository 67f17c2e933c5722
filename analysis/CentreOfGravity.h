#pragma once

#include <vector>

namespace kadivo {

class CKadivoDoc;

// Gives the first segment of every model point whose name is in the segment table (case
// aside) the table's centre-of-mass ratio and mass fraction; sided segments count twice
// when the model has points of only one side tagged. A model with no point tagged Right
// or Left counts them once.
void AssignSegmentParameters(CKadivoDoc& doc);

// What each model point weighs in the centre of gravity, which is linear in the points:
// Σ weight·position over the points.
std::vector<double> CentreOfGravityWeights(const CKadivoDoc& doc);

// The centre of gravity of every frame into raw world entry `pointCount`: the sum of each
// segment's centre of mass weighted by its mass fraction. A frame with no segment of any mass,
// or with an end of such a segment missing, gets the missing point.
void ComputeCentreOfGravity(CKadivoDoc& doc);

}  // namespace kadivo
