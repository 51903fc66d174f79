#include "ui/Accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <map>

#include "ui/GalleryCells.h"
#include "ui/Image.h"
#include "ui/PaintBox.h"

namespace gw {

namespace {

TGalleryCells* CellsOf(const QWidget* box) {
    return box ? box->findChild<TGalleryCells*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

// One cell of a gallery. The cells are no widgets: the gallery's interface makes them, and the
// accessibility's registry owns them until the gallery goes.
class CellAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    CellAccessible(TPaintBox* box, int index) : box_(box), index_(index) {}

    int index() const { return index_; }

    bool isValid() const override {
        const TGalleryCells* cells = CellsOf(box_);
        return cells && index_ < cells->Layout().count;
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return box_ ? box_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return box_ ? QAccessible::queryAccessibleInterface(box_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        const TGalleryCells* cells = CellsOf(box_);
        if (!cells || t != QAccessible::Name) return {};
        return cells->CellName(index_);
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        const TGalleryCells* cells = CellsOf(box_);
        if (!cells) return {};
        const GalleryLayout layout = cells->Layout();
        if (layout.Rows() <= 0) return {};
        const TRect r = layout.Cell(index_);
        return {box_->mapToGlobal(QPoint(r.left, r.top)),
                QSize(layout.cellWidth, layout.cellHeight)};
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State s;
        const TGalleryCells* cells = CellsOf(box_);
        if (!cells) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.focusable = true;
        s.selected = cells->Selected() == index_;
        s.focused = box_->hasFocus() && cells->FocusCell() == index_;
        s.invisible = !box_->isVisible();
        if (!s.invisible) {
            // A cell scrolled out of the gallery's box is there, but not on the screen.
            s.offscreen = !box_->visibleRegion().intersects(
                rect().translated(-box_->mapToGlobal(QPoint(0, 0))));
        }
        s.disabled = !box_->isEnabled();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (TGalleryCells* cells = CellsOf(box_); cells && name == pressAction())
            cells->Pick(index_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  private:
    QPointer<TPaintBox> box_;
    int index_;
};

// A paint box: a list of cells where it shows a gallery, a plain drawing otherwise. The cells are
// asked for at every question, since a box becomes a gallery after the window made it.
class PaintBoxAccessible : public QAccessibleWidget {
  public:
    explicit PaintBoxAccessible(TPaintBox* box) : QAccessibleWidget(box, QAccessible::Client) {}
    ~PaintBoxAccessible() override {
        // At the program's end the registry may have deleted the cells already.
        for (const auto& [index, id] : cellIds_)
            if (QAccessible::accessibleInterface(id)) QAccessible::deleteAccessibleInterface(id);
    }

    QAccessible::Role role() const override {
        return Cells() ? QAccessible::List : QAccessibleWidget::role();
    }
    int childCount() const override {
        const TGalleryCells* cells = Cells();
        return cells ? cells->Layout().count : QAccessibleWidget::childCount();
    }
    QAccessibleInterface* child(int index) const override {
        if (!Cells()) return QAccessibleWidget::child(index);
        if (index < 0 || index >= childCount()) return nullptr;
        auto found = cellIds_.find(index);
        if (found == cellIds_.end()) {
            auto* cell = new CellAccessible(static_cast<TPaintBox*>(widget()), index);
            found = cellIds_.emplace(index, QAccessible::registerAccessibleInterface(cell)).first;
        }
        return QAccessible::accessibleInterface(found->second);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!Cells()) return QAccessibleWidget::indexOfChild(child);
        const auto* cell = dynamic_cast<const CellAccessible*>(child);
        return cell && cell->parent() == this ? cell->index() : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const TGalleryCells* cells = Cells();
        if (!cells) return QAccessibleWidget::childAt(x, y);
        const QPoint p = widget()->mapFromGlobal(QPoint(x, y));
        const int hit = cells->Layout().HitTest(p.x(), p.y());
        return hit >= 0 ? child(hit) : nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        const TGalleryCells* cells = Cells();
        if (!cells || !widget()->hasFocus()) return QAccessibleWidget::focusChild();
        const int cell = cells->FocusCell();
        return cell >= 0 && cell < childCount() ? child(cell) : nullptr;
    }

  private:
    TGalleryCells* Cells() const { return CellsOf(widget()); }

    mutable std::map<int, QAccessible::Id> cellIds_;
};

// A picture that answers Space and Enter is a button; one that does not is a picture.
class PictureAccessible : public QAccessibleWidget {
  public:
    explicit PictureAccessible(TImage* image) : QAccessibleWidget(image, QAccessible::Graphic) {}

    QAccessible::Role role() const override {
        return Image()->OnKeyClick ? QAccessible::Button : QAccessible::Graphic;
    }
    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (Image()->OnKeyClick) names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && Image()->OnKeyClick) {
            Image()->OnKeyClick();
            return;
        }
        QAccessibleWidget::doAction(name);
    }

  private:
    TImage* Image() const { return static_cast<TImage*>(widget()); }
};

QAccessibleInterface* OwnWidgets(const QString&, QObject* object) {
    if (auto* box = qobject_cast<TPaintBox*>(object)) return new PaintBoxAccessible(box);
    if (auto* image = qobject_cast<TImage*>(object)) return new PictureAccessible(image);
    return nullptr;
}

void TellCell(QWidget* box, int cell, QAccessible::Event kind) {
    if (!QAccessible::isActive() || !box) return;
    QAccessibleEvent event(box, kind);
    event.setChild(cell);
    QAccessible::updateAccessibility(&event);
}

}  // namespace

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(OwnWidgets);
        return true;
    }();
    (void)installed;
}

void GalleryFocusMoved(QWidget* box, int cell) {
    TellCell(box, cell, QAccessible::Focus);
}

void GallerySelectionChanged(QWidget* box, int cell) {
    TellCell(box, cell, QAccessible::Selection);
}

}  // namespace gw
