#include "CKadivoView.h"

#include "DocumentSession.h"
#include "FrameCanvas.h"
#include "FrameFilters.h"
#include "ImageAdjustWindow.h"
#include "QtSettingsStore.h"
#include "RecentVideoFiles.h"
#include "VideoLinks.h"
#include "VideoSource.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace kadivo {

namespace {

using C = CommandId;


// What a change means for the picture: fetch the frame again, or only draw anew.
constexpr ChangeSet kRefetch = Change::Frame | Change::Video | Change::Zoom | Change::Mode | Change::VideoOptions |
                               Change::CameraViews | Change::SequenceOpened | Change::Redraw | Change::PointsRemoved;

}  // namespace

CKadivoView::CKadivoView(DocumentSession& session, const DigitizingWindowState& state)
    : ChildWindow(session), saved_(state), canvas_(new FrameCanvas(session.doc(), this)) {
    setObjectName("digitizingWindow");
    const DigitizingWindowValues values = DigitizingWindowValues::From(state);
    canvas_->SetSneakZoom(values.sneakZoomPercentage);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(canvas_);
    connect(canvas_, &FrameCanvas::readoutChanged, this, &ChildWindow::readoutChanged);
    connect(canvas_, &FrameCanvas::searched, this, [this](const SearchImages& images) {
        if (status_) status_->Show(images);
    });
    connect(canvas_, &FrameCanvas::rangeDefined, this, [this](const FrameRect& range) {
        if (VideoSource* source = canvas_->Source()) {
            source->Enhancement().DefineRange(range.left, range.bottom, range.right, range.top);
            canvas_->Refresh(false);
        }
    });
    canvas_->SetCamera(values.cameraIndex);
    // The window's camera view is the sequence's current one.
    Doc().SetCurrentView(canvas_->Camera());
    const FrameRect& range = values.rangeOfInterest;
    if (VideoSource* source = canvas_->Source(); source && range.right > range.left && range.top > range.bottom)
        source->Enhancement().DefineRange(range.left, range.bottom, range.right, range.top);
    resize(canvas_->FrameDisplaySize().boundedTo(QSize(1000, 700)).expandedTo(QSize(320, 240)) + QSize(4, 4));
}

CKadivoView::~CKadivoView() {
    if (adjust_) adjust_->close();
    if (status_) status_->close();
}

CKadivoDoc& CKadivoView::Doc() const { return session().doc(); }

int CKadivoView::Camera() const { return canvas_->Camera(); }

bool CKadivoView::HasVideo() const { return Camera() < Doc().viewCount() && Doc().HasVideo(Camera()); }

std::optional<WindowState> CKadivoView::State() const {
    DigitizingWindowValues values;
    values.sneakZoomPercentage = canvas_->SneakZoom();
    values.cameraIndex = Camera();
    if (VideoSource* source = canvas_->Source()) {
        const RangeOfInterest& range = source->Enhancement().Range();
        values.rangeOfInterest = {range.left, range.top, range.right, range.bottom};
    }
    return values.WriteInto(saved_);
}

void CKadivoView::OnDocumentChanged(const DocumentChange& change) {
    if (change.what.Has(Change::CameraViews) && Camera() >= Doc().viewCount()) canvas_->SetCamera(0);
    if (change.view != kAllViews && change.view != Camera()) return;
    canvas_->Refresh(change.what.HasAny(kRefetch));
    if (change.what.Has(Change::FitWindow)) ResizeToImage();
}

void CKadivoView::Activated() {
    if (Doc().currentView != Camera() && Camera() < Doc().viewCount()) Doc().SetCurrentView(Camera());
    emit readoutChanged(kNoPositionReadout);
}

void CKadivoView::AttachCommands(const std::function<QAction*(CommandId)>& action) {
    // The image toolbar: 16×16 buttons inside the window.
    imageToolbar_ = new QToolBar("Image", this);
    imageToolbar_->setObjectName("imageToolbar");
    imageToolbar_->setIconSize(QSize(16, 16));
    for (CommandId id : kImageToolbar) {
        if (id == kSeparator) imageToolbar_->addSeparator();
        else imageToolbar_->addAction(action(id));
    }
    static_cast<QVBoxLayout*>(layout())->insertWidget(0, imageToolbar_);
}

void CKadivoView::ShowImageToolbar(bool visible) {
    if (imageToolbar_) imageToolbar_->setVisible(visible);
}

bool CKadivoView::ShowCameraView(int view) {
    if (view < 0 || view >= Doc().viewCount()) return true;
    if (view != Camera()) {
        SetStatusDisplay(false);
        canvas_->SetCamera(view);
        Doc().SetCurrentView(view);
        SetStatusDisplay(static_cast<bool>(status_));
        canvas_->Tracking().LocateNext();
        if (Doc().options.autoResize) ResizeToImage();
    }
    return true;
}

void CKadivoView::ResizeToImage() {
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!frame || frame->isMaximized()) return;
    // The window around the picture, without the scroll bars: they go once the picture fits.
    const int border = 2 * canvas_->frameWidth();
    const QSize extra = frame->size() - canvas_->size() + QSize(border, border);
    QSize size = canvas_->FrameDisplaySize() + extra;
    // Never beyond the main window's area: smaller where the area is, moved in where it ends.
    if (QMdiArea* area = frame->mdiArea()) {
        const QSize room = area->viewport()->size();
        size = size.boundedTo(room);
        frame->move(std::min(frame->x(), room.width() - size.width()), std::min(frame->y(), room.height() - size.height()));
    }
    frame->resize(size);
}

// Enhancement changes the frame in the video source: with a busy cursor, then drawn again.
void CKadivoView::Enhance(const std::function<void()>& change) {
    if (!canvas_->Source()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    change();
    QApplication::restoreOverrideCursor();
    canvas_->Refresh(false);
}

void CKadivoView::ClearAllFiltering() {
    VideoSource* source = canvas_->Source();
    if (!source) return;
    if (adjust_) adjust_->ResetSliders();
    source->ClearAllFiltering();
    canvas_->Refresh(false);
}

void CKadivoView::ToggleImageAdjust() {
    if (adjust_) {
        adjust_->close();
        return;
    }
    adjust_ = new ImageAdjustWindow(this);
    adjust_->setAttribute(Qt::WA_DeleteOnClose);
    connect(adjust_, &ImageAdjustWindow::adjusted, this, [this](int code, int value) {
        Enhance([&] { canvas_->Source()->Enhancement().Adjust(canvas_->Source()->Pixels(), code, value); });
    });
    connect(adjust_, &ImageAdjustWindow::resetRequested, this, &CKadivoView::ClearAllFiltering);
    adjust_->show();
}

// The search status window shows what the view's source searches.
void CKadivoView::SetStatusDisplay(bool on) {
    if (VideoSource* source = canvas_->Source()) source->SetStatusDisplay(on);
}

void CKadivoView::ToggleSearchStatus() {
    if (status_) {
        status_->close();
        return;
    }
    status_ = new SearchStatusWindow(this);
    status_->setAttribute(Qt::WA_DeleteOnClose);
    connect(status_, &SearchStatusWindow::closed, this, [this] { SetStatusDisplay(false); });
    SetStatusDisplay(true);
    status_->show();
    // The search of the point the cursor waits on, straight away.
    canvas_->Tracking().LocateNext();
}

// "Add Camera View": a new view shown in this window, then its video.
void CKadivoView::AddView() {
    const int view = Doc().AddCameraView();
    if (view < 0) return;
    canvas_->SetCamera(view);
    Doc().SetCurrentView(view);
    const std::optional<std::string> chosen =
        session().prompts().ChooseOpenFile(BesideSequence(Doc().pathName(), "*.avi"), "avi", kVideoFileFilter);
    if (!chosen) return;
    Doc().OpenVideoFile(*chosen, false);
    QtSettingsStore settings;
    RememberRecentVideoFile(settings, *chosen);
}

bool CKadivoView::HandleCommand(CommandId id) {
    CKadivoDoc& doc = Doc();
    if (const int filter = FilterIndexOf(id); filter >= 0) {
        Enhance([&] { canvas_->Source()->Enhancement().Filter(canvas_->Source()->Pixels(), filter); });
        return true;
    }
    if (const int percentage = SneakZoomOf(id)) {
        canvas_->SetSneakZoom(percentage);
        return true;
    }
    switch (id) {
        case C::Calibration: doc.OnCalibrationCommand(); return true;
        case C::Movement: doc.OnMovementCommand(); return true;
        case C::EraseLastPoint: doc.RemoveLastPoint(); return true;
        case C::Missing: doc.MarkPointMissingInFrame(); return true;
        case C::FreezeZoom: doc.FreezeZoomAndScroll(canvas_->Scroll()); return true;
        case C::EditPoint: canvas_->RequestEdit(); return true;
        case C::ResizeWindowToImage: ResizeToImage(); return true;
        case C::AddView: AddView(); return true;
        case C::ClearAllFiltering: ClearAllFiltering(); return true;
        case C::RangeDefine: canvas_->RequestRange(); return true;
        case C::AutoScroll: canvas_->SetAutoScroll(!canvas_->AutoScroll()); return true;
        case C::UndistortedFrame: canvas_->SetUndistorted(!canvas_->Undistorted()); return true;
        case C::RangeClear:
            if (VideoSource* source = canvas_->Source()) {
                source->Enhancement().ClearRange(source->FrameSize().width, source->FrameSize().height);
                canvas_->Refresh(false);
            }
            return true;
        case C::ImageAdjust: ToggleImageAdjust(); return true;
        case C::Go: canvas_->Tracking().Go(); return true;
        case C::StopDigitizing: canvas_->Tracking().StopRunning(); return true;
        case C::SinglePoint: canvas_->Tracking().SinglePoint(); return true;
        case C::ShowStatusWindow: ToggleSearchStatus(); return true;
        default: return false;
    }
}

std::optional<CommandStatus> CKadivoView::CommandStatusFor(CommandId id) const {
    const CKadivoDoc& doc = Doc();
    const bool video = HasVideo();
    if (FilterIndexOf(id) >= 0) return CommandStatus{video, false};
    if (const int percentage = SneakZoomOf(id)) return CommandStatus{true, canvas_->SneakZoom() == percentage};
    switch (id) {
        case C::Calibration: return CommandStatus{true, doc.digitizeMode == kCalibration};
        case C::Movement: return CommandStatus{true, doc.digitizeMode == kMovement};
        case C::EraseLastPoint: return CommandStatus{doc.current().frameStore.NextIndex(doc.digitizeMode) > 0, false};
        case C::Missing: return CommandStatus{!doc.current().frameStore.IsComplete(doc.digitizeMode), false};
        case C::FreezeZoom:
        case C::ClearAllFiltering:
        case C::RangeDefine:
        case C::RangeClear:
            return CommandStatus{video, id == C::RangeDefine && canvas_->RangeRequested()};
        case C::EditPoint: return CommandStatus{doc.current().frameStore.NextIndex(doc.digitizeMode) > 0, false};
        case C::ResizeWindowToImage: return CommandStatus{true, false};
        case C::AutoScroll: return CommandStatus{video, canvas_->AutoScroll()};
        case C::UndistortedFrame: return CommandStatus{video && doc.current().lens.has_value(), canvas_->Undistorted()};
        case C::AddView: return CommandStatus{doc.viewCount() < kMaxCameraViews, false};
        case C::ImageAdjust: return CommandStatus{video, static_cast<bool>(adjust_)};
        case C::AutoFilter: return CommandStatus{false, false};
        case C::Go:
        case C::SinglePoint: return CommandStatus{video && !canvas_->Tracking().Running(), false};
        case C::StopDigitizing: return CommandStatus{canvas_->Tracking().Running(), false};
        case C::ShowStatusWindow: return CommandStatus{video, static_cast<bool>(status_)};
        default: return std::nullopt;
    }
}

}  // namespace kadivo
