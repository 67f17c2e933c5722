#pragma once

#include "WindowState.h"

#include <list>

namespace kadivo {

class ByteReader;
class ByteWriter;
class CKadivoDoc;

// What a sequence file holds beyond the fields of its version: after the last of them, the
// tag "KDVX", then chunks of a four-letter tag, a 32-bit byte count and the bytes, to the end
// of the file. A reader skips the chunks it does not know. A sequence with nothing to add
// writes no block, so its file is the one older versions write.
//
// "EXPO": the "Exact positions" option, a 32-bit 1 (written only when on).
// "DLTC": imported DLT coefficients: the parameter count (8 or 11), the view count, and 11
// doubles a view.
// "LNCP": the option that solves the lenses from the control points, a 32-bit 1 (radial) or 2
// (with tangential terms).
// "LENS": a camera view's lens model, one chunk a view that has one: the 0-based view, the
// model's source (1 checkerboard, 2 control points), the picture's width and height (32 bits
// each), then fx, fy, cx, cy, k1, k2, k3, p1, p2 as doubles.
// "SNAP": clicks snap to the marker centre, a 32-bit 1 (written only when on).
// "OPTS": the options the version-3 fields have no room for, written when one of them is not
// its default: locate method, threshold movement, automatic digitizing interval (ms), capture
// delay, time and rate (32 bits each), the title (a 32-bit length and its bytes, at most 50),
// then the view count and per view the marker size, "Bright Marker" and "Use Velocity".
// "BUTW": the Butterworth filter in place of the frequency filter the version-3 field says,
// a 32-bit 1 with the given cut-off, 2 with the cut-off by residual analysis, 3 by the
// whiteness of the residual.
// "SYNF": the views' sync fractions: the view count, then a double a view (the first 0).
// "DERR": the digitizing error in pixels, a double (written when it is not 0.5).
// "RCMP": the world data are not recomputed after each change, a 32-bit 0 (written only then).
// "BAND": the 95 % bands of graph curves, one chunk a curve that has one: the 0-based window
// (in the order of the window records), graph and curve, whether the band is drawn, the
// count of half-widths (the curve's samples) and the half-widths as floats.
// "CSRC": what a graph curve was made from, one chunk a curve that knows: the 0-based window,
// graph and curve, then linear (0) or angular (1), the point or joint, the quantity (position
// or angle, velocity, acceleration), the component (X, Y, Z, distance; the axis of a joint),
// smoothed and counter-clockwise (32 bits each).
void WriteSequenceExtensions(ByteWriter& out, const CKadivoDoc& doc, const std::list<WindowState>& windows);

// Reads the block when the file has one; throws FileFormatError for a chunk that is damaged.
void ReadSequenceExtensions(ByteReader& in, CKadivoDoc& doc);

}  // namespace kadivo
