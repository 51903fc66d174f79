#include "app/Pictures.h"

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

QPixmap LayoutPicture(const char* fileName) {
    EnsureResources();
    return QPixmap(QStringLiteral(":/pictures/") + QString::fromLatin1(fileName));
}

QIcon LayoutIcon(const char* fileName) {
    const QPixmap pixmap = LayoutPicture(fileName);
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

}  // namespace gw
