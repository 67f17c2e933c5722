#pragma once

#include <QImage>
#include <QString>

namespace kadivo {

// "floor.bmp" in the data directory.
QString FloorTexturePath();

// The floor picture, 24-bit: the data directory's "floor.bmp", copied there first from the
// shipped one (or drawn from the program's own tiles) when it is missing.
QImage LoadFloorTexture();

// The program's own floor: grey tiles with fine grain, seamless when repeated.
QImage DefaultFloorTexture();

}  // namespace kadivo
