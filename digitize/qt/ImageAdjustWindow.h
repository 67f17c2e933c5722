#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QSlider;

namespace kadivo {

// "Image Adjust": eight sliders (0..200, neutral 100) over the frame of a digitizing window,
// and "Reset Image". Its place on the screen is kept in the settings ("ImageTool" X and Y).
class ImageAdjustWindow : public QWidget {
    Q_OBJECT
public:
    // The adjustment codes of the sliders in their layout order: Brightness, Contrast,
    // Highlight, Midtone above; Shadow, Gamma, Hue, Saturation below.
    static constexpr std::array<int, 8> kCodes{0, 1, 4, 6, 5, 3, 2, 7};

    explicit ImageAdjustWindow(QWidget* owner);
    // All sliders back to 100, without telling anyone.
    void ResetSliders();
    QSlider* Slider(int code) const;

signals:
    void adjusted(int code, int value);
    void resetRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::array<QSlider*, 8> sliders_{};
    std::array<QLabel*, 8> values_{};
};

}  // namespace kadivo
