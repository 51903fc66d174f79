#include "ui/ViewNavigator.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextEdit>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "editing/ViewZoom.h"
#include "ui/PaintBox.h"
#include "ui/Tr.h"

namespace gw {

namespace {

// Where a typed Space means a space.
bool TypesText(const QWidget* widget) {
    for (; widget; widget = widget->parentWidget()) {
        if (qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget))
            return true;
        if (const auto* edit = qobject_cast<const QPlainTextEdit*>(widget))
            return !edit->isReadOnly();
        if (const auto* edit = qobject_cast<const QTextEdit*>(widget)) return !edit->isReadOnly();
        if (const auto* box = qobject_cast<const QComboBox*>(widget)) return box->isEditable();
        if (widget->isWindow()) break;
    }
    return false;
}

}  // namespace

TViewNavigator::TViewNavigator(QScrollArea* area, TPaintBox* box)
    : QObject(box), area_(area), viewport_(area->viewport()), box_(box) {
    picture_ = box->size();
    area_->installEventFilter(this);
    viewport_->installEventFilter(this);
    box_->installEventFilter(this);
}

TViewNavigator::~TViewNavigator() {
    if (panEnabled_) qApp->removeEventFilter(this);
}

void TViewNavigator::SetPictureSize(QSize size) {
    picture_ = size;
    // At a kept scale the box keeps its place, as its owner decides; a fitted one is placed anew.
    if (fit_) {
        FitWhole();
    } else {
        Apply(scale_, false);
    }
}

QString TViewNavigator::ZoomText() const {
    const double percent = scale_ * 100;
    return QTr("Zoom: %1 %").arg(std::max(1L, std::lround(percent)));
}

void TViewNavigator::Apply(double scale, bool place) {
    const bool changed = scale != scale_;
    scale_ = scale;
    box_->SetZoom(scale);
    const QSize zoomed(ZoomedLength(picture_.width(), scale),
                       ZoomedLength(picture_.height(), scale));
    if (box_->size() != zoomed) box_->resize(zoomed);
    if (place && OnPlace) OnPlace();
    if (changed) emit zoomChanged();
}

void TViewNavigator::FitWhole() {
    fit_ = true;
    const QSize view = area_->maximumViewportSize();
    Apply(FitZoom(picture_.width(), picture_.height(), view.width(), view.height()));
}

void TViewNavigator::ActualSize() {
    ZoomAt(1, ViewCentre());
}

void TViewNavigator::ZoomIn() {
    ZoomAt(ZoomInStep(scale_), ViewCentre());
}

void TViewNavigator::ZoomOut() {
    ZoomAt(ZoomOutStep(scale_), ViewCentre());
}

QPoint TViewNavigator::ViewCentre() const {
    return viewport_->rect().center();
}

void TViewNavigator::ZoomAt(double scale, QPoint at) {
    ZoomAbout(scale, at, PictureAt(at));
}

void TViewNavigator::ZoomAbout(double scale, QPoint at, QPointF pictureAt) {
    fit_ = false;
    scale = std::clamp(scale, kMinZoom, kMaxZoom);
    if (scale == scale_) return;
    Apply(scale);
    // The box may have moved (a smaller picture is centred); its place in the scrolled content
    // does not depend on the scroll position.
    const QPoint inContent = box_->mapTo(area_->widget(), QPoint(0, 0));
    const QPointF target = QPointF(inContent) + pictureAt * scale - QPointF(at) - QPointF(0.5, 0.5);
    area_->horizontalScrollBar()->setValue(int(std::lround(target.x())));
    area_->verticalScrollBar()->setValue(int(std::lround(target.y())));
}

QPointF TViewNavigator::PictureAt(QPoint at) const {
    // The middle of the screen pixel: a reduced view's pixel spans several of the picture's.
    return (QPointF(box_->mapFrom(viewport_, at)) + QPointF(0.5, 0.5)) / scale_;
}

QPoint TViewNavigator::ToPicture(QPoint boxPixel) const {
    return {gw::ToPicture(boxPixel.x(), scale_), gw::ToPicture(boxPixel.y(), scale_)};
}

void TViewNavigator::SetPanning(bool enabled) {
    if (enabled == panEnabled_) return;
    panEnabled_ = enabled;
    // Space goes to whatever has the focus; only the application sees it first.
    if (enabled) {
        qApp->installEventFilter(this);
    } else {
        qApp->removeEventFilter(this);
    }
}

void TViewNavigator::SetContextMenu(QMenu* menu) {
    menu_ = menu;
}

bool TViewNavigator::TakesSpace(QObject* receiver) const {
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (!widget || !box_->isVisible() || widget->window() != box_->window() || TypesText(widget))
        return false;
    if (widget == box_ || widget == area_ || area_->isAncestorOf(widget)) return true;
    return viewport_->rect().contains(viewport_->mapFromGlobal(QCursor::pos()));
}

void TViewNavigator::ShowHand() {
    if (dragging_) {
        box_->setCursor(Qt::ClosedHandCursor);
    } else if (spaceHeld_) {
        box_->setCursor(Qt::OpenHandCursor);
    } else {
        box_->unsetCursor();
    }
}

bool TViewNavigator::PanEvent(QEvent* event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint global = mouse->globalPosition().toPoint();
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (dragging_) return true;
            if (mouse->button() != Qt::MiddleButton &&
                !(mouse->button() == Qt::LeftButton && spaceHeld_))
                return false;
            dragging_ = true;
            dragButton_ = mouse->button();
            dragStart_ = global;
            scrollStart_ = {area_->horizontalScrollBar()->value(),
                            area_->verticalScrollBar()->value()};
            ShowHand();
            return true;
        case QEvent::MouseMove:
            if (!dragging_) return spaceHeld_;
            area_->horizontalScrollBar()->setValue(scrollStart_.x() -
                                                   (global.x() - dragStart_.x()));
            area_->verticalScrollBar()->setValue(scrollStart_.y() - (global.y() - dragStart_.y()));
            return true;
        case QEvent::MouseButtonRelease:
            if (!dragging_) return false;
            if (mouse->button() == dragButton_) {
                dragging_ = false;
                ShowHand();
            }
            return true;
        default:
            return false;
    }
}

bool TViewNavigator::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && panEnabled_) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Space) return false;
        if (type == QEvent::KeyPress && !spaceHeld_) {
            if (key->isAutoRepeat() || key->modifiers() != Qt::NoModifier || !TakesSpace(watched))
                return false;
            spaceHeld_ = true;
            ShowHand();
            return true;
        }
        if (!spaceHeld_) return false;
        if (type == QEvent::KeyRelease && !key->isAutoRepeat()) {
            spaceHeld_ = false;
            ShowHand();
        }
        return true;
    }
    // Every event of the program passes here while panning is on, those of widgets being
    // destroyed included: only pointers are compared until an event is known to be ours.
    if (type == QEvent::WindowDeactivate && spaceHeld_) {
        // The release of Space goes to another window.
        spaceHeld_ = false;
        ShowHand();
        return false;
    }
    if (watched == area_ && type == QEvent::Resize && fit_) {
        FitWhole();
        return false;
    }
    if (watched == viewport_ && type == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier)) return false;
        // A fine wheel sends parts of a notch; a step is taken for each whole one.
        wheelRest_ += wheel->angleDelta().y();
        const QPoint at = wheel->position().toPoint();
        const QPoint scroll(area_->horizontalScrollBar()->value(),
                            area_->verticalScrollBar()->value());
        if (at != wheelAt_ || scroll != wheelScroll_) {
            wheelAt_ = at;
            wheelPicture_ = PictureAt(at);
        }
        for (; wheelRest_ >= 120; wheelRest_ -= 120)
            ZoomAbout(ZoomInStep(scale_), at, wheelPicture_);
        for (; wheelRest_ <= -120; wheelRest_ += 120)
            ZoomAbout(ZoomOutStep(scale_), at, wheelPicture_);
        wheelScroll_ = {area_->horizontalScrollBar()->value(), area_->verticalScrollBar()->value()};
        return true;
    }
    if (watched != box_) return false;
    if (type == QEvent::ContextMenu && menu_) {
        menu_->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                       type == QEvent::MouseButtonDblClick || type == QEvent::MouseMove;
    if (!mouse) return false;
    // The right button belongs to the menu.
    if (menu_ && type != QEvent::MouseMove &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
        return true;
    return panEnabled_ && PanEvent(event);
}

}  // namespace gw
