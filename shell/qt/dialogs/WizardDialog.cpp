#include "WizardDialog.h"

#include "Icons.h"
#include "WizardPages.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace kadivo {

namespace {

std::vector<WizardPage> PagesOf(WizardKind kind) {
    using P = WizardPage;
    switch (kind) {
        case WizardKind::NewSequence:
            return {P::ModelChoice, P::ModelName,   P::PointNames,  P::Segments, P::CalibrationChoice,
                    P::CalibrationName, P::Posture, P::FramePoints, P::Finished};
        case WizardKind::Model: return {P::ModelName, P::PointNames, P::Segments, P::ModelFinished};
        case WizardKind::Calibration: return {P::CalibrationName, P::Posture, P::FramePoints, P::CalibrationFinished};
    }
    return {};
}

}  // namespace

WizardDialog::WizardDialog(WizardKind kind, ModelProfileList& models, CalibrationProfileList& calibrations,
                           Prompts& prompts, QWidget* parent)
    : QDialog(parent), flow_(kind, models, calibrations), prompts_(prompts), stack_(new QStackedWidget),
      heading_(new QLabel), back_(new QPushButton("< Back")), next_(new QPushButton("Next >")),
      finish_(new QPushButton("Finish")) {
    setObjectName("wizard");
    for (WizardPage page : PagesOf(kind)) {
        WizardPageWidget* widget = nullptr;
        switch (page) {
            case WizardPage::ModelChoice: widget = new ModelChoicePage(flow_, *this); break;
            case WizardPage::ModelName: widget = new ModelNamePage(flow_); break;
            case WizardPage::PointNames: widget = new PointNamesPage(flow_); break;
            case WizardPage::Segments: widget = new SegmentsPage(flow_); break;
            case WizardPage::CalibrationChoice: widget = new CalibrationChoicePage(flow_, *this); break;
            case WizardPage::CalibrationName: widget = new CalibrationNamePage(flow_); break;
            case WizardPage::Posture: widget = new PosturePage(flow_); break;
            case WizardPage::FramePoints: widget = new FramePointsPage(flow_); break;
            default: widget = new FinishedPage(flow_, page); break;
        }
        widget->setObjectName(QString("page%1").arg(static_cast<int>(page)));
        pages_[page] = widget;
        stack_->addWidget(widget);
    }
    // A banner down the left, the page on the right, the buttons below.
    auto* banner = new QLabel;
    banner->setPixmap(ProgramIcon().pixmap(96, 96));
    banner->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    banner->setMinimumWidth(130);
    banner->setContentsMargins(0, 24, 0, 0);
    banner->setStyleSheet("background: #1f3d5c");
    QFont bold = heading_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    heading_->setFont(bold);
    heading_->setWordWrap(true);
    auto* page = new QVBoxLayout;
    page->setContentsMargins(16, 16, 16, 8);
    page->addWidget(heading_);
    page->addSpacing(8);
    page->addWidget(stack_, 1);
    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->addWidget(banner);
    body->addLayout(page, 1);
    auto* cancel = new QPushButton("Cancel");
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(16, 8, 16, 12);
    buttons->addStretch();
    for (QPushButton* button : {back_, next_, finish_, cancel}) buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    connect(back_, &QPushButton::clicked, this, &WizardDialog::GoBack);
    connect(next_, &QPushButton::clicked, this, &WizardDialog::GoNext);
    connect(finish_, &QPushButton::clicked, this, &WizardDialog::FinishWizard);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(720, 480);
    ShowCurrentPage();
}

WizardDialog::~WizardDialog() = default;

WizardPageWidget* WizardDialog::PageWidget(WizardPage page) const {
    const auto found = pages_.find(page);
    return found == pages_.end() ? nullptr : found->second;
}

WizardPageWidget* WizardDialog::CurrentPage() const { return PageWidget(flow_.page()); }

void WizardDialog::ShowCurrentPage() {
    WizardPageWidget* page = CurrentPage();
    page->Enter();
    stack_->setCurrentWidget(page);
    const QString title = WizardPageTitle(flow_.page());
    setWindowTitle(title);
    heading_->setText(title.section(" - ", 1));
    back_->setEnabled(flow_.CanBack());
    next_->setEnabled(flow_.CanNext());
    finish_->setEnabled(flow_.IsLast());
    (flow_.IsLast() ? finish_ : next_)->setDefault(true);
}

void WizardDialog::GoNext() {
    CurrentPage()->Leave();
    if (const std::optional<std::string> refused = flow_.Next()) {
        prompts_.ShowMessage(*refused, {"", false, 0});
        return;
    }
    ShowCurrentPage();
}

void WizardDialog::GoBack() {
    CurrentPage()->Leave();
    flow_.Back();
    ShowCurrentPage();
}

void WizardDialog::DefineNewModel() {
    flow_.NewModel();
    ShowCurrentPage();
}

void WizardDialog::DefineNewCalibration() {
    flow_.NewCalibration();
    ShowCurrentPage();
}

void WizardDialog::FinishWizard() {
    if (!flow_.IsLast()) return;
    if (flow_.Finish(prompts_)) accept();
}

}  // namespace kadivo
