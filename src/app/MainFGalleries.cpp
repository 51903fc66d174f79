// The galleries: envelope shapes and the edge, shadow and frame presets, with their live
// thumbnails of the lettering.

#include "app/MainFUnit.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <memory>
#include <new>

#include "app/AboutBoxUnit.h"
#include "app/BackgroundRender.h"
#include "app/LogoFUnit.h"
#include "app/MemoryGuard.h"
#include "app/Pictures.h"
#include "app/RecentDocuments.h"
#include "app/RenderSchedule.h"
#include "document/LetteringFile.h"
#include "document/PictureSize.h"
#include "editing/EditView.h"
#include "editing/EnvelopeEditor.h"
#include "editing/ViewZoom.h"
#include "platform/AllocationLimit.h"
#include "platform/FileAccess.h"
#include "platform/System.h"
#include "platform/TextLayout.h"
#include "raster/Bildkern.h"
#include "raster/DibService.h"
#include "render/Presets.h"
#include "render/TextRaster.h"
#include "ui/ColorFrUnit.h"
#include "ui/Dialogs.h"
#include "ui/EnvelopeThumbnails.h"
#include "ui/GalleryBox.h"
#include "ui/Image.h"
#include "ui/ImageList.h"
#include "ui/LiveThumbnails.h"
#include "ui/PaintBox.h"
#include "ui/PictureExport.h"
#include "ui/QtBridge.h"
#include "ui/RenderProgress.h"
#include "ui/ResizeFUnit.h"
#include "ui/Shape.h"
#include "ui/SpinEdit.h"
#include "ui/SurfFrUnit.h"
#include "ui/Tex0FrUnit.h"
#include "ui/TextureFrUnit.h"
#include "ui/ThumbnailGallery.h"
#include "ui/ViewNavigator.h"

namespace gw {

// ---------------------------------------------------------------------------------------------
// Galleries

void TMainForm::VFormPaintMouseDown(int x, int y) {
    const std::int32_t i = GalleryClick(*VFormPaint, *VFormImages, x, y);
    if (i < 0) return;
    ScrollBox2->setSelected(i);
    Run({"Hüllform", Change::EnvelopePreset, [i](Lettering& lettering) {
             ApplyEnvelopePreset(lettering, i);
             return true;
         }});
    VFormPaint->update();
}

// The edge and shadow presets write several controls; the session has them written anew, and
// renders once.
void TMainForm::KantePaintMouseDown(int x, int y) {
    const std::int32_t i = GalleryClick(*KantePaint, *KanteImages, x, y);
    if (i < 0) return;
    ScrollBox3->setSelected(i);
    Command preset{"Vorlage 3D-Kante", Change::Preset, [i](Lettering& lettering) {
                       ApplyEdgePreset(lettering.settings, i);
                       return true;
                   }};
    preset.fromControl = false;
    Run(std::move(preset));
    KantePaint->update();
}

void TMainForm::SchattenPaintMouseDown(int x, int y) {
    const std::int32_t i = GalleryClick(*SchattenPaint, *SchattenImages, x, y);
    if (i < 0) return;
    ScrollBox4->setSelected(i);
    Command preset{"Vorlage Schatten", Change::Preset, [i](Lettering& lettering) {
                       ApplyShadowPreset(lettering.settings, i);
                       return true;
                   }};
    preset.fromControl = false;
    Run(std::move(preset));
    SchattenPaint->update();
}

void TMainForm::RahmenPaintMouseDown(int x, int y) {
    const std::int32_t i = GalleryClick(*RahmenPaint, *RahmenImages, x, y);
    if (i < 0) return;
    // Only a click here changes these two; documents and "Neu" leave them as they are.
    RColorBtn->setEnabled(i == 1);
    RHochEd->setEnabled(i == 4);
    Run({"Rahmen", Change::Preset, [i](Lettering& lettering) {
             ApplyFramePreset(lettering.settings, i);
             return true;
         }});
    RahmenPaint->update();
}

void TMainForm::ConnectLiveThumbnails() {
    thumbnails_ = new TLiveThumbnails(KanteImages->Width(), KanteImages->Height(), this);
    connect(thumbnails_, &TLiveThumbnails::ready, this, [this] {
        KantePaint->update();
        SchattenPaint->update();
        RahmenPaint->update();
    });
    // After the render, so a set never holds the window's own render up.
    connect(schedule_, &TRenderSchedule::rendered, this, [this] {
        thumbnailsStale_ = true;
        RefreshThumbnails();
    });
    for (QTabWidget* tabs : {PageControl3, PageControl1, PageControl4, PageControl5})
        connect(tabs, &QTabWidget::currentChanged, this, [this] { RefreshThumbnails(); });
}

void TMainForm::RefreshThumbnails() {
    if (!thumbnailsStale_ || !thumbnails_->Enabled()) return;
    if (!KantePaint->isVisible() && !SchattenPaint->isVisible() && !RahmenPaint->isVisible())
        return;
    thumbnailsStale_ = false;
    thumbnails_->Start(L());
}

}  // namespace gw
