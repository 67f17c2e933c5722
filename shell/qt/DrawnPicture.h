#pragma once

class QString;
class QWidget;

namespace kadivo {

// Saves the picture of a shown top-level window as its last drawing left it, read from the
// window's backing store rather than drawn once more. Windows that show OpenGL are drawn
// again: their OpenGL pictures join the rest only on the way to the screen.
bool SaveDrawnPicture(QWidget& window, const QString& path, const char* format);

}  // namespace kadivo
