// Writes the application icon as PNG files of the sizes desktops look for, from the icon file
// the window uses: tallowmere-icon-sizes ICON-FILE OUTPUT-FOLDER. Each size is drawn from the
// icon's own image of that size, or scaled without smoothing from the nearest one, so that the
// pixel art stays sharp.
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: tallowmere-icon-sizes ICON-FILE OUTPUT-FOLDER\n");
        return 2;
    }
    QImageReader reader(QString::fromLocal8Bit(argv[1]));
    std::vector<QImage> images;
    for (int i = 0; i < reader.imageCount() || i == 0; ++i) {
        if (i > 0 && !reader.jumpToNextImage()) break;
        QImage image = reader.read();
        if (!image.isNull()) images.push_back(image);
    }
    if (images.empty()) {
        std::fprintf(stderr, "tallowmere-icon-sizes: cannot read %s\n", argv[1]);
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[2]));
    for (int size : {16, 32, 48, 64, 128}) {
        const QImage* best = &images.front();
        for (const QImage& image : images) {
            // The largest image that divides the size evenly, else the largest there is.
            const bool divides = size % image.width() == 0;
            const bool bestDivides = size % best->width() == 0;
            if ((divides && !bestDivides) ||
                (divides == bestDivides && image.width() > best->width() &&
                 image.width() <= size)) {
                best = &image;
            }
        }
        const QImage scaled =
            best->scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        const QString file = out.filePath(QStringLiteral("%1x%1.png").arg(size));
        if (!scaled.save(file, "PNG")) {
            std::fprintf(stderr, "tallowmere-icon-sizes: cannot write %s\n",
                         file.toLocal8Bit().constData());
            return 1;
        }
    }
    return 0;
}
