#pragma once
// The scroll box of a thumbnail gallery: a paint box that scrolls sideways, as high as laid out
// but never higher than the box shows, so the gallery's rows are always fully visible.

#include <QScrollArea>

namespace gw {

class TPaintBox;

class TGalleryBox : public QScrollArea {
    Q_OBJECT

  public:
    TGalleryBox(int laidOutHeight, QWidget* parent = nullptr);

    TPaintBox* paintBox() const { return box_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    TPaintBox* box_;
    int laidOutHeight_;
};

}  // namespace gw
