#pragma once

#include "AnimationScene.h"

#include <QImage>
#include <QOpenGLWidget>

#include <functional>

struct GLUquadric;

namespace kadivo {

// The OpenGL picture of an animation window: a scene drawn with OpenGL 1.1 and GLU in a
// compatibility context, from the view's orientation.
class AnimationCanvas : public QOpenGLWidget {
    Q_OBJECT
public:
    struct Orientation {
        double rotX = 0, rotY = 0, rotZ = 0, distance = -10.0;
        float panX = 0, panY = 0;
    };

    explicit AnimationCanvas(QWidget* parent = nullptr);
    ~AnimationCanvas() override;

    // What to draw; nothing while there is no scene.
    void Show(std::optional<AnimationScene> scene, const Orientation& orientation);
    // False when no usable OpenGL context could be had: the window then draws nothing.
    bool Usable() const { return usable_; }

    static constexpr float kBackground[3] = {0.08f, 0.09f, 0.11f};

signals:
    // Once, when the window cannot draw.
    void failed(const QString& reason);

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;

private:
    void DrawModel(const AnimationScene& scene);
    void DrawFloor(const AnimationScene& scene);
    void Cylinder(const Point3& from, const Point3& to, double radius);
    void UploadFloor();

    std::optional<AnimationScene> scene_;
    Orientation orientation_;
    GLUquadric* quadric_ = nullptr;
    unsigned int floorTexture_ = 0;
    bool floorLoaded_ = false;
    bool usable_ = true;
};

}  // namespace kadivo
