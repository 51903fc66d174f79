#include "app/Pictures.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include "ui/Tr.h"

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

QPixmap PictureButton(const char* fileName, qreal devicePixelRatio) {
    const QString name = QString::fromLatin1(fileName);
    const bool down = name.contains(QStringLiteral("-down"));
    const bool about = name.startsWith(QStringLiteral("about"));
    // The stored pictures carry the German captions; another language draws its own.
    const char* german = about ? N_("Info") : N_("Ende");
    const QString text = QTr(german);
    if (devicePixelRatio < 1.5 && text == QString::fromUtf8(german)) return LayoutPicture(fileName);
    // The pictures' own colours: a cream face with a raised (or, pressed, sunken) edge, the
    // caption in a blue or red running from light to dark.
    constexpr int w = 101;
    constexpr int h = 30;
    QPixmap pixmap(QSize(w, h) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient face(0, 0, 0, h);
    face.setColorAt(0, down ? QColor(0xD7D6D5) : QColor(0xFAF8F4));
    face.setColorAt(1, down ? QColor(0xC9C5BA) : QColor(0xE8E2D5));
    painter.fillRect(QRectF(0, 0, w, h), face);
    const QColor light = down ? QColor(0x404040) : QColor(0xFDFDFB);
    const QColor dark = down ? QColor(0xE0E0E0) : QColor(0x191917);
    const QColor darkInner = down ? QColor(0x85827A) : QColor(0x4D4B47);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(light, 1));
    painter.drawLine(QPointF(0.5, 0.5), QPointF(w - 0.5, 0.5));
    painter.drawLine(QPointF(0.5, 0.5), QPointF(0.5, h - 0.5));
    painter.setPen(QPen(dark, 1));
    painter.drawLine(QPointF(0.5, h - 0.5), QPointF(w - 0.5, h - 0.5));
    painter.drawLine(QPointF(w - 0.5, 0.5), QPointF(w - 0.5, h - 0.5));
    painter.setPen(QPen(darkInner, 1));
    painter.drawLine(QPointF(1.5, h - 1.5), QPointF(w - 1.5, h - 1.5));
    painter.drawLine(QPointF(w - 1.5, 1.5), QPointF(w - 1.5, h - 1.5));
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(17);
    QPainterPath caption;
    caption.addText(0, 0, font, text);
    const QRectF box = caption.boundingRect();
    const qreal shift = down ? 1 : 0;
    caption.translate((w - box.width()) / 2 - box.left() + shift,
                      (h - box.height()) / 2 - box.top() + shift);
    QLinearGradient ink(0, 7, 0, 23);
    ink.setColorAt(0, about ? QColor(0x9DB4E8) : QColor(0xE8A0A0));
    ink.setColorAt(1, about ? QColor(0x071533) : QColor(0x4A0A0A));
    painter.setPen(QPen(QColor(about ? 0x040C1E : 0x2A0505), 0.6));
    painter.setBrush(ink);
    painter.drawPath(caption);
    return pixmap;
}

}  // namespace gw
