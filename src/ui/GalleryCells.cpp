#include "ui/GalleryCells.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollArea>
#include <QToolTip>
#include <algorithm>

#include "ui/Accessible.h"
#include "ui/PaintBox.h"
#include "ui/Tr.h"

namespace gw {

namespace {

QScrollArea* ScrollAreaOf(QWidget* box) {
    for (QWidget* w = box->parentWidget(); w; w = w->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(w)) return area;
    return nullptr;
}

}  // namespace

TGalleryCells::TGalleryCells(TPaintBox* box, std::function<GalleryLayout()> layout,
                             std::function<void(int x, int y)> click, std::function<int()> selected,
                             std::span<const std::string_view> names)
    : QObject(box),
      box_(box),
      layout_(std::move(layout)),
      click_(std::move(click)),
      selected_(std::move(selected)),
      names_(names) {
    setObjectName(QStringLiteral("GalleryCells"));
    InstallAccessibility();
    box->setFocusPolicy(Qt::StrongFocus);
    // The box takes the focus, not the scroll box around it, so one Tab reaches the cells.
    if (QScrollArea* area = ScrollAreaOf(box)) area->setFocusPolicy(Qt::NoFocus);
    box->installEventFilter(this);
}

std::int32_t TGalleryCells::ShownCell() const {
    return box_->hasFocus() ? cell_ : -1;
}

QString TGalleryCells::CellName(std::int32_t cell) const {
    if (cell >= 0 && std::size_t(cell) < names_.size())
        return QTr(std::string(names_[std::size_t(cell)]).c_str());
    return QTr("Nr. %1").arg(cell + 1);
}

void TGalleryCells::Pick(std::int32_t cell) {
    const GalleryLayout layout = layout_();
    if (cell < 0 || cell >= layout.count || layout.Rows() <= 0) return;
    cell_ = cell;
    const TRect r = layout.Cell(cell);
    click_(r.left, r.top);
    box_->update();
    GallerySelectionChanged(box_, cell);
}

void TGalleryCells::MoveTo(std::int32_t cell) {
    cell_ = cell;
    const GalleryLayout layout = layout_();
    if (cell < 0 || cell >= layout.count) return;
    if (box_->hasFocus()) GalleryFocusMoved(box_, cell);
    const TRect r = layout.Cell(cell);
    if (QScrollArea* area = ScrollAreaOf(box_))
        area->ensureVisible((r.left + r.right) / 2, (r.top + r.bottom) / 2,
                            (r.right - r.left) / 2 + 1, (r.bottom - r.top) / 2 + 1);
    box_->update();
}

bool TGalleryCells::eventFilter(QObject* watched, QEvent* event) {
    if (watched != box_) return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::FocusIn: {
            const std::int32_t count = layout_().count;
            if (cell_ < 0 || cell_ >= count) {
                const int chosen = selected_ ? selected_() : 0;
                cell_ = chosen >= 0 && chosen < count ? chosen : 0;
            }
            MoveTo(cell_);
            break;
        }
        case QEvent::FocusOut:
            box_->update();
            break;
        case QEvent::MouseButtonPress: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const std::int32_t hit =
                layout_().HitTest(mouse->position().toPoint().x(), mouse->position().toPoint().y());
            if (hit >= 0) cell_ = hit;
            break;
        }
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) break;
            const GalleryLayout layout = layout_();
            if (layout.count <= 0) break;
            const std::int32_t from = std::clamp(cell_, 0, layout.count - 1);
            switch (key->key()) {
                case Qt::Key_Left:
                    MoveTo(layout.Step(from, -1, 0));
                    return true;
                case Qt::Key_Right:
                    MoveTo(layout.Step(from, 1, 0));
                    return true;
                case Qt::Key_Up:
                    MoveTo(layout.Step(from, 0, -1));
                    return true;
                case Qt::Key_Down:
                    MoveTo(layout.Step(from, 0, 1));
                    return true;
                case Qt::Key_Return:
                case Qt::Key_Enter:
                case Qt::Key_Space:
                    Pick(from);
                    return true;
                default:
                    break;
            }
            break;
        }
        case QEvent::ToolTip: {
            const auto* help = static_cast<QHelpEvent*>(event);
            const std::int32_t hit = layout_().HitTest(help->pos().x(), help->pos().y());
            if (hit >= 0 && std::size_t(hit) < names_.size()) {
                const std::string_view name = names_[std::size_t(hit)];
                QToolTip::showText(help->globalPos(),
                                   QString::fromUtf8(name.data(), qsizetype(name.size())), box_);
            } else {
                QToolTip::hideText();
                event->ignore();
            }
            return true;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace gw
