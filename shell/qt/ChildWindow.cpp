#include "ChildWindow.h"

#include "DocumentSession.h"

#include <QPainter>

namespace kadivo {

ChildWindow::ChildWindow(DocumentSession& session, QWidget* parent) : QWidget(parent), session_(session) {
    session_.doc().observers().Add(*this);
}

ChildWindow::~ChildWindow() { session_.doc().observers().Remove(*this); }

void ChildWindow::ContentsEdited() { session_.doc().WindowContentsEdited(); }

void ChildWindow::Print(QPainter& painter, const QRect& page) {
    const QPixmap picture = grab();
    const QSize fitted = picture.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.drawPixmap(QRect(page.topLeft(), fitted), picture);
}

}  // namespace kadivo
