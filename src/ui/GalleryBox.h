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
    // The entry drawn as chosen.
    int selected() const { return selected_; }
    void setSelected(int index) { selected_ = index; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    TPaintBox* box_;
    int laidOutHeight_;
    int selected_ = 0;
};

}  // namespace gw
