#pragma once
// A paint box: a widget that is drawn through a Canvas of our raster layer.
//
// A small box keeps a bitmap of its own size and a Canvas on it. OnPaint draws into the canvas;
// every Qt paint then converts the bitmap once into a QImage and shows it. What was drawn stays
// in the bitmap between paints, so a handler may draw a rubber band into the canvas and call
// Show() without repainting everything beneath it.
//
// A box of picture size (the editing view, the result page) shows a picture instead: a paint
// takes only the part it reaches and draws its overlays there, so scrolling over a big picture
// costs what the window shows, and no picture-sized copy is kept, zoomed or not.

#include <QWidget>
#include <functional>
#include <memory>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "raster/DibImage.h"

namespace gw {

class TPaintBox : public QWidget {
    Q_OBJECT

  public:
    explicit TPaintBox(QWidget* parent = nullptr);
    ~TPaintBox() override;

    Canvas& canvas();
    const Bitmap& bitmap() const { return bitmap_; }

    // Shows the bitmap as it is now (at the next paint of the widget).
    void Show() { update(); }

    // Shows `picture` 1:1 from the box's top left instead of the bitmap; the box keeps no copy
    // of it and reads it at every paint, only where the paint reaches, so it must live as long
    // as it is shown. Null goes back to the bitmap.
    void ShowPicture(const DibImage* picture);
    const DibImage* picture() const { return picture_; }
    // The picture is shown at `scale` screen pixels a picture pixel; its owner sizes the box.
    void SetZoom(double scale);
    double zoom() const { return zoom_; }
    // The picture's pixels may have changed. A reduced picture of moderate size is kept between
    // paints, so a rubber band drawn over it does not read the whole picture at every step;
    // whoever changes the picture says so here.
    void PictureChanged();
    // With a picture: draws over the part a paint reaches. The canvas's bitmap is that part and
    // holds the picture's pixels there; `origin` is its top left in the box's pixels.
    std::function<void(Canvas&, TPoint origin)> OnOverlay;

    // A box drawn finer than its own size: the bitmap holds `scale` pixels a unit of the box in
    // both directions and is shown at that pixel ratio, sharp on a screen of that ratio. Mouse
    // events stay in the box's units. 1 unless set.
    void SetPixelScale(std::int32_t scale);
    std::int32_t pixelScale() const { return pixelScale_; }

    // Called by every paint before the bitmap is shown.
    std::function<void()> OnPaint;
    // Called after every change of the box's size.
    std::function<void()> OnResize;
    // Mouse events in the box's own pixels; the button is Qt's (Qt::NoButton for moves).
    std::function<void(Qt::MouseButton, int x, int y)> OnMouseDown;
    std::function<void(Qt::MouseButtons, int x, int y)> OnMouseMove;
    std::function<void(Qt::MouseButton, int x, int y)> OnMouseUp;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void FitBitmap();
    void PaintPicture(const QRect& exposed);

    Bitmap bitmap_;
    std::unique_ptr<Canvas> canvas_;
    const Bitmap* ReducedPicture();

    std::int32_t pixelScale_ = 1;
    const DibImage* picture_ = nullptr;
    double zoom_ = 1;
    Bitmap reduced_;
    // What reduced_ was made of; a picture of another address, size or zoom makes it anew.
    const void* reducedBits_ = nullptr;
    QSize reducedOf_;
    double reducedScale_ = 0;
};

}  // namespace gw
