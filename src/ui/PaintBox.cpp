#include "ui/PaintBox.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <new>

#include "editing/ViewZoom.h"
#include "platform/AllocationLimit.h"
#include "raster/Bildkern.h"
#include "ui/QtBridge.h"

namespace gw {

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    canvas_ = std::make_unique<Canvas>(bitmap_);
}

TPaintBox::~TPaintBox() = default;

void TPaintBox::FitBitmap() {
    // A box that shows a picture draws into parts of what it shows, never into a bitmap of its
    // whole size, which at a high zoom would be many times the picture.
    if (picture_) return;
    const std::int32_t w = width() * pixelScale_;
    const std::int32_t h = height() * pixelScale_;
    if (bitmap_.Width() == w && bitmap_.Height() == h) return;
    try {
        bitmap_.SetSize(w, h);
    } catch (const std::bad_alloc&) {
        // Without memory for its bitmap the box shows nothing; the command that made it this
        // large learns of the failure from the count and takes the size back.
        bitmap_ = Bitmap();
    }
}

Canvas& TPaintBox::canvas() {
    FitBitmap();
    return *canvas_;
}

void TPaintBox::SetPixelScale(std::int32_t scale) {
    scale = scale < 1 ? 1 : scale;
    // A paint sets the scale it draws at; the same scale again must not ask for another paint.
    if (scale == pixelScale_) return;
    pixelScale_ = scale;
    FitBitmap();
    update();
}

void TPaintBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitBitmap();
    if (OnResize) OnResize();
}

void TPaintBox::ShowPicture(const DibImage* picture) {
    PictureChanged();
    picture_ = picture;
    if (picture_) bitmap_ = Bitmap();
    update();
}

void TPaintBox::SetZoom(double scale) {
    if (scale == zoom_) return;
    zoom_ = scale;
    update();
}

void TPaintBox::PictureChanged() {
    reduced_ = Bitmap();
    reducedBits_ = nullptr;
    update();
}

const Bitmap* TPaintBox::ReducedPicture() {
    // Up to 8 million pixels (24 MB): enough for a picture fitted into any screen, while a view
    // that shows only part of a bigger reduction reads no more than that part anyway.
    constexpr std::int64_t kMostPixels = std::int64_t(8) << 20;
    if (zoom_ >= 1 || picture_->Empty()) return nullptr;
    const QSize of(DibWidth(*picture_), DibHeight(*picture_));
    const std::int32_t w = ZoomedLength(of.width(), zoom_);
    const std::int32_t h = ZoomedLength(of.height(), zoom_);
    if (std::int64_t(w) * h > kMostPixels) return nullptr;
    if (reducedBits_ == picture_->Bits.get() && reducedOf_ == of && reducedScale_ == zoom_ &&
        !reduced_.Empty())
        return &reduced_;
    reduced_ = Bitmap();
    reducedBits_ = nullptr;
    try {
        Bitmap made(w, h, PixelFormat::Rgb24);
        ZoomPicturePart(*picture_, zoom_, 0, 0, made);
        reduced_ = std::move(made);
    } catch (const std::bad_alloc&) {
        // Without room for it the paint reads the picture itself.
        return nullptr;
    }
    reducedBits_ = picture_->Bits.get();
    reducedOf_ = of;
    reducedScale_ = zoom_;
    return &reduced_;
}

void TPaintBox::PaintPicture(const QRect& exposed) {
    const QRect r = exposed & rect();
    if (r.isEmpty()) return;
    QImage image;
    try {
        if (OnPaint) OnPaint();
        // OnPaint may have rendered, changed the picture or even taken it away.
        if (picture_) {
            Bitmap part(r.width(), r.height(), PixelFormat::Rgb24,
                        FromQColor(palette().window().color()));
            if (const Bitmap* whole = ReducedPicture()) {
                const std::int32_t right = std::min(r.x() + r.width(), whole->Width());
                const std::int32_t bottom = std::min(r.y() + r.height(), whole->Height());
                for (std::int32_t y = r.y(); y < bottom && r.x() < right; ++y)
                    std::memcpy(part.Row(y - r.y()), whole->Row(y) + std::size_t(r.x()) * 3,
                                std::size_t(right - r.x()) * 3);
            } else {
                ZoomPicturePart(*picture_, zoom_, r.x(), r.y(), part);
            }
            if (OnOverlay) {
                Canvas canvas(part);
                OnOverlay(canvas, {r.x(), r.y()});
            }
            image = ToQImage(part);
        }
    } catch (const std::bad_alloc&) {
        NoteAllocationFailure();
    }
    QPainter painter(this);
    if (image.isNull()) {
        painter.fillRect(r, palette().window());
        return;
    }
    painter.drawImage(r.topLeft(), image);
}

void TPaintBox::paintEvent(QPaintEvent* event) {
    if (picture_) {
        PaintPicture(event->rect());
        return;
    }
    FitBitmap();
    QImage image;
    try {
        if (OnPaint) OnPaint();
        image = ToQImage(bitmap_);
        image.setDevicePixelRatio(pixelScale_);
    } catch (const std::bad_alloc&) {
        // A paint cannot ask the user anything; what could not be drawn stays blank.
        NoteAllocationFailure();
    }
    QPainter painter(this);
    if (image.isNull()) {
        painter.fillRect(rect(), palette().window());
        return;
    }
    painter.drawImage(0, 0, image);
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (OnMouseDown) OnMouseDown(event->button(), p.x(), p.y());
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (OnMouseMove) OnMouseMove(event->buttons(), p.x(), p.y());
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (OnMouseUp) OnMouseUp(event->button(), p.x(), p.y());
}

}  // namespace gw
