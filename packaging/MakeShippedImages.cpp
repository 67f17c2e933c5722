// Writes the pictures an installed Kadivo ships: the default floor texture and the
// program's icon at the sizes of the hicolor theme.
//   kadivo-make-images FLOOR.bmp ICON.svg OUTDIR SIZE...
// The icons go to OUTDIR/SIZExSIZE/apps/kadivo.png.

#include "FloorTexture.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() < 5) {
        std::fputs("usage: kadivo-make-images FLOOR.bmp ICON.svg OUTDIR SIZE...\n", stderr);
        return 2;
    }
    if (!kadivo::DefaultFloorTexture().save(args[1], "BMP")) {
        std::fprintf(stderr, "kadivo-make-images: cannot write %s\n", qPrintable(args[1]));
        return 1;
    }
    QSvgRenderer icon(args[2]);
    if (!icon.isValid()) {
        std::fprintf(stderr, "kadivo-make-images: cannot read %s\n", qPrintable(args[2]));
        return 1;
    }
    for (qsizetype i = 4; i < args.size(); ++i) {
        const int side = args[i].toInt();
        QImage picture(side, side, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        icon.render(&painter);
        painter.end();
        const QString folder = QString("%1/%2x%2/apps").arg(args[3]).arg(side);
        if (side <= 0 || !QDir().mkpath(folder) || !picture.save(folder + "/kadivo.png", "PNG")) {
            std::fprintf(stderr, "kadivo-make-images: cannot write the %s pixel icon\n", qPrintable(args[i]));
            return 1;
        }
    }
    return 0;
}
