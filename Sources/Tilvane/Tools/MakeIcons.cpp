// Makes the application's icons from the kit's pixel brand icon: each usual size holds the icon enlarged by the
// largest whole factor that fits, without smoothing, centred on a transparent square.
//
//     tilvane_make_icons <brand icon.png> <hicolor folder>   writes <folder>/<n>x<n>/apps/tilvane.png

#include <QDir>
#include <QImage>
#include <QPainter>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <brand icon.png> <hicolor folder>\n", argv[0]);
        return 2;
    }
    const QImage icon = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_ARGB32);
    if (icon.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const int factor = std::max(1, size / std::max(icon.width(), icon.height()));
        const QImage enlarged = icon.scaled(icon.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        QImage square(size, size, QImage::Format_ARGB32);
        square.fill(Qt::transparent);
        QPainter painter(&square);
        painter.drawImage((size - enlarged.width()) / 2, (size - enlarged.height()) / 2, enlarged);
        painter.end();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        if (!QDir().mkpath(folder) || !square.save(folder + QStringLiteral("/tilvane.png"))) {
            std::fprintf(stderr, "cannot write the %d-pixel icon\n", size);
            return 1;
        }
    }
    return 0;
}
