#pragma once

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
void WriteSequenceExtensions(ByteWriter& out, const CKadivoDoc& doc);

// Reads the block when the file has one; throws FileFormatError for a chunk that is damaged.
void ReadSequenceExtensions(ByteReader& in, CKadivoDoc& doc);

}  // namespace kadivo
