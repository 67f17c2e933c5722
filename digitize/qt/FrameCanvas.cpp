#include "FrameCanvas.h"

#include "BackingPixels.h"
#include "CKadivoDoc.h"
#include "FrameDisplay.h"
#include "ScreenImage.h"
#include "VideoSource.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QScrollBar>

#include <cmath>
#include <utility>

namespace kadivo {

namespace {

// A frame of this size stands for a view without video.
constexpr QSize kBlankFrame{640, 480};
constexpr int kMagnifierSide = 180;
constexpr int kCrossArm = 5;

const QColor kBackground(40, 44, 52);
const QColor kCrossColour(0, 255, 110);
const QColor kSuspectColour(255, 60, 60);
const QColor kSegmentColour(70, 190, 255);
const QColor kTargetColour(255, 230, 90);
const QColor kGuideColours[] = {QColor(255, 160, 40), QColor(255, 80, 220), QColor(120, 255, 255), QColor(255, 240, 80),
                                QColor(170, 130, 255)};

QPointF Window(const ViewGeometry& geometry, Point2f frame) {
    const WindowPoint w = geometry.ToWindow(frame);
    return {w.x, w.y};
}

Point2f FramePoint(double x, double y) { return {static_cast<float>(x), static_cast<float>(y)}; }

WindowPoint At(const QPointF& p) { return {p.x(), p.y()}; }

// The cursor while a range of interest is being defined: a cross whose centre is the
// hot spot, with the corner of a dashed rectangle below and right of it.
QCursor RangeCursor() {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    for (const auto& [colour, width] : {std::pair{QColor(Qt::black), 3}, std::pair{QColor(Qt::white), 1}}) {
        painter.setPen(QPen(colour, width));
        painter.drawLine(0, 6, 12, 6);
        painter.drawLine(6, 0, 6, 12);
        QPen dashed(colour, width, Qt::DashLine);
        painter.setPen(dashed);
        painter.drawLine(10, 10, 22, 10);
        painter.drawLine(10, 10, 10, 22);
    }
    return QCursor(pixmap, 6, 6);
}

}  // namespace

FrameCanvas::FrameCanvas(CKadivoDoc& doc, QWidget* parent)
    : QAbstractScrollArea(parent), doc_(doc), tracking_(doc, *this) {
    setObjectName("frameCanvas");
    viewport()->setMouseTracking(true);
    // paintEvent covers every pixel (the frame, and the background beside it), so Qt need not
    // clear the viewport first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    ShowModeCursor();
    holdTimer_.setSingleShot(true);
    connect(&holdTimer_, &QTimer::timeout, this, [this] { Carry(gesture_.HoldTimerFired()); });
    connect(&autoTimer_, &QTimer::timeout, this, [this] { tracking_.Tick(); });
}

void FrameCanvas::SetCamera(int view) {
    tracking_.StopRunning();
    camera_ = std::clamp(view, 0, std::max(0, doc_.viewCount() - 1));
    tracking_.SetCamera(camera_);
    Refresh(true);
}

VideoSource* FrameCanvas::Source() const {
    if (camera_ >= doc_.viewCount()) return nullptr;
    auto* source = dynamic_cast<VideoSource*>(doc_.views[static_cast<std::size_t>(camera_)].videoSource.get());
    return source && source->IsOpen() && source->HasFrame() ? source : nullptr;
}

QSize FrameCanvas::FrameSize() const {
    if (VideoSource* source = Source()) return {source->FrameSize().width, source->FrameSize().height};
    return kBlankFrame;
}

double FrameCanvas::Zoom() const {
    if (camera_ >= doc_.viewCount()) return 1.0;
    const double zoom = doc_.views[static_cast<std::size_t>(camera_)].videoSource->Zoom();
    return zoom > 0.0 ? zoom : 1.0;
}

QSize FrameCanvas::FrameDisplaySize() const {
    const QSize frame = FrameSize();
    return {static_cast<int>(std::lround(frame.width() * Zoom())), static_cast<int>(std::lround(frame.height() * Zoom()))};
}

ViewGeometry FrameCanvas::Geometry() const {
    return {static_cast<float>(Zoom()), horizontalScrollBar()->value(), verticalScrollBar()->value(),
            FrameDisplaySize().height(), ShownLens()};
}

std::optional<LensModel> FrameCanvas::ShownLens() const {
    if (!undistorted_ || camera_ >= doc_.viewCount()) return std::nullopt;
    const std::optional<LensModel>& lens = doc_.views[static_cast<std::size_t>(camera_)].lens;
    const QSize frame = FrameSize();
    if (!lens || lens->width != frame.width() || lens->height != frame.height()) return std::nullopt;
    return lens;
}

void FrameCanvas::SetUndistorted(bool on) {
    undistorted_ = on;
    picture_ = Picture::Stale;
    viewport()->update();
}

ScrollPos FrameCanvas::Scroll() const { return {horizontalScrollBar()->value(), verticalScrollBar()->value()}; }

void FrameCanvas::SetScroll(ScrollPos scroll) {
    horizontalScrollBar()->setValue(scroll.x);
    verticalScrollBar()->setValue(scroll.y);
}

bool FrameCanvas::ShowTags() const { return doc_.options.showPointTags != 0; }

void FrameCanvas::Refresh(bool refetch) {
    if (refetch && camera_ < doc_.viewCount()) {
        CameraView& view = doc_.views[static_cast<std::size_t>(camera_)];
        if (view.videoSource->IsOpen() && view.videoSource->FetchFrame(view.currentFrame, false))
            view.videoSource->PrepareDisplayImage();
    }
    UpdateScrollBars();
    picture_ = Picture::Stale;
    viewport()->update();
}

void FrameCanvas::UpdateScrollBars() {
    const QSize frame = FrameSize();
    const double zoom = Zoom();
    const int visibleWidth = static_cast<int>(viewport()->width() / zoom);
    const int visibleHeight = static_cast<int>(viewport()->height() / zoom);
    horizontalScrollBar()->setRange(0, std::max(0, frame.width() - visibleWidth));
    verticalScrollBar()->setRange(0, std::max(0, frame.height() - visibleHeight));
    horizontalScrollBar()->setPageStep(std::max(1, visibleWidth));
    verticalScrollBar()->setPageStep(std::max(1, visibleHeight));
    const int step = std::max(1, static_cast<int>(16.0 / zoom));
    horizontalScrollBar()->setSingleStep(step);
    verticalScrollBar()->setSingleStep(step);
}

void FrameCanvas::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    picture_ = Picture::Stale;
}

void FrameCanvas::scrollContentsBy(int, int) {
    // A scroll is followed by more: the kept picture moves from then on (by all the scrolls
    // since it was drawn).
    if (picture_ == Picture::Current) picture_ = Picture::Scrolled;
    else if (picture_ != Picture::Scrolled) picture_ = Picture::ToKeep;
    viewport()->update();
}

FramePixels FrameCanvas::ShownPixels(VideoSource& source) {
    FramePixels frame = source.Pixels();
    if (const std::optional<LensModel> lens = ShownLens()) {
        const std::vector<std::uint8_t>& corrected = undistortion_.Apply(*lens, frame);
        if (!corrected.empty()) frame.data = const_cast<std::uint8_t*>(corrected.data());
    }
    return frame;
}

// At the frame's own size and at whole enlargements the picture is made in the screen's
// format at the size the window shows; other zooms scale a copy of the region.
std::optional<QSize> FrameCanvas::WholeZoomPictureSize(const FramePixels& frame) const {
    const double zoom = Zoom();
    const ScrollPos scroll = Scroll();
    if (zoom == 1.0) return viewport()->size().boundedTo({frame.width - scroll.x, frame.height - scroll.y}).expandedTo({0, 0});
    if (zoom < 2.0 || zoom != std::floor(zoom) || frame.bitCount < 24) return std::nullopt;
    const int shown = static_cast<int>(zoom);
    return viewport()->size().boundedTo({(frame.width - scroll.x) * shown, (frame.height - scroll.y) * shown});
}

void FrameCanvas::DrawWholeZoomPicture(const FramePixels& frame, const std::vector<PaletteEntry>& palette,
                                       ScreenPixels screen, bool scrolledOnly) {
    const ScrollPos scroll = Scroll();
    const double zoom = Zoom();
    if (zoom == 1.0) CopyToScreen({frame.data, frame.width, frame.height, frame.bitCount, &palette}, scroll.x, scroll.y, screen);
    else screenZoom_.Draw(frame, static_cast<int>(zoom), scroll.x, scroll.y, screen, scrolledOnly);
}

void FrameCanvas::DrawWholeZoomPart(const FramePixels& frame, const std::vector<PaletteEntry>& palette, ScreenPixels part,
                                    QPoint at) {
    const ScrollPos scroll = Scroll();
    const double zoom = Zoom();
    if (zoom == 1.0)
        CopyToScreen({frame.data, frame.width, frame.height, frame.bitCount, &palette}, scroll.x + at.x(), scroll.y + at.y(), part);
    else screenZoom_.DrawPart(frame, static_cast<int>(zoom), scroll.x, scroll.y, part, at.x(), at.y());
}

void FrameCanvas::RenderDisplay() {
    const bool scrolledOnly = picture_ == Picture::Scrolled;
    picture_ = Picture::Current;
    VideoSource* source = Source();
    if (!source) {
        display_ = QImage();
        return;
    }
    const FramePixels frame = ShownPixels(*source);
    const std::vector<PaletteEntry>& palette = source->Format().palette;
    if (const std::optional<QSize> size = WholeZoomPictureSize(frame)) {
        if (size->isEmpty()) {
            display_ = QImage();
            return;
        }
        if (display_.size() != *size || display_.format() != QImage::Format_RGB32) display_ = QImage(*size, QImage::Format_RGB32);
        DrawWholeZoomPicture(frame, palette, PixelsOf(display_), scrolledOnly);
        return;
    }
    const double zoom = Zoom();
    const ScrollPos scroll = Scroll();
    const int width = static_cast<int>(std::ceil(viewport()->width() / zoom)) + 1;
    const int height = static_cast<int>(std::ceil(viewport()->height() / zoom)) + 1;
    const DisplayImage zoomed = ZoomedRegion(frame, scroll.x, scroll.y, width, height, static_cast<float>(zoom));
    CopyToScreen({zoomed.rows.data(), zoomed.width, zoomed.height, zoomed.bitCount, &palette}, 0, 0, zoomed.width,
                 zoomed.height, display_);
}

// A new picture at a whole zoom is written straight into the window's backing store, only
// where the screen shows it, which spares copying it there from the kept picture. The kept
// picture stays stale then; the magnifier and a scroll make it afresh.
std::optional<QSize> FrameCanvas::DrawPictureStraight(QPainter& painter) {
    if ((picture_ != Picture::Stale && picture_ != Picture::OnScreen) || gesture_.magnifierShown()) return std::nullopt;
    VideoSource* source = Source();
    if (!source) return std::nullopt;
    const std::optional<QSize> size = WholeZoomPictureSize(source->Pixels());
    if (!size || size->isEmpty()) return std::nullopt;
    const std::optional<BackingPart> shown = BackingPixelsUnder(painter, QRect(QPoint(0, 0), *size));
    if (!shown) return std::nullopt;
    DrawWholeZoomPart(ShownPixels(*source), source->Format().palette, shown->pixels, shown->at);
    picture_ = Picture::OnScreen;
    return size;
}

void FrameCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const std::optional<QSize> straight = DrawPictureStraight(painter);
    if (!straight && picture_ != Picture::Current) RenderDisplay();
    const QSize shown = straight ? *straight : display_.size();
    // The background only where the frame does not cover the window.
    const QRegion uncovered = QRegion(viewport()->rect()) - QRegion(QRect(QPoint(0, 0), shown));
    for (const QRect& part : uncovered) painter.fillRect(part, kBackground);
    if (straight) {
        // The picture is on the screen already.
    } else if (!display_.isNull()) {
        painter.drawImage(0, 0, display_);
    } else {
        // Without video the points are drawn on a blank frame.
        const double zoom = Zoom();
        const ScrollPos scroll = Scroll();
        const QSize size = FrameDisplaySize();
        painter.fillRect(QRectF(-scroll.x * zoom, -scroll.y * zoom, size.width(), size.height()), QColor(72, 76, 86));
    }
    DrawScene(painter);
    DrawCursorTarget(painter);
    if (gesture_.magnifierShown() && !display_.isNull()) DrawMagnifier(painter);
    if (rubberBand_) {
        painter.setPen(QPen(Qt::yellow, 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rubberBand_->normalized());
    }
}

void FrameCanvas::DrawScene(QPainter& painter) {
    if (camera_ >= doc_.viewCount()) return;
    painter.setRenderHint(QPainter::Antialiasing);
    const QSize frame = FrameSize();
    const ViewGeometry geometry = Geometry();
    const ViewScene scene = BuildViewScene(doc_, camera_, frame.width(), frame.height());
    for (const ViewScene::Guide& guide : scene.guides) {
        const QColor colour = kGuideColours[static_cast<std::size_t>(guide.sourceView) % std::size(kGuideColours)];
        painter.setPen(QPen(colour, 1.5, Qt::DashLine));
        QPolygonF path;
        for (const ImagePointD& p : guide.path) path << Window(geometry, FramePoint(p.x, p.y));
        painter.drawPolyline(path);
    }
    auto shown = [&](const ViewScene::Cross& cross) {
        return editPreview_ && editPreview_->first == cross.index ? editPreview_->second : cross.at;
    };
    painter.setPen(QPen(kSegmentColour, 1.5));
    for (const ViewScene::Segment& segment : scene.segments) painter.drawLine(Window(geometry, segment.from), Window(geometry, segment.to));
    QFont tagFont = painter.font();
    tagFont.setPixelSize(12);
    painter.setFont(tagFont);
    for (const ViewScene::Cross& cross : scene.crosses) {
        const QPointF at = Window(geometry, shown(cross));
        const QColor colour = cross.suspect ? kSuspectColour : kCrossColour;
        for (const auto& [pen, width] : {std::pair{QColor(0, 0, 0, 170), 3.0}, std::pair{colour, 1.4}}) {
            painter.setPen(QPen(pen, width));
            painter.drawLine(at + QPointF(-kCrossArm, 0), at + QPointF(kCrossArm, 0));
            painter.drawLine(at + QPointF(0, -kCrossArm), at + QPointF(0, kCrossArm));
        }
        if (ShowTags()) {
            painter.setPen(Qt::white);
            painter.drawText(at + QPointF(-10, -10), QString::number(cross.index + 1));
        }
    }
    if (VideoSource* source = Source()) {
        const RangeOfInterest& range = source->Enhancement().Range();
        if (range.left > 0 || range.bottom > 0 || range.right < frame.width() || range.top < frame.height()) {
            painter.setPen(QPen(QColor(255, 220, 0), 1, Qt::DotLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRectF(Window(geometry, FramePoint(range.left, range.top)),
                                    Window(geometry, FramePoint(range.right, range.bottom))));
        }
    }
    if (scene.syncFrame) {
        painter.setPen(QPen(Qt::red, 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(viewport()->rect().adjusted(1, 1, -2, -2));
        painter.drawText(QRect(0, 4, viewport()->width(), 16), Qt::AlignHCenter, "Sync Image");
    }
}

// The neighbourhood of the press point enlarged k times, with the point the release would
// digitize now.
void FrameCanvas::DrawMagnifier(QPainter& painter) {
    const int k = SneakZoomFactor(sneakZoom_);
    const QPoint press(static_cast<int>(gesture_.pressPosition().x), static_cast<int>(gesture_.pressPosition().y));
    const int side = kMagnifierSide;
    QRect target(press - QPoint(side / 2, side / 2), QSize(side, side));
    target.moveLeft(std::clamp(target.left(), 0, std::max(0, viewport()->width() - side)));
    target.moveTop(std::clamp(target.top(), 0, std::max(0, viewport()->height() - side)));
    const QRectF source(press.x() - side / (2.0 * k), press.y() - side / (2.0 * k), static_cast<double>(side) / k,
                        static_cast<double>(side) / k);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.fillRect(target, kBackground);
    painter.drawImage(QRectF(target), display_, source);
    const QPointF aim = QPointF(target.center()) + QPointF(mouse_ - press);
    painter.setPen(QPen(kCrossColour, 1));
    painter.drawLine(aim + QPointF(-12, 0), aim + QPointF(12, 0));
    painter.drawLine(aim + QPointF(0, -12), aim + QPointF(0, 12));
    painter.setPen(QPen(Qt::white, 2));
    painter.drawRect(target);
}

DigitizeGesture::Situation FrameCanvas::CurrentSituation() const {
    DigitizeGesture::Situation situation;
    if (camera_ >= doc_.viewCount()) return situation;
    const ViewFrameStore& store = doc_.views[static_cast<std::size_t>(camera_)].frameStore;
    situation.hasVideo = doc_.HasVideo(camera_);
    situation.rangeRequested = rangeRequested_;
    situation.frameComplete = store.IsComplete(doc_.digitizeMode);
    if (const FrameRecord* record = store.ActiveRecord(doc_.digitizeMode))
        for (int i = 0; i < record->digitizedCount && i < kModelTableSize; ++i)
            situation.points.push_back(record->imagePos[static_cast<std::size_t>(i)]);
    situation.geometry = Geometry();
    situation.sneakZoomPercentage = sneakZoom_;
    return situation;
}

void FrameCanvas::mousePressEvent(QMouseEvent* event) {
    // While automatic digitizing runs, the timer places the points.
    if (event->button() != Qt::LeftButton || tracking_.Running()) return;
    if (doc_.currentView != camera_) doc_.SetCurrentView(camera_);
    lastPress_ = mouse_ = event->position().toPoint();
    const Qt::KeyboardModifiers keys = event->modifiers();
    const bool edit = std::exchange(editRequested_, false);
    Carry(gesture_.Press(At(event->position()),
                         {keys.testFlag(Qt::ControlModifier), edit || keys.testFlag(Qt::ShiftModifier)}, CurrentSituation()));
    if (gesture_.kind() == DigitizeGesture::Kind::RangeOfInterest) rubberBand_ = QRect(lastPress_, lastPress_);
    ShowModeCursor();
}

void FrameCanvas::mouseMoveEvent(QMouseEvent* event) {
    mouse_ = event->position().toPoint();
    if (event->buttons().testFlag(Qt::LeftButton)) {
        Carry(gesture_.Move(At(event->position())));
        if (rubberBand_) rubberBand_->setBottomRight(mouse_);
        viewport()->update();
    }
    if (camera_ < doc_.viewCount() && doc_.HasVideo(camera_))
        emit readoutChanged(QString::fromStdString(PositionReadout(Geometry().ToFrame(At(event->position())), LastPointResidual())));
}

void FrameCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    mouse_ = event->position().toPoint();
    Carry(gesture_.Release(At(event->position())));
    rubberBand_.reset();
    ShowModeCursor();
    viewport()->update();
}

void FrameCanvas::Carry(const DigitizeGesture::Steps& steps) {
    if (steps.startHoldTimer) holdTimer_.start(kHoldMilliseconds);
    if (steps.stopHoldTimer) holdTimer_.stop();
    if (steps.showMagnifier || steps.hideMagnifier) viewport()->update();
    if (steps.scrollBy.x != 0.0 || steps.scrollBy.y != 0.0) ScrollBy(steps.scrollBy);
    if (steps.movePoint) {
        editPreview_ = {gesture_.editIndex(), *steps.movePoint};
        viewport()->update();
    }
    // A press and release without a move stores the release position too.
    if (steps.storePoint && gesture_.editIndex() >= 0) {
        editPreview_.reset();
        doc_.MovePoint(gesture_.editIndex(), *steps.storePoint);
    }
    if (steps.rangeOfInterest) {
        rangeRequested_ = false;
        emit rangeDefined(*steps.rangeOfInterest);
    }
    if (steps.digitize) Digitize(*steps.digitize);
}

void FrameCanvas::Digitize(Point2f at) { tracking_.DigitizeClick(at); }

void FrameCanvas::RequestRange() {
    rangeRequested_ = true;
    ShowModeCursor();
}

void FrameCanvas::ShowModeCursor() {
    static const QCursor range = RangeCursor();
    if (rangeRequested_ || rubberBand_) viewport()->setCursor(range);
    else viewport()->setCursor(Qt::CrossCursor);
}

bool FrameCanvas::StartTimer(int milliseconds) {
    autoTimer_.start(milliseconds);
    return autoTimer_.isActive();
}

void FrameCanvas::RestoreView(ScrollPos scroll, int zoomCode) {
    const CameraView& view = doc_.views[static_cast<std::size_t>(camera_)];
    if (zoomCode != view.zoomCode) doc_.SetZoom(zoomCode);
    SetScroll(scroll);
}

// The scroll bars count frame pixels.
void FrameCanvas::ScrollBy(WindowPoint pixels) {
    const double zoom = Zoom();
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + static_cast<int>(std::lround(pixels.x / zoom)));
    verticalScrollBar()->setValue(verticalScrollBar()->value() + static_cast<int>(std::lround(pixels.y / zoom)));
}

void FrameCanvas::KeepInSight(Point2f at) {
    // A point within a tenth of the view from its edge would leave sight with the next move.
    const QRect view = viewport()->rect();
    const QRect comfortable = view.adjusted(view.width() / 10, view.height() / 10, -view.width() / 10, -view.height() / 10);
    const WindowPoint window = Geometry().ToWindow(at);
    if (comfortable.contains(QPoint(static_cast<int>(window.x), static_cast<int>(window.y)))) return;
    ScrollBy({window.x - view.width() / 2.0, window.y - view.height() / 2.0});
}

// The cursor follows only inside the program's active window: another program keeps its mouse.
void FrameCanvas::PlaceCursor(Point2f at) {
    if (autoScroll_) KeepInSight(at);
    viewport()->update();
    if (!isVisible() || !isActiveWindow()) return;
    const WindowPoint window = Geometry().ToWindow(at);
    const QPoint local(static_cast<int>(std::floor(window.x)), static_cast<int>(std::floor(window.y)));
    if (viewport()->rect().contains(local)) QCursor::setPos(viewport()->mapToGlobal(local));
}

std::optional<Point2f> FrameCanvas::Pointer() const {
    const QPoint local = viewport()->mapFromGlobal(QCursor::pos());
    if (!viewport()->rect().contains(local)) return std::nullopt;
    return Geometry().ToFrame({static_cast<double>(local.x()), static_cast<double>(local.y())});
}

// A ring where the next point is expected, for when the system does not let the cursor move.
void FrameCanvas::DrawCursorTarget(QPainter& painter) {
    const std::optional<Point2f> target = tracking_.CursorTarget();
    if (!target || camera_ >= doc_.viewCount() || doc_.currentView != camera_) return;
    const WindowPoint at = Geometry().ToWindow(*target);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kTargetColour, 1.5));
    painter.drawEllipse(QPointF(at.x, at.y), 9.0, 9.0);
}

std::optional<double> FrameCanvas::LastPointResidual() const {
    if (camera_ >= doc_.viewCount() || doc_.digitizeMode != kMovement) return std::nullopt;
    const int last = doc_.views[static_cast<std::size_t>(camera_)].frameStore.NextIndex(kMovement) - 1;
    return last >= 0 ? PointResidual(doc_, camera_, last) : std::nullopt;
}

}  // namespace kadivo
