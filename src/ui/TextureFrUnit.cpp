#include "ui/TextureFrUnit.h"

#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QUrl>
#include <QVBoxLayout>

#include "raster/Bildkern.h"
#include "raster/DibService.h"
#include "ui/Dialogs.h"
#include "ui/PaintBox.h"
#include "ui/QtBridge.h"
#include "ui/Tr.h"

namespace gw {

TTextureFrame::TTextureFrame(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TextureFrame1"));
    TexBn = new QPushButton(QTr("Texture auswählen..."), this);
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
    ScrollBox1->viewport()->setAcceptDrops(true);
    ScrollBox1->viewport()->installEventFilter(this);
}

namespace {

// The one local file dropped, unless it is a document (the window opens those).
QString DroppedImage(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl& url = data->urls().front();
    if (!url.isLocalFile()) return {};
    const QString file = url.toLocalFile();
    return file.endsWith(QStringLiteral(".zgw"), Qt::CaseInsensitive) ? QString() : file;
}

}  // namespace

bool TTextureFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched != ScrollBox1->viewport()) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (DroppedImage(drag->mimeData()).isEmpty()) return false;
        drag->acceptProposedAction();
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString file = DroppedImage(drop->mimeData());
        if (file.isEmpty()) return false;
        drop->acceptProposedAction();
        // The receiver reports a file it cannot read.
        if (OnTextureFile && OnTextureFile(file)) DIBPaintBox->update();
        return true;
    }
    return QWidget::eventFilter(watched, event);
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
