#pragma once

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QRadioButton;

namespace kadivo {

// "Stream Selection": "Stream 1".."Stream n", the first preselected.
class StreamSelectionDialog : public QDialog {
    Q_OBJECT
public:
    StreamSelectionDialog(int count, QWidget* parent);
    int Stream() const;

private:
    QComboBox* streams_;
};

// "Video Image Options": the image type and which field comes first.
class VideoImageOptionsDialog : public QDialog {
    Q_OBJECT
public:
    VideoImageOptionsDialog(int imageType, int firstField, QWidget* parent);
    int ImageType() const;
    int FirstField() const;

private:
    QComboBox* type_;
    QRadioButton* even_;
    QRadioButton* odd_;
};

// "Edit Video Frame Rate": frames per second.
class FrameRateDialog : public QDialog {
    Q_OBJECT
public:
    FrameRateDialog(double rate, QWidget* parent);
    double Rate() const;

private:
    QDoubleSpinBox* rate_;
};

}  // namespace kadivo
