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
#include <cmath>
#include <exception>
#include <memory>
#include <new>

#include "app/AboutBoxUnit.h"
#include "app/BackgroundRender.h"
#include "app/LayoutKit.h"
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
#include "platform/Catalogue.h"
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
#include "ui/GalleryCells.h"
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

using layout::Named;

namespace {

// A gallery's thumbnails from their strip in the window's pictures.
std::unique_ptr<TImageList> StripImages(const char* fileName, int count, int scale) {
    auto list = std::make_unique<TImageList>(64, 32, scale);
    list->AddStrip(LayoutImage(fileName), count);
    return list;
}

}  // namespace

struct TMainForm::Galleries {
    TGalleryBox* ScrollBox2 = nullptr;
    TPaintBox* VFormPaint = nullptr;
    TGalleryBox* ScrollBox3 = nullptr;
    TPaintBox* KantePaint = nullptr;
    TGalleryBox* ScrollBox4 = nullptr;
    TPaintBox* SchattenPaint = nullptr;
    TGalleryBox* ScrollBox5 = nullptr;
    TPaintBox* RahmenPaint = nullptr;
    SpinEdit* RHochEd = nullptr;
    QPushButton* RColorBtn = nullptr;
    std::unique_ptr<TImageList> VFormImages;
    std::unique_ptr<TImageList> KanteImages;
    std::unique_ptr<TImageList> SchattenImages;
    std::unique_ptr<TImageList> RahmenImages;
    TLiveThumbnails* thumbnails = nullptr;
    // A render has come since the live thumbnails were last made.
    bool thumbnailsStale = false;
};

void TMainForm::AreaDeleter::operator()(Galleries* area) const {
    delete area;
}

// ---------------------------------------------------------------------------------------------
// Galleries

void TMainForm::ConnectGalleries() {
    galleries_.reset(new Galleries);
    Galleries& gs = *galleries_;
    gs.ScrollBox2 = Named<TGalleryBox>(*this, "ScrollBox2");
    gs.VFormPaint = Named<TPaintBox>(*this, "VFormPaint");
    gs.ScrollBox3 = Named<TGalleryBox>(*this, "ScrollBox3");
    gs.KantePaint = Named<TPaintBox>(*this, "KantePaint");
    gs.ScrollBox4 = Named<TGalleryBox>(*this, "ScrollBox4");
    gs.SchattenPaint = Named<TPaintBox>(*this, "SchattenPaint");
    gs.ScrollBox5 = Named<TGalleryBox>(*this, "ScrollBox5");
    gs.RahmenPaint = Named<TPaintBox>(*this, "RahmenPaint");
    gs.RHochEd = Named<SpinEdit>(*this, "RHochEd");
    gs.RColorBtn = Named<QPushButton>(*this, "RColorBtn");
    // The thumbnails are made for the pixel ratio of the screen the window opens on, so they
    // are sharp there; a pixel ratio between whole ones takes the next whole one.
    const int scale = std::max(1, int(std::ceil(devicePixelRatioF() - 0.05)));
    gs.VFormImages = std::make_unique<TImageList>(MakeEnvelopeThumbnails(scale));
    gs.KanteImages = StripImages("gallery-edge.png", kEdgePresetCount, scale);
    gs.SchattenImages = StripImages("gallery-shadow.png", kShadowPresetCount, scale);
    gs.RahmenImages = StripImages("gallery-frame.png", kFramePresetCount, scale);

    struct GalleryBinding {
        TGalleryBox* gallery;
        TPaintBox* box;
        const TImageList* images;
        void (TMainForm::*click)(int, int);
        std::span<const std::string_view> names;
        int live;  // the PresetGallery of the live thumbnails, -1 for none
    };
    const GalleryBinding galleries[] = {
        {galleries_->ScrollBox2, galleries_->VFormPaint, galleries_->VFormImages.get(),
         &TMainForm::VFormPaintMouseDown, kEnvelopePresetNames, -1},
        {galleries_->ScrollBox3, galleries_->KantePaint, galleries_->KanteImages.get(),
         &TMainForm::KantePaintMouseDown, kEdgePresetNames, int(PresetGallery::Edge)},
        {galleries_->ScrollBox4, galleries_->SchattenPaint, galleries_->SchattenImages.get(),
         &TMainForm::SchattenPaintMouseDown, kShadowPresetNames, int(PresetGallery::Shadow)},
        {galleries_->ScrollBox5, galleries_->RahmenPaint, galleries_->RahmenImages.get(),
         &TMainForm::RahmenPaintMouseDown, kFramePresetNames, int(PresetGallery::Frame)},
    };
    for (const GalleryBinding& g : galleries) {
        // The keys pick a cell through the click, so a key makes the same render and undo step.
        auto* cells = new TGalleryCells(
            g.box, [g] { return GalleryLayoutOf(*g.box, *g.images); },
            [this, g](int x, int y) { (this->*g.click)(x, y); },
            [this, g] {
                return g.gallery == galleries_->ScrollBox5 ? L().settings.FrameStyle
                                                           : g.gallery->selected();
            },
            g.names);
        g.box->OnPaint = [this, g, cells] {
            // The frame gallery marks the frame style of the lettering.
            if (g.gallery == galleries_->ScrollBox5)
                g.gallery->setSelected(L().settings.FrameStyle);
            PaintGallery(
                *g.box, *g.images, g.gallery->selected(), cells->ShownCell(),
                g.live >= 0 ? &galleries_->thumbnails->Pictures(PresetGallery(g.live)) : nullptr);
        };
        g.box->OnMouseDown = [this, g](Qt::MouseButton, int x, int y) { (this->*g.click)(x, y); };
        // A gallery shown before its first paint needs its width to be painted at all.
        g.box->OnResize = [g] { FitGallery(*g.box, *g.images); };
        FitGallery(*g.box, *g.images);
    }
}

void TMainForm::RepaintFrameGallery() {
    galleries_->RahmenPaint->update();
}

void TMainForm::VFormPaintMouseDown(int x, int y) {
    const std::int32_t i = GalleryClick(*galleries_->VFormPaint, *galleries_->VFormImages, x, y);
    if (i < 0) return;
    galleries_->ScrollBox2->setSelected(i);
    Run({N_("Hüllform"), Change::EnvelopePreset, [i](Lettering& lettering) {
             ApplyEnvelopePreset(lettering, i);
             return true;
         }});
    galleries_->VFormPaint->update();
}

// The edge and shadow presets write several controls; the session has them written anew, and
// renders once.
void TMainForm::KantePaintMouseDown(int x, int y) {
    const std::int32_t i = GalleryClick(*galleries_->KantePaint, *galleries_->KanteImages, x, y);
    if (i < 0) return;
    galleries_->ScrollBox3->setSelected(i);
    Command preset{N_("Vorlage 3D-Kante"), Change::Preset, [i](Lettering& lettering) {
                       ApplyEdgePreset(lettering.settings, i);
                       return true;
                   }};
    preset.fromControl = false;
    Run(std::move(preset));
    galleries_->KantePaint->update();
}

void TMainForm::SchattenPaintMouseDown(int x, int y) {
    const std::int32_t i =
        GalleryClick(*galleries_->SchattenPaint, *galleries_->SchattenImages, x, y);
    if (i < 0) return;
    galleries_->ScrollBox4->setSelected(i);
    Command preset{N_("Vorlage Schatten"), Change::Preset, [i](Lettering& lettering) {
                       ApplyShadowPreset(lettering.settings, i);
                       return true;
                   }};
    preset.fromControl = false;
    Run(std::move(preset));
    galleries_->SchattenPaint->update();
}

void TMainForm::RahmenPaintMouseDown(int x, int y) {
    const std::int32_t i = GalleryClick(*galleries_->RahmenPaint, *galleries_->RahmenImages, x, y);
    if (i < 0) return;
    // Only a click here changes these two; documents and "Neu" leave them as they are.
    galleries_->RColorBtn->setEnabled(i == 1);
    galleries_->RHochEd->setEnabled(i == 4);
    Run({N_("Rahmen"), Change::Preset, [i](Lettering& lettering) {
             ApplyFramePreset(lettering.settings, i);
             return true;
         }});
    galleries_->RahmenPaint->update();
}

void TMainForm::ConnectLiveThumbnails() {
    galleries_->thumbnails = new TLiveThumbnails(galleries_->KanteImages->Width(),
                                                 galleries_->KanteImages->Height(), this);
    galleries_->thumbnails->SetPixelScale(galleries_->KanteImages->Scale());
    connect(galleries_->thumbnails, &TLiveThumbnails::ready, this, [this] {
        galleries_->KantePaint->update();
        galleries_->SchattenPaint->update();
        galleries_->RahmenPaint->update();
    });
    // After the render, so a set never holds the window's own render up.
    AfterEachRender([this] {
        galleries_->thumbnailsStale = true;
        RefreshThumbnails();
    });
    for (const char* tabs : {"PageControl3", "PageControl1", "PageControl4", "PageControl5"})
        connect(Named<QTabWidget>(*this, tabs), &QTabWidget::currentChanged, this,
                [this] { RefreshThumbnails(); });
}

void TMainForm::RefreshThumbnails() {
    if (!galleries_->thumbnailsStale || !galleries_->thumbnails->Enabled()) return;
    if (!galleries_->KantePaint->isVisible() && !galleries_->SchattenPaint->isVisible() &&
        !galleries_->RahmenPaint->isVisible())
        return;
    galleries_->thumbnailsStale = false;
    galleries_->thumbnails->Start(L());
}

}  // namespace gw
