#pragma once

#include <QImage>

class QWidget;

namespace kadivo {

// The picture of a shown top-level window as its last drawing left it, read from the
// window's backing store rather than drawn once more. Windows that show OpenGL are drawn
// again: their OpenGL pictures join the rest only on the way to the screen.
QImage DrawnPicture(QWidget& window);

}  // namespace kadivo
