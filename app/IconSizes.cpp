// Writes the application icon as PNG files of the sizes desktops look for:
//   tallowmere-icon-sizes ICON-FILE SVG-FILE OUTPUT-FOLDER
// A size the icon file holds an image of (its pixel art, drawn for 16 and 32 pixels) is that
// image; every other size is drawn from the scalable icon at that size, never blown up from a
// smaller image.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <vector>

namespace {

std::vector<QImage> IconImages(const QString& file) {
    QImageReader reader(file);
    std::vector<QImage> images;
    for (int i = 0; i < reader.imageCount() || i == 0; ++i) {
        if (i > 0 && !reader.jumpToNextImage()) break;
        QImage image = reader.read();
        if (!image.isNull()) images.push_back(image);
    }
    return images;
}

QImage Drawn(QSvgRenderer& svg, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter, QRectF(0, 0, size, size));
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    // Drawing needs fonts and a painter, never a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: tallowmere-icon-sizes ICON-FILE SVG-FILE OUTPUT-FOLDER\n");
        return 2;
    }
    const std::vector<QImage> images = IconImages(QString::fromLocal8Bit(argv[1]));
    QSvgRenderer svg(QString::fromLocal8Bit(argv[2]));
    if (images.empty() || !svg.isValid()) {
        std::fprintf(stderr, "tallowmere-icon-sizes: cannot read %s or %s\n", argv[1], argv[2]);
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[3]));
    for (int size : {16, 32, 48, 64, 128}) {
        QImage image;
        for (const QImage& drawn : images) {
            if (drawn.width() == size && drawn.height() == size) image = drawn;
        }
        if (image.isNull()) image = Drawn(svg, size);
        const QString file = out.filePath(QStringLiteral("%1x%1.png").arg(size));
        if (!image.save(file, "PNG")) {
            std::fprintf(stderr, "tallowmere-icon-sizes: cannot write %s\n",
                         file.toLocal8Bit().constData());
            return 1;
        }
    }
    return 0;
}
