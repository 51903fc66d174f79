#pragma once
// Zoom and panning of a picture view: a paint box that shows a picture in a scroll area.
//
// The navigator holds the view's scale and gives the box its zoomed size; whoever places the box
// in its scroll area (centring it) does so in OnPlace. "Ganzes Bild" is a mode, not a scale: the
// picture is fitted again whenever it or the view changes size. Every other command keeps its
// scale across a new picture size. Zooming keeps the picture point under the mouse (the wheel)
// or in the middle of the view (the commands) where it is.
//
// With panning switched on, the middle button drags the picture, and so does the left one while
// Space is held. Space is taken only where it types nothing: the view has the focus, or the
// mouse is over it while the focus is not in a text field.

#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QSize>
#include <functional>

class QMenu;
class QScrollArea;
class QWidget;

namespace gw {

class TPaintBox;

class TViewNavigator : public QObject {
    Q_OBJECT

  public:
    TViewNavigator(QScrollArea* area, TPaintBox* box);
    ~TViewNavigator() override;

    // The picture's size in its own pixels.
    void SetPictureSize(QSize size);
    QSize pictureSize() const { return picture_; }
    double scale() const { return scale_; }
    bool fitting() const { return fit_; }
    // The zoom as the status bar tells it: "Zoom: 50 %".
    QString ZoomText() const;

    void FitWhole();
    void ActualSize();
    void ZoomIn();
    void ZoomOut();
    // Zooms to `scale`, keeping the picture point under `at` (the scroll area's viewport
    // pixels) where it is.
    void ZoomAt(double scale, QPoint at);

    // The picture pixel under a pixel of the box.
    QPoint ToPicture(QPoint boxPixel) const;

    // Its owner switches panning off before the view's widgets go.
    void SetPanning(bool enabled);
    bool panning() const { return dragging_; }
    bool spaceHeld() const { return spaceHeld_; }
    // Shown at a click of the right button, which then does nothing else in the view.
    void SetContextMenu(QMenu* menu);

    std::function<void()> OnPlace;

  signals:
    void zoomChanged();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Apply(double scale, bool place = true);
    void ZoomAbout(double scale, QPoint at, QPointF pictureAt);
    QPointF PictureAt(QPoint at) const;
    QPoint ViewCentre() const;
    bool TakesSpace(QObject* receiver) const;
    bool PanEvent(QEvent* event);
    void ShowHand();

    QScrollArea* area_;
    QWidget* viewport_;
    TPaintBox* box_;
    QMenu* menu_ = nullptr;
    QSize picture_;
    double scale_ = 1;
    bool fit_ = false;
    int wheelRest_ = 0;
    // The last step of the wheel: a picture smaller than the view cannot keep its pixel under
    // the mouse, so the next step at the same place goes on from the pixel the row began at.
    QPoint wheelAt_;
    QPointF wheelPicture_;
    QPoint wheelScroll_{-1, -1};
    bool panEnabled_ = false;
    bool spaceHeld_ = false;
    bool dragging_ = false;
    Qt::MouseButton dragButton_ = Qt::NoButton;
    QPoint dragStart_;
    QPoint scrollStart_;
};

}  // namespace gw
