#include "FloorTexture.h"

#include "DataDirectory.h"
#include "InstalledFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>

namespace kadivo {

QString FloorTexturePath() { return QDir(QString::fromStdString(DataDirectory())).filePath("floor.bmp"); }

QImage DefaultFloorTexture() {
    constexpr int kSide = 256, kTile = 64;
    QImage image(kSide, kSide, QImage::Format_RGB888);
    std::uint32_t grain = 12345;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            grain = grain * 1664525u + 1013904223u;
            const bool light = ((x / kTile) + (y / kTile)) % 2 == 0;
            const bool joint = x % kTile < 2 || y % kTile < 2;
            const int base = joint ? 70 : (light ? 178 : 140);
            const int value = base + static_cast<int>(grain >> 28) - 8;
            image.setPixelColor(x, y, QColor(value, value, value + 6));
        }
    return image;
}

QImage LoadFloorTexture() {
    const QString path = FloorTexturePath();
    if (!QFileInfo::exists(path)) {
        // The user's copy starts as the shipped texture, which they may then replace.
        QDir().mkpath(QFileInfo(path).absolutePath());
        const std::string shipped = ShippedDataFile(ProgramFolder(), "floor.bmp");
        if (shipped.empty() || !QFile::copy(QString::fromStdString(shipped), path)) DefaultFloorTexture().save(path, "BMP");
    }
    QImage image(path);
    if (image.isNull()) image = DefaultFloorTexture();
    return image.convertToFormat(QImage::Format_RGB888);
}

}  // namespace kadivo
