#pragma once

#include <QImage>
#include <QString>

namespace kadivo {

// "floor.bmp" in the data directory.
QString FloorTexturePath();

// The floor picture, 24-bit: the data directory's "floor.bmp", written there first from the
// program's own tiles when it is missing. A null image when neither can be had.
QImage LoadFloorTexture();

// The program's own floor: grey tiles with fine grain, seamless when repeated.
QImage DefaultFloorTexture();

}  // namespace kadivo
