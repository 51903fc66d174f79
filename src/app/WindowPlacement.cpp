#include "app/WindowPlacement.h"

#include <algorithm>

namespace gw {

namespace {

// Less of the window than this on a screen cannot be taken hold of with the mouse.
constexpr int kGrip = 48;

QRect Fitted(QSize size, const QSize& minimum, const QRect& screen) {
    // A screen smaller than the window's smallest size still gets the whole of that size: a
    // cut window is worse than one that reaches past the screen's edge.
    size = size.boundedTo(screen.size()).expandedTo(minimum);
    return QRect(QPoint(), size);
}

}  // namespace

QRect PlacedWindow(const QRect& saved, const QSize& minimum, const QList<QRect>& screens,
                   const QSize& fallback) {
    if (screens.isEmpty())
        return QRect(QPoint(), (saved.isValid() ? saved.size() : fallback).expandedTo(minimum));
    const QRect* home = nullptr;
    qint64 shown = 0;
    if (saved.isValid()) {
        for (const QRect& screen : screens) {
            const QRect common = screen & saved;
            const qint64 area = qint64(common.width()) * common.height();
            if (common.width() >= kGrip && common.height() >= kGrip && area > shown) {
                shown = area;
                home = &screen;
            }
        }
    }
    if (!home) {
        const QRect& primary = screens.front();
        QRect placed = Fitted(fallback, minimum, primary);
        placed.moveCenter(primary.center());
        return placed;
    }
    QRect placed = Fitted(saved.size(), minimum, *home);
    const int x = std::clamp(saved.x(), home->left(),
                             std::max(home->left(), home->right() + 1 - placed.width()));
    const int y = std::clamp(saved.y(), home->top(),
                             std::max(home->top(), home->bottom() + 1 - placed.height()));
    placed.moveTopLeft(QPoint(x, y));
    return placed;
}

}  // namespace gw
