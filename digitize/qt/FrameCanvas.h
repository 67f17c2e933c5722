#pragma once

#include "AutomaticDigitizing.h"
#include "DigitizeGesture.h"
#include "ScreenZoom.h"
#include "UndistortedFrame.h"
#include "ViewScene.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QTimer>

#include <optional>

namespace kadivo {

class CKadivoDoc;
class VideoSource;

// The picture of a digitizing window: one camera view's current frame at the view's zoom
// and scroll, with the points, segments, tags, epipolar lines and the sync-frame border over
// it; the left-button gestures digitize, edit, pan and define the range of interest. Each
// point digitized sends the cursor to the next one; "Go" digitizes on a timer.
class FrameCanvas : public QAbstractScrollArea, private TrackingHost {
    Q_OBJECT
public:
    static constexpr int kHoldMilliseconds = 200;

    FrameCanvas(CKadivoDoc& doc, QWidget* parent);

    void SetCamera(int view);
    int Camera() const { return camera_; }
    // Fetches the camera view's current frame when `refetch` (through the view's enhancement)
    // and draws again.
    void Refresh(bool refetch);
    ViewGeometry Geometry() const;
    // The scroll offsets in frame pixels from the top-left corner.
    ScrollPos Scroll() const override;
    void SetScroll(ScrollPos scroll);
    // The size of the zoomed frame in window pixels.
    QSize FrameDisplaySize() const;
    int SneakZoom() const { return sneakZoom_; }
    void SetSneakZoom(int percentage) { sneakZoom_ = percentage; }
    // "Range Of Interest" → "Define": the next drag defines it, under the range cursor.
    void RequestRange();
    bool RangeRequested() const { return rangeRequested_; }
    // "Auto Scroll": the view scrolls to keep the located next point in sight.
    bool AutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool on) { autoScroll_ = on; }
    // "Undistorted Frame": the frame and its points as an ideal camera behind the view's lens
    // would show them; without a lens the frame shows as it is.
    bool Undistorted() const { return undistorted_; }
    void SetUndistorted(bool on);
    // "Edit Point": the next press edits the point near it, as a Shift-press does.
    void RequestEdit() { editRequested_ = true; }
    bool ShowTags() const;
    // The frame's video source, when the view reads a video file.
    VideoSource* Source() const;
    const QImage& DisplayedFrame() const { return display_; }
    AutomaticDigitizing& Tracking() { return tracking_; }
    const AutomaticDigitizing& Tracking() const { return tracking_; }
    // The timer of automatic digitizing.
    const QTimer& AutomaticTimer() const { return autoTimer_; }

signals:
    void readoutChanged(const QString& text);
    // The range of interest a drag defined, in frame pixels.
    void rangeDefined(const FrameRect& range);
    // A marker search ran while the view's status display is on.
    void searched(const SearchImages& images);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The range cursor while a range of interest is asked for or dragged, else the cross.
    void ShowModeCursor();
    // Moves the picture by window pixels, as a pan does.
    void ScrollBy(WindowPoint pixels);
    // Centres the view on frame position `at` when it lies outside the view or near its edge.
    void KeepInSight(Point2f at);
    QSize FrameSize() const;
    double Zoom() const;
    void UpdateScrollBars();
    // The frame as the view shows it: undistorted through the view's lens when asked.
    FramePixels ShownPixels(VideoSource& source);
    // The picture's size at a zoom of 1 or a whole enlargement, none at other zooms.
    std::optional<QSize> WholeZoomPictureSize(const FramePixels& frame) const;
    void DrawWholeZoomPicture(const FramePixels& frame, const std::vector<PaletteEntry>& palette, ScreenPixels screen,
                              bool scrolledOnly);
    // Draws into `part` the pixels from `at` on of the picture at a whole zoom.
    void DrawWholeZoomPart(const FramePixels& frame, const std::vector<PaletteEntry>& palette, ScreenPixels part, QPoint at);
    void RenderDisplay();
    // The size of the picture written straight into the window's backing store, if it was.
    std::optional<QSize> DrawPictureStraight(QPainter& painter);
    // The view's lens when the frame shows undistorted through it.
    std::optional<LensModel> ShownLens() const;
    void DrawScene(QPainter& painter);
    void DrawMagnifier(QPainter& painter);
    DigitizeGesture::Situation CurrentSituation() const;
    void Carry(const DigitizeGesture::Steps& steps);
    void Digitize(Point2f at);
    std::optional<double> LastPointResidual() const;
    void DrawCursorTarget(QPainter& painter);

    bool StartTimer(int milliseconds) override;
    void StopTimer() override { autoTimer_.stop(); }
    void RestoreView(ScrollPos scroll, int zoomCode) override;
    void Redraw() override { viewport()->update(); }
    void PlaceCursor(Point2f at) override;
    std::optional<Point2f> Pointer() const override;
    bool ShowsMessages() const override { return true; }
    void ShowSearch(const SearchImages& images) override { emit searched(images); }

    CKadivoDoc& doc_;
    int camera_ = 0;
    DigitizeGesture gesture_;
    QTimer holdTimer_;
    QTimer autoTimer_;
    AutomaticDigitizing tracking_;
    QImage display_;
    // How the kept picture stands to what the window should show: drawn, only scrolled since
    // (it may move and keep what stays in view), to be drawn afresh (straight to the screen
    // where it can, or kept for the scrolls to come), or drawn straight to the screen alone.
    enum class Picture { Current, Scrolled, Stale, ToKeep, OnScreen } picture_ = Picture::Stale;
    ScreenZoom screenZoom_;
    int sneakZoom_ = 25;
    bool rangeRequested_ = false;
    bool autoScroll_ = false;
    bool undistorted_ = false;
    FrameUndistortion undistortion_;
    bool editRequested_ = false;
    QPoint lastPress_, mouse_;
    std::optional<std::pair<int, Point2f>> editPreview_;
    std::optional<QRect> rubberBand_;
};

}  // namespace kadivo
