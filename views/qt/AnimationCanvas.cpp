#include "AnimationCanvas.h"

#include "FloorTexture.h"

#include <QOpenGLContext>
#include <QSurfaceFormat>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace kadivo {

namespace {

constexpr double kPi = 3.14159265358979323846;

void Colour(const AnimationScene::Colour& colour) { glColor3f(colour.r, colour.g, colour.b); }

void Vertex(const Point3& p) { glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)); }

}  // namespace

AnimationCanvas::AnimationCanvas(QWidget* parent) : QOpenGLWidget(parent) {
    setObjectName("animationCanvas");
    // OpenGL 1.1 drawing needs a compatibility context, double-buffered, with depth.
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(24);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    setFormat(format);
}

AnimationCanvas::~AnimationCanvas() {
    if (!quadric_ && !floorTexture_) return;
    makeCurrent();
    if (quadric_) gluDeleteQuadric(quadric_);
    if (floorTexture_) glDeleteTextures(1, &floorTexture_);
    doneCurrent();
}

void AnimationCanvas::Show(std::optional<AnimationScene> scene, const Orientation& orientation) {
    scene_ = std::move(scene);
    orientation_ = orientation;
    update();
}

void AnimationCanvas::initializeGL() {
    QOpenGLContext* current = context();
    if (!current || !current->isValid() || current->isOpenGLES()) {
        usable_ = false;
        emit failed("The 3D animation cannot be drawn: no desktop OpenGL context is available.");
        return;
    }
    quadric_ = gluNewQuadric();
    if (!quadric_) {
        usable_ = false;
        emit failed("The 3D animation cannot be drawn: GLU has no quadric.");
        return;
    }
    gluQuadricNormals(quadric_, GLU_SMOOTH);
    gluQuadricOrientation(quadric_, GLU_OUTSIDE);
    // A light at the eye: a surface facing the viewer shows its own colour.
    const GLfloat ambient[] = {0.25f, 0.25f, 0.25f, 1.0f}, diffuse[] = {0.75f, 0.75f, 0.75f, 1.0f};
    const GLfloat towardsViewer[] = {0.0f, 0.0f, 1.0f, 0.0f};
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, towardsViewer);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glFrontFace(GL_CCW);
    glEnable(GL_NORMALIZE);
}

void AnimationCanvas::resizeGL(int width, int height) {
    glViewport(0, 0, width, std::max(height, 1));
}

void AnimationCanvas::paintGL() {
    glClearColor(kBackground[0], kBackground[1], kBackground[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!usable_) return;
    const double ratio = devicePixelRatioF();
    const double width = std::max(1.0, this->width() * ratio), height = std::max(1.0, this->height() * ratio);
    glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(30.0, width / height, 1.0, 30.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(orientation_.panX, orientation_.panY, orientation_.distance);
    glRotated(orientation_.rotX, 1.0, 0.0, 0.0);
    glRotated(orientation_.rotY, 0.0, 1.0, 0.0);
    glRotated(orientation_.rotZ, 0.0, 0.0, 1.0);
    glEnable(GL_DEPTH_TEST);
    if (scene_) {
        DrawModel(*scene_);
        DrawFloor(*scene_);
    }
    glFlush();
}

void AnimationCanvas::DrawModel(const AnimationScene& scene) {
    const bool lines = scene.style == AnimationScene::Style::Line;
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    gluQuadricDrawStyle(quadric_, scene.style == AnimationScene::Style::Solid ? GLU_FILL : GLU_LINE);
    for (const AnimationScene::Joint& joint : scene.joints) {
        Colour(joint.colour);
        glPushMatrix();
        glTranslated(joint.at.x, joint.at.y, joint.at.z);
        gluSphere(quadric_, AnimationScene::kJointRadius, AnimationScene::kSlices, AnimationScene::kStacks);
        glPopMatrix();
    }
    Colour(scene.segmentColour);
    if (lines) {
        glDisable(GL_LIGHTING);
        glBegin(GL_LINES);
        for (const AnimationScene::Segment& segment : scene.segments) {
            Vertex(segment.from);
            Vertex(segment.to);
        }
        glEnd();
        return;
    }
    for (const AnimationScene::Segment& segment : scene.segments) Cylinder(segment.from, segment.to, AnimationScene::kSegmentRadius);
}

// A cylinder from one point to another: GLU draws it along +z from the origin.
void AnimationCanvas::Cylinder(const Point3& from, const Point3& to, double radius) {
    const double dx = to.x - from.x, dy = to.y - from.y, dz = to.z - from.z;
    const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (length <= 0.0) return;
    glPushMatrix();
    glTranslated(from.x, from.y, from.z);
    // Turn +z onto the segment: about the axis z × d by the angle between them.
    const double angle = std::acos(std::clamp(dz / length, -1.0, 1.0)) * 180.0 / kPi;
    if (std::abs(dx) > 1e-12 || std::abs(dy) > 1e-12) glRotated(angle, -dy, dx, 0.0);
    else if (dz < 0.0) glRotated(180.0, 1.0, 0.0, 0.0);
    gluCylinder(quadric_, radius, radius, length, AnimationScene::kSlices, AnimationScene::kStacks);
    glPopMatrix();
}

void AnimationCanvas::UploadFloor() {
    floorLoaded_ = true;
    QImage picture = LoadFloorTexture();
    if (picture.isNull()) return;
    // Within what every OpenGL 1.1 implementation takes.
    if (picture.width() > 1024 || picture.height() > 1024) picture = picture.scaled(1024, 1024, Qt::KeepAspectRatio);
    picture = picture.convertToFormat(QImage::Format_RGB888);
    glGenTextures(1, &floorTexture_);
    glBindTexture(GL_TEXTURE_2D, floorTexture_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(picture.bytesPerLine() / 3));
    glTexImage2D(GL_TEXTURE_2D, 0, 3, picture.width(), picture.height(), 0, GL_RGB, GL_UNSIGNED_BYTE, picture.constBits());
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

void AnimationCanvas::DrawFloor(const AnimationScene& scene) {
    const double h = scene.floorHeight, side = AnimationScene::kFloorHalfSide;
    if (scene.texturedFloor && !floorLoaded_) UploadFloor();
    if (scene.texturedFloor && floorTexture_) {
        glDisable(GL_LIGHTING);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, floorTexture_);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glColor3f(1.0f, 1.0f, 1.0f);
        glBegin(GL_QUADS);
        glNormal3f(0.0f, 1.0f, 0.0f);
        // Texture coordinates from −1 to 1 across the square.
        for (const auto& [s, t] : {std::pair{-1.0, -1.0}, std::pair{-1.0, 1.0}, std::pair{1.0, 1.0}, std::pair{1.0, -1.0}}) {
            glTexCoord2d(s, t);
            glVertex3d(s * side, h, t * side);
        }
        glEnd();
        glDisable(GL_TEXTURE_2D);
        // Two bars along the sides at x = ±4.
        glEnable(GL_LIGHTING);
        gluQuadricDrawStyle(quadric_, GLU_FILL);
        glColor3f(0.55f, 0.55f, 0.6f);
        for (double x : {-side, side}) Cylinder({x, h, -side}, {x, h, side}, AnimationScene::kBarRadius);
        return;
    }
    glDisable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_LINES);
    for (int i = 0; i < AnimationScene::kGridLines; ++i) {
        const double at = -side + i * (2.0 * side) / (AnimationScene::kGridLines - 1);
        glVertex3d(at, h, -side);
        glVertex3d(at, h, side);
        glVertex3d(-side, h, at);
        glVertex3d(side, h, at);
    }
    glEnd();
}

}  // namespace kadivo
