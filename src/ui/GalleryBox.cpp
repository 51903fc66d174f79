#include "ui/GalleryBox.h"

#include <algorithm>

#include "ui/PaintBox.h"

namespace gw {

TGalleryBox::TGalleryBox(int laidOutHeight, QWidget* parent)
    : QScrollArea(parent), laidOutHeight_(laidOutHeight) {
    setBackgroundRole(QPalette::Dark);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box_ = new TPaintBox;
    box_->resize(0, laidOutHeight);
    setWidget(box_);
}

void TGalleryBox::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    const int height = std::min(laidOutHeight_, viewport()->height());
    if (box_->height() != height) box_->resize(box_->width(), height);
}

}  // namespace gw
