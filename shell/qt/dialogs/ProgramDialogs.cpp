#include "ProgramDialogs.h"

#include "DialogParts.h"

#include "Icons.h"
#include "ProgressRules.h"
#include "TipOfTheDay.h"

#include <QApplication>
#include <cmath>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace kadivo {

PreferencesDialog::PreferencesDialog(const ProgramPreferences& preferences, QWidget* parent)
    : QDialog(parent), newSequence(new QRadioButton("New Sequence")), lastSaved(new QRadioButton("Last Saved Sequence")),
      doNothing(new QRadioButton("Do Nothing")), captureFolder(new QLineEdit), captureMegabytes(new QSpinBox) {
    setWindowTitle("Kadivo Preferences");
    const StartupOption option = preferences.startup;
    (option == StartupOption::NewSequence ? newSequence : option == StartupOption::LastSavedSequence ? lastSaved : doNothing)
        ->setChecked(true);
    auto* group = new QGroupBox("At start-up");
    auto* groupLayout = new QVBoxLayout(group);
    for (QRadioButton* button : {newSequence, lastSaved, doNothing}) groupLayout->addWidget(button);

    auto* capture = new QGroupBox("Temporary capture file");
    captureFolder->setText(QString::fromStdString(preferences.capture.folder));
    captureFolder->setMinimumWidth(260);
    auto* browse = new QPushButton("Browse...");
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, "Folder of the temporary capture file", captureFolder->text());
        if (!folder.isEmpty()) captureFolder->setText(folder);
    });
    captureMegabytes->setRange(CaptureFileSettings::kMinMegabytes, CaptureFileSettings::kMaxMegabytes);
    captureMegabytes->setSuffix(" MB");
    captureMegabytes->setValue(preferences.capture.megabytes);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(captureFolder, 1);
    folderRow->addWidget(browse);
    auto* form = new QFormLayout(capture);
    form->addRow("Folder:", folderRow);
    form->addRow("Space allocated before each capture:", captureMegabytes);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(capture);
    layout->addWidget(OkCancelButtons(this));
}

ProgramPreferences PreferencesDialog::Preferences() const {
    ProgramPreferences preferences;
    preferences.startup = newSequence->isChecked() ? StartupOption::NewSequence
                          : lastSaved->isChecked() ? StartupOption::LastSavedSequence
                                                   : StartupOption::DoNothing;
    preferences.capture.folder = captureFolder->text().trimmed().toStdString();
    preferences.capture.megabytes = captureMegabytes->value();
    return preferences;
}

TipDialog::TipDialog(TipOfTheDay& tips, QWidget* parent)
    : QDialog(parent), tip(new QLabel(this)), showAtStartup(new QCheckBox("Show tips at startup")), tips_(tips) {
    setWindowTitle("Tip of the Day");
    tip->setWordWrap(true);
    tip->setMinimumSize(360, 110);
    tip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    tip->setMargin(12);
    tip->setStyleSheet("QLabel { background: #fffbe6; border: 1px solid #e0d7a8; }");
    showAtStartup->setChecked(tips.ShowAtStartup());
    auto* heading = new QLabel("<b>Did you know...</b>");
    auto* next = new QPushButton("Next Tip");
    auto* close = new QPushButton("Close");
    close->setDefault(true);
    connect(next, &QPushButton::clicked, this, [this] {
        std::string error;
        if (!ShowNextTip(error)) tip->setText(QString::fromStdString(error));
    });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(showAtStartup);
    buttons->addStretch();
    buttons->addWidget(next);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(tip, 1);
    layout->addLayout(buttons);
}

bool TipDialog::ShowNextTip(std::string& error) {
    const std::optional<std::string> text = tips_.NextTip(error);
    if (!text) return false;
    tip->setText(QString::fromStdString(*text));
    return true;
}

void TipDialog::done(int result) {
    tips_.SetShowAtStartup(showAtStartup->isChecked());
    QDialog::done(result);
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About Kadivo");
    auto* icon = new QLabel;
    icon->setPixmap(ProgramIcon().pixmap(64, 64));
    auto* text = new QLabel(QString("<h3>Kadivo</h3><p>Version %1</p>"
                                    "<p>Motion analysis from video: digitizing, calibration, "
                                    "reconstruction, kinematics, graphs and animation.</p>")
                                .arg(kVersion));
    text->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this)) {
    setWindowTitle("Kadivo Help");
    setWindowFlag(Qt::WindowMinMaxButtonsHint);
    browser_->setSearchPaths({":/manual"});
    browser_->setOpenExternalLinks(true);
    auto* back = new QPushButton("Back");
    auto* contents = new QPushButton("Contents");
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(contents, &QPushButton::clicked, this, &HelpWindow::ShowContents);
    back->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(contents);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);
    resize(760, 620);
}

void HelpWindow::ShowContents() { browser_->setSource(QUrl("qrc:/manual/index.md"), QTextDocument::MarkdownResource); }

ProgressBox::ProgressBox(QWidget* parent, const QString& caption)
    : QDialog(parent), message_(new QLabel(this)), bar_(new QProgressBar(this)), percent_(new QLabel("0%", this)) {
    setWindowTitle(caption);
    setModal(false);
    bar_->setTextVisible(false);
    bar_->setRange(lower_, upper_);
    bar_->setMinimumWidth(240);
    percent_->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message_);
    layout->addWidget(bar_);
    layout->addWidget(percent_);
    setMinimumWidth(280);
}

void ProgressBox::SetRange(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
    bar_->setRange(lower, upper);
}

void ProgressBox::SetPosition(int position) {
    // Keeps the program painting while the work goes on.
    QApplication::processEvents();
    position_ = position;
    bar_->setValue(position);
    const QString text = QString::fromStdString(ProgressPercentText(position, lower_, upper_));
    if (text != percent_->text()) percent_->setText(text);
}

SplashScreen::SplashScreen(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setFixedSize(460, 280);
}

void SplashScreen::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0.0, QColor(22, 44, 74));
    sky.setColorAt(1.0, QColor(8, 16, 30));
    painter.fillRect(rect(), sky);
    // A runner's trace: the markers of one stride, fading from past to present.
    for (int k = 0; k < 9; ++k) {
        const double t = k / 8.0;
        QColor colour(90, 170, 255);
        colour.setAlphaF(static_cast<float>(0.15 + 0.85 * t));
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        const double x = 60 + 40 * k;
        const double y = 170 - 38 * std::sin(3.14159 * t);
        painter.drawEllipse(QPointF(x, y), 5 + 2 * t, 5 + 2 * t);
    }
    painter.setPen(QColor(240, 244, 250));
    QFont title("DejaVu Sans", 34, QFont::Bold);
    painter.setFont(title);
    painter.drawText(QRect(0, 28, width(), 60), Qt::AlignHCenter, "Kadivo");
    painter.setFont(QFont("DejaVu Sans", 11));
    painter.setPen(QColor(170, 190, 215));
    painter.drawText(QRect(0, 86, width(), 24), Qt::AlignHCenter, "Motion analysis from video");
    // "Version %s" in white, height 12, normal weight, on the picture.
    QFont version("DejaVu Sans");
    version.setPixelSize(12);
    painter.setFont(version);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, height() - 32, width() - 16, 20), Qt::AlignRight, QString("Version %1").arg(kVersion));
}

}  // namespace kadivo
