#pragma once

#include "ExportDialogs.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QTreeWidget;

namespace kadivo {

class PointListWidget;
class Prompts;

// The linear and angular dialogs also choose the curves of a graph: then without "Header",
// with OK labelled "Add Curve(s)" and, for angles, every rate on offer.
enum class KinematicsDialogUse { Export, AddCurves };

// "Export Linear Data".
class ExportLinearDialog : public QDialog {
    Q_OBJECT
public:
    ExportLinearDialog(const std::vector<ExportListRow>& rows, Prompts& prompts, QWidget* parent,
                       KinematicsDialogUse use = KinematicsDialogUse::Export);
    LinearExportOptions Options() const;
    void accept() override;

    PointListWidget* points;
    QCheckBox *position, *velocity, *acceleration;
    QCheckBox *x, *y, *z, *distance;
    QRadioButton *smoothed, *unsmoothed;
    QCheckBox* header;
    QCheckBox* halfWidths;  // beside each value (export) or around each curve

private:
    Prompts& prompts_;
};

// "Export Angular Data".
class ExportAngularDialog : public QDialog {
    Q_OBJECT
public:
    ExportAngularDialog(const std::vector<ExportListRow>& rows, Prompts& prompts, QWidget* parent,
                        KinematicsDialogUse use = KinematicsDialogUse::Export);
    AngularExportOptions Options() const;
    void accept() override;

    PointListWidget* joints;
    QCheckBox *angle, *angularVelocity, *angularAcceleration;
    QCheckBox *x, *y, *z, *threeD;
    QCheckBox* counterClockwise;
    QRadioButton *smoothed, *unsmoothed;
    QCheckBox* header;
    QCheckBox* halfWidths;  // beside each value (export) or around each curve

private:
    Prompts& prompts_;
};

// "Image Data Export".
class ImageDataExportDialog : public QDialog {
    Q_OBJECT
public:
    ImageDataExportDialog(const std::vector<ExportListRow>& rows, QWidget* parent);
    PointsExportOptions Options() const;

    QCheckBox* header;
    PointListWidget* points;
};

// "TRC Export": the markers, smoothed or raw positions, the units and the axes of the file.
class TrcExportDialog : public QDialog {
    Q_OBJECT
public:
    TrcExportDialog(const std::vector<ExportListRow>& rows, const TrcExportOptions& start, QWidget* parent);
    TrcExportOptions Options() const;

    PointListWidget* markers;
    QRadioButton *smoothed, *unsmoothed;
    QComboBox *units, *axes;
};

// "CSM Export Properties": the marker label of every point, an actor and a comment.
class CsmExportDialog : public QDialog {
    Q_OBJECT
public:
    CsmExportDialog(const std::vector<std::string>& pointCells, const std::vector<std::string>& mapping, QWidget* parent);
    CsmExportOptions Options() const;

    QTreeWidget* mapping;
    QLineEdit* actor;
    QPlainTextEdit* comment;
};

}  // namespace kadivo
