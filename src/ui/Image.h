#pragma once
// A picture on the window that answers the mouse, as the image buttons of the bottom bar do.

#include <QPixmap>
#include <QWidget>
#include <functional>

namespace gw {

class TImage : public QWidget {
    Q_OBJECT

  public:
    explicit TImage(QWidget* parent = nullptr);

    void setPixmap(const QPixmap& pixmap);
    const QPixmap& pixmap() const { return pixmap_; }
    // Draw the picture stretched over the whole widget instead of 1:1 at the top-left.
    void setStretch(bool stretch);

    QSize sizeHint() const override;

    std::function<void(Qt::MouseButton, int x, int y)> OnMouseDown;
    std::function<void(Qt::MouseButtons, int x, int y)> OnMouseMove;
    std::function<void(Qt::MouseButton, int x, int y)> OnMouseUp;
    // Space or Enter while the picture has the focus (a picture button reached with Tab).
    std::function<void()> OnKeyClick;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QPixmap pixmap_;
    bool stretch_ = false;
};

}  // namespace gw
