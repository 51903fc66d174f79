#include "ui/TextureFrUnit.h"

#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "raster/Bildkern.h"
#include "raster/DibService.h"
#include "ui/Dialogs.h"
#include "ui/PaintBox.h"
#include "ui/QtBridge.h"

namespace gw {

TTextureFrame::TTextureFrame(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TextureFrame1"));
    TexBn = new QPushButton(QStringLiteral("Texture auswählen..."), this);
    TexBn->setObjectName(QStringLiteral("TexBn"));
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    DIBPaintBox = new TPaintBox;
    DIBPaintBox->setObjectName(QStringLiteral("DIBPaintBox"));
    DIBPaintBox->resize(0, 0);
    ScrollBox1->setWidget(DIBPaintBox);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(TexBn, 0, Qt::AlignTop);
    layout->addWidget(ScrollBox1, 1);

    connect(TexBn, &QPushButton::clicked, this, [this] { TexBnClick(); });
}

void TTextureFrame::TexBnClick() {
    DialogRequest request;
    request.kind = DialogKind::Open;
    request.name = QStringLiteral("TextureFrame1.OpenDialog1");
    request.filter = QtFileFilter(GetDIBOpenFilter());
    const DialogAnswer answer = RunDialog(window(), request);
    if (!answer.accepted) return;
    if (OnTextureFile && OnTextureFile(answer.fileName)) DIBPaintBox->update();
}

void TTextureFrame::FitTo(const DibImage& texture) {
    const int w = DibWidth(texture);
    const int h = DibHeight(texture);
    if (DIBPaintBox->width() != w || DIBPaintBox->height() != h) DIBPaintBox->resize(w, h);
    DIBPaintBox->update();
}

void TTextureFrame::ShowTexture(const DibImage& texture) {
    const int w = DibWidth(texture);
    const int h = DibHeight(texture);
    if (DIBPaintBox->width() != w || DIBPaintBox->height() != h) DIBPaintBox->resize(w, h);
    if (texture.Empty() || w <= 0 || h <= 0) return;
    DrawDib(DIBPaintBox->canvas(), texture, DrawDibOptions::Whole(texture, 0, 0, w, h));
}

}  // namespace gw
