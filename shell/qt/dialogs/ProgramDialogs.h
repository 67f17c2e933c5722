#pragma once

#include "ProgramPreferences.h"

#include <QDialog>
#include <QLabel>

class QCheckBox;
class QLineEdit;
class QProgressBar;
class QRadioButton;
class QSpinBox;
class QTextBrowser;

namespace kadivo {

class TipOfTheDay;

// "Kadivo Preferences": what the program does when it starts, and where and with how much
// space the capture window records.
class PreferencesDialog : public QDialog {
    Q_OBJECT
public:
    PreferencesDialog(const ProgramPreferences& preferences, QWidget* parent);
    ProgramPreferences Preferences() const;

    QRadioButton *newSequence, *lastSaved, *doNothing;
    QLineEdit* captureFolder;
    QSpinBox* captureMegabytes;
};

// "Tip of the Day", with "Next Tip" and "Show tips at startup".
class TipDialog : public QDialog {
    Q_OBJECT
public:
    TipDialog(TipOfTheDay& tips, QWidget* parent);
    // False when the file gave no tip; `error` then holds the message to show.
    bool ShowNextTip(std::string& error);
    void done(int result) override;

    QLabel* tip;
    QCheckBox* showAtStartup;

private:
    TipOfTheDay& tips_;
};

// "About Kadivo".
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent);
};

// The program's manual, a Markdown page a chapter.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent);
    // Shows the contents page.
    void ShowContents();
    QTextBrowser* Browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

// The progress box: a modeless window with a bar and the percentage, repainting the
// program at every change of position.
class ProgressBox : public QDialog {
    Q_OBJECT
public:
    explicit ProgressBox(QWidget* parent, const QString& caption = "Wait, please...");
    // What is being done, above the bar.
    void SetMessage(const QString& text) { message_->setText(text); }
    QString Message() const { return message_->text(); }
    void SetRange(int lower, int upper);
    void SetPosition(int position);
    void OffsetPosition(int delta) { SetPosition(position_ + delta); }
    void StepIt() { SetPosition(position_ + step_); }
    void SetStep(int step) { step_ = step; }
    int Position() const { return position_; }
    QString Text() const { return percent_->text(); }

private:
    QLabel* message_;
    QProgressBar* bar_;
    QLabel* percent_;
    int lower_ = 0, upper_ = 100, position_ = 0, step_ = 10;
};

// The splash screen: the program's picture with "Version %s", closed by its owner.
class SplashScreen : public QWidget {
    Q_OBJECT
public:
    explicit SplashScreen(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The version shown by the splash and the About box.
inline constexpr const char* kVersion = "0.98b";

}  // namespace kadivo
