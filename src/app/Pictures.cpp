#include "app/Pictures.h"

#include <QImage>
#include <QString>

// The resource file lives in a static library; its registration must be asked for by name.
static void InitPictureResources() {
    Q_INIT_RESOURCE(pictures);
}

namespace gw {

namespace {

void EnsureResources() {
    static const bool once = (InitPictureResources(), true);
    (void)once;
}

}  // namespace

QImage LayoutImage(const char* fileName) {
    EnsureResources();
    return QImage(QStringLiteral(":/pictures/") + QString::fromLatin1(fileName));
}

QPixmap LayoutPicture(const char* fileName) {
    QImage image = LayoutImage(fileName);
    if (image.isNull()) return {};
    // The small images are drawn on magenta, which stands for "transparent".
    if (fileName && QString::fromLatin1(fileName).endsWith(QStringLiteral(".png"))) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((row[x] & 0xFFFFFF) == 0xFF00FF) row[x] = 0;
        }
    }
    return QPixmap::fromImage(image);
}

QIcon LayoutIcon(const char* fileName) {
    const QPixmap pixmap = LayoutPicture(fileName);
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

}  // namespace gw
