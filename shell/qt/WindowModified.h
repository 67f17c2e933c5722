#pragma once

#include <QWidget>

namespace kadivo {

// Marks `window` modified or not. Qt sends a ModifiedChange on every call, and a child
// window redraws its title bar for it, so a document change that leaves the mark as it was
// (stepping a frame, say) sends nothing.
inline void MarkModified(QWidget& window, bool modified) {
    if (window.isWindowModified() != modified) window.setWindowModified(modified);
}

}  // namespace kadivo
