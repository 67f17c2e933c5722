#include "DocumentSession.h"

#include "ChildWindow.h"
#include "DataDirectory.h"
#include "IncrementalTransform.h"
#include "VideoSource.h"
#include "WindowKinds.h"
#include "WindowModified.h"
#include "WorldCompletion.h"

#include <QEvent>
#include <QFileInfo>
#include <QMdiSubWindow>

namespace kadivo {

namespace {

constexpr std::int32_t kShowNormal = 1;
constexpr std::int32_t kShowMinimized = 2;
constexpr std::int32_t kShowMaximized = 3;

WindowPlacement PlacementOf(const QRect& normal, bool maximized, bool minimized) {
    WindowPlacement placement;
    placement.rectLeft = normal.left();
    placement.rectTop = normal.top();
    placement.rectRight = normal.left() + normal.width();
    placement.rectBottom = normal.top() + normal.height();
    placement.showState = maximized ? kShowMaximized : (minimized ? kShowMinimized : kShowNormal);
    return placement;
}

WindowPlacement& PlacementIn(WindowState& state) {
    return std::visit([](auto& s) -> WindowPlacement& { return s.placement; }, state);
}

}  // namespace

DocumentSession::DocumentSession(Prompts& prompts, ExportDialogs& exportDialogs, const WindowKinds& kinds,
                                 WindowPlacer& placer, const std::string& keptFramesFolder)
    : prompts_(prompts), exportDialogs_(exportDialogs), kinds_(kinds), placer_(placer),
      doc_(std::make_unique<CKadivoDoc>(prompts, MakeVideoSourceFactory(prompts, keptFramesFolder))),
      journal_(std::make_unique<DocumentJournal>(*doc_, JournalDirectory())) {
    InstallSequenceSteps(doc_->steps);
    InstallWorldDataUpdate(doc_->steps);
    doc_->SetWindowHost(*this);
    // The journal observes first, so that its problem is known when the change is shown.
    doc_->observers().Add(*this);
    journalSync_.setSingleShot(true);
    journalSync_.setInterval(300);
    connect(&journalSync_, &QTimer::timeout, this, [this] { journal_->Sync(); });
}

DocumentSession::~DocumentSession() {
    // A session ends when the user has saved or given up the sequence: its journal goes.
    journal_->Discard();
    journal_.reset();
    // The windows observe the document: they go first.
    CloseAllWindows();
    doc_->observers().Remove(*this);
}

void DocumentSession::OnDocumentChanged(const DocumentChange& change) {
    journalSync_.start();
    if (const std::string problem = journal_->TakeProblem(); !problem.empty()) emit journalProblem(QString::fromStdString(problem));
    emit changed(change);
}

bool DocumentSession::OpenWindow(const WindowState& state) {
    const WindowKind kind = KindOf(state);
    if (!kinds_.Available(kind)) {
        entries_.push_back({nullptr, nullptr, nullptr, state, {}});
        return true;
    }
    ChildWindow* child = kinds_.Create(kind, *this, &state);
    if (!child) return false;
    const WindowPlacement& placement = std::visit([](const auto& s) -> const WindowPlacement& { return s.placement; }, state);
    QMdiSubWindow* window = placer_.Place(child, &placement);
    entries_.push_back({window, window, child, std::nullopt, window->geometry()});
    Track(entries_.back());
    UpdateWindowTitles();
    emit windowsChanged();
    return true;
}

bool DocumentSession::OpenCaptureWindow() {
    if (HasCaptureWindow()) return false;
    ChildWindow* child = kinds_.Create(WindowKind::Capture, *this, nullptr);
    if (!child) return false;
    QMdiSubWindow* window = placer_.Place(child, nullptr);
    entries_.push_back({window, window, child, std::nullopt, window->geometry()});
    Track(entries_.back());
    UpdateWindowTitles();
    emit windowsChanged();
    return true;
}

bool DocumentSession::HasCaptureWindow() const {
    for (const Entry& entry : entries_)
        if (entry.window && entry.child && !entry.child->State()) return true;
    return false;
}

void DocumentSession::Track(Entry& entry) {
    entry.window->installEventFilter(this);
    connect(entry.window, &QObject::destroyed, this, [this](QObject* gone) {
        // A window in its destructor still passes events to its filters.
        gone->removeEventFilter(this);
        for (Entry& each : entries_)
            if (each.identity == gone) {
                each.window = nullptr;
                each.identity = nullptr;
            }
        Prune();
        UpdateWindowTitles();
        emit windowsChanged();
    });
}

bool DocumentSession::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Move && event->type() != QEvent::Resize) return QObject::eventFilter(watched, event);
    for (Entry& entry : entries_) {
        if (entry.window != watched) continue;
        if (!entry.window->isMaximized() && !entry.window->isMinimized()) entry.normalGeometry = entry.window->geometry();
        break;
    }
    return QObject::eventFilter(watched, event);
}

void DocumentSession::Prune() {
    std::erase_if(entries_, [](const Entry& entry) { return !entry.record && !entry.identity; });
}

void DocumentSession::CloseAllWindows() {
    std::vector<Entry> closing = std::move(entries_);
    entries_.clear();
    for (Entry& entry : closing) {
        if (!entry.window) continue;
        entry.window->removeEventFilter(this);
        disconnect(entry.window, nullptr, this, nullptr);
        delete entry.window;
    }
    emit windowsChanged();
}

std::list<WindowState> DocumentSession::WindowStates() const {
    std::list<WindowState> states;
    for (const Entry& entry : entries_) {
        if (entry.record) {
            states.push_back(*entry.record);
            continue;
        }
        if (!entry.window || !entry.child) continue;
        std::optional<WindowState> state = entry.child->State();
        if (!state) continue;
        const bool maximized = entry.window->isMaximized(), minimized = entry.window->isMinimized();
        const QRect normal = maximized || minimized ? entry.normalGeometry : entry.window->geometry();
        PlacementIn(*state) = PlacementOf(normal, maximized, minimized);
        states.push_back(std::move(*state));
    }
    return states;
}

std::vector<QMdiSubWindow*> DocumentSession::Windows() const {
    std::vector<QMdiSubWindow*> windows;
    for (const Entry& entry : entries_)
        if (entry.window && entry.child) windows.push_back(entry.window);
    return windows;
}

bool DocumentSession::Owns(const QMdiSubWindow* window) const {
    for (const Entry& entry : entries_)
        if (entry.window && entry.window == window) return true;
    return false;
}

QString DocumentSession::DisplayName() const {
    const std::string& path = doc_->pathName();
    return path.empty() ? QStringLiteral("Untitled") : QFileInfo(QString::fromStdString(path)).fileName();
}

void DocumentSession::UpdateWindowTitles() {
    const std::vector<QMdiSubWindow*> windows = Windows();
    const QString name = DisplayName() + "[*]";
    for (std::size_t i = 0; i < windows.size(); ++i) {
        windows[i]->setWindowTitle(windows.size() == 1 ? name : name + ":" + QString::number(i + 1));
        MarkModified(*windows[i], doc_->IsModified());
    }
}

}  // namespace kadivo
