#include "ui/QtBridge.h"

#include <QStringList>
#include <cstring>

#include "platform/AllocationLimit.h"
#include "platform/Canvas.h"
#include "raster/Bildkern.h"

namespace gw {

QColor ToQColor(TColor color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

TColor FromQColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return RGB(std::uint8_t(rgb.red()), std::uint8_t(rgb.green()), std::uint8_t(rgb.blue()));
}

QImage ToQImage(const Bitmap& bitmap) {
    if (bitmap.Empty()) return {};
    // Both keep blue, green, red per pixel; only the row order and the padding differ.
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_BGR888);
    // Qt answers a failed allocation with a null image, not an exception.
    if (image.isNull()) {
        NoteAllocationFailure();
        return {};
    }
    const std::size_t rowBytes = std::size_t(bitmap.Width()) * 3;
    for (std::int32_t y = 0; y < bitmap.Height(); ++y)
        std::memcpy(image.scanLine(y), bitmap.Row(y), rowBytes);
    return image;
}

Bitmap FromQImage(const QImage& image) {
    if (image.isNull()) return {};
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    if (bgr.isNull()) {
        NoteAllocationFailure();
        return {};
    }
    Bitmap bitmap(bgr.width(), bgr.height());
    const std::size_t rowBytes = std::size_t(bgr.width()) * 3;
    for (std::int32_t y = 0; y < bitmap.Height(); ++y)
        std::memcpy(bitmap.Row(y), bgr.constScanLine(y), rowBytes);
    return bitmap;
}

QImage DibToQImage(const DibImage& dib) {
    if (dib.Empty() || DibWidth(dib) <= 0 || DibHeight(dib) <= 0) return {};
    Bitmap bitmap(DibWidth(dib), DibHeight(dib));
    Canvas canvas(bitmap);
    DrawDib(canvas, dib, DrawDibOptions::Whole(dib, 0, 0, DibWidth(dib), DibHeight(dib)));
    return ToQImage(bitmap);
}

QString QtFileFilter(std::string_view pipeFilter) {
    const QStringList parts = ToQString(pipeFilter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const QString listed = QStringLiteral("(") + parts[i + 1] + QLatin1Char(')');
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns, apart by spaces, from the description's last parenthesis.
        // Many descriptions already end in their own patterns, apart by semicolons: those are
        // written Qt's way rather than shown a second time.
        const QString shown = QStringLiteral("(") + patterns + QLatin1Char(')');
        if (description.endsWith(listed)) description.chop(listed.size());
        if (!description.endsWith(shown))
            description = description.trimmed() + QLatin1Char(' ') + shown;
        filters << description;
    }
    return filters.join(QStringLiteral(";;"));
}

}  // namespace gw
