#include "ui/Tex0FrUnit.h"

#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "raster/Bildkern.h"
#include "ui/GalleryCells.h"
#include "ui/PaintBox.h"
#include "ui/ThumbnailGallery.h"

namespace gw {

TTexture0Frame::TTexture0Frame(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Texture0Frame1"));
    ScrollBox2 = new QScrollArea(this);
    ScrollBox2->setObjectName(QStringLiteral("ScrollBox2"));
    ScrollBox2->setBackgroundRole(QPalette::Dark);
    ScrollBox2->setWidgetResizable(false);
    ScrollBox2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Tex0Paint = new TPaintBox;
    Tex0Paint->setObjectName(QStringLiteral("Tex0Paint"));
    Tex0Paint->resize(0, 0);
    ScrollBox2->setWidget(Tex0Paint);
    ScrollBox2->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ScrollBox2);

    Tex0Paint->OnPaint = [this] { Tex0PaintPaint(); };
    Tex0Paint->OnMouseDown = [this](Qt::MouseButton, int x, int y) { Tex0PaintMouseDown(x, y); };
    cells_ = new TGalleryCells(
        Tex0Paint,
        [this] {
            FitWidth();
            return Layout();
        },
        [this](int x, int y) { Tex0PaintMouseDown(x, y); }, [this] { return selected_; });
}

std::int32_t TTexture0Frame::TextureCount() const {
    return Textures ? std::int32_t(Textures().size()) : 0;
}

GalleryLayout TTexture0Frame::Layout() const {
    GalleryLayout layout;
    layout.cellWidth = 32;
    layout.cellHeight = 32;
    layout.count = TextureCount();
    layout.boxHeight = Tex0Paint->height();
    return layout;
}

void TTexture0Frame::FitWidth() {
    const std::int32_t width = Layout().Width();
    if (Tex0Paint->width() != width) Tex0Paint->resize(width, Tex0Paint->height());
}

void TTexture0Frame::Tex0PaintPaint() {
    FitWidth();
    Canvas& canvas = Tex0Paint->canvas();
    canvas.brush = Brush{0x808080, BrushStyle::Solid};
    canvas.FillRect({0, 0, Tex0Paint->bitmap().Width(), Tex0Paint->bitmap().Height()});
    const GalleryLayout layout = Layout();
    if (layout.Rows() <= 0 || !Textures) return;
    const std::span<const DibImage> textures = Textures();
    for (std::int32_t i = 0; i < layout.count; ++i) {
        const DibImage& texture = textures[std::size_t(i)];
        if (texture.Empty()) continue;
        const TRect cell = layout.Cell(i);
        DrawDib(canvas, texture, DrawDibOptions::Whole(texture, cell.left, cell.top, 32, 32));
    }
    if (selected_ >= 0 && selected_ < layout.count) {
        const TRect cell = layout.Cell(selected_);
        canvas.DrawFocusRect({cell.left, cell.top, cell.right, cell.bottom});
    }
    const std::int32_t focus = cells_->ShownCell();
    if (focus >= 0 && focus < layout.count) DrawFocusCell(canvas, layout.Cell(focus));
}

void TTexture0Frame::Tex0PaintMouseDown(int x, int y) {
    FitWidth();
    const std::int32_t hit = Layout().HitTest(x, y);
    if (hit < 0) return;
    selected_ = hit;
    Tex0Paint->update();
    if (OnTexturePicked) OnTexturePicked(hit);
}

void TTexture0Frame::ScrollBox2Resize() {
    const int height = ScrollBox2->viewport()->height();
    if (Tex0Paint->height() != height) Tex0Paint->resize(Tex0Paint->width(), height);
    FitWidth();
}

bool TTexture0Frame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ScrollBox2->viewport() && event->type() == QEvent::Resize) ScrollBox2Resize();
    return QWidget::eventFilter(watched, event);
}

}  // namespace gw
