// The window's wiring: each control's event to its command of the session, and the controls
// written from the lettering.

// The layout of the main window: tool bar, the two pages with the seven effect tabs, the bottom
// bar; and the wiring of every control to its handler.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <span>
#include <string_view>
#include <tuple>

#include "app/MainFUnit.h"
#include "app/Pictures.h"
#include "app/RenderSchedule.h"
#include "document/SettingsTable.h"
#include "raster/DibService.h"
#include "render/Presets.h"
#include "ui/ColorFrUnit.h"
#include "ui/Dialogs.h"
#include "ui/GalleryBox.h"
#include "ui/GalleryCells.h"
#include "ui/Image.h"
#include "ui/ImageList.h"
#include "ui/LiveThumbnails.h"
#include "ui/PaintBox.h"
#include "ui/QtBridge.h"
#include "ui/Shape.h"
#include "ui/SpinEdit.h"
#include "ui/SurfFrUnit.h"
#include "ui/Tex0FrUnit.h"
#include "ui/TextureFrUnit.h"
#include "ui/ThumbnailGallery.h"

namespace gw {

void TMainForm::ConnectHandlers() {
    // Tool bar, bottom bar, pages.
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { NewBtnClick(); });
    connect(OpenBtn, &QToolButton::clicked, this, [this] { ResizeBtnClick(); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
    connect(SaveBtn, &QToolButton::clicked, this, [this] { SaveBtnClick(); });
    connect(SaveAsBtn, &QToolButton::clicked, this, [this] { SaveAsBtnClick(); });
    connect(UndoBtn, &QToolButton::clicked, this, [this] { UndoBtnClick(); });
    connect(RedoBtn, &QToolButton::clicked, this, [this] { RedoBtnClick(); });
    connect(wwwBtn, &QToolButton::clicked, this, [this] { wwwBtnClick(); });
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
    // The result view takes the picture's size when its page is shown; it paints what the
    // window holds at that moment.
    connect(PageControl3, &QTabWidget::currentChanged, this, [this] {
        if (PageControl3->currentWidget() == TabSheet15) FitResultView();
    });

    for (ImagePair pair : {AboutPair(), EndPair()}) {
        // Only the left button presses a picture button, as with any other button.
        pair.normal->OnMouseDown = [this, pair](Qt::MouseButton button, int, int) {
            if (button == Qt::LeftButton) ImageButtonDown(pair);
        };
        for (TImage* image : {pair.normal, pair.pressed}) {
            image->OnMouseMove = [this, pair](Qt::MouseButtons, int x, int y) {
                ImageButtonMove(pair, x, y);
            };
            image->OnMouseUp = [this, pair](Qt::MouseButton, int x, int y) {
                ImageButtonUp(pair, x, y);
            };
        }
    }

    // The views.
    PaintBox1->OnPaint = [this] {
        if (!viewComposed_ || !schedule_->FirstRenderDone) PaintBox1Paint();
    };
    // Hovering sets the cursor and the drag kind, so the view follows the mouse unpressed.
    PaintBox1->setMouseTracking(true);
    PaintBox1->OnMouseDown = [this](Qt::MouseButton, int x, int y) { PaintBox1MouseDown(x, y); };
    PaintBox1->OnMouseMove = [this](Qt::MouseButtons, int x, int y) { PaintBox1MouseMove(x, y); };
    PaintBox1->OnMouseUp = [this](Qt::MouseButton, int x, int y) { PaintBox1MouseUp(x, y); };
    ErgPaintBox->OnPaint = [this] { ErgPaintBoxPaint(); };
    PaintBox1->OnOverlay = [this](Canvas& canvas, TPoint origin) {
        PaintBox1Overlay(canvas, origin);
    };
    PaintBox1->ShowPicture(&images_.Picture);
    ErgPaintBox->ShowPicture(&images_.Picture);
    connect(SaveAsButton, &QPushButton::clicked, this, [this] { ExportBtnClick(); });
    connect(PrintButton, &QPushButton::clicked, this, [this] { PrintBtnClick(); });
    connect(PreviewButton, &QPushButton::clicked, this, [this] { PreviewBtnClick(); });
    connect(CopyButton, &QPushButton::clicked, this, [this] { Kopieren1Click(); });

    // Galleries.
    struct GalleryBinding {
        TGalleryBox* gallery;
        TPaintBox* box;
        const TImageList* images;
        void (TMainForm::*click)(int, int);
        std::span<const std::string_view> names;
        int live;  // the PresetGallery of the live thumbnails, -1 for none
    };
    const GalleryBinding galleries[] = {
        {ScrollBox2, VFormPaint, VFormImages.get(), &TMainForm::VFormPaintMouseDown,
         kEnvelopePresetNames, -1},
        {ScrollBox3, KantePaint, KanteImages.get(), &TMainForm::KantePaintMouseDown,
         kEdgePresetNames, int(PresetGallery::Edge)},
        {ScrollBox4, SchattenPaint, SchattenImages.get(), &TMainForm::SchattenPaintMouseDown,
         kShadowPresetNames, int(PresetGallery::Shadow)},
        {ScrollBox5, RahmenPaint, RahmenImages.get(), &TMainForm::RahmenPaintMouseDown,
         kFramePresetNames, int(PresetGallery::Frame)},
    };
    for (const GalleryBinding& g : galleries) {
        // The keys pick a cell through the click, so a key makes the same render and undo step.
        auto* cells = new TGalleryCells(
            g.box, [g] { return GalleryLayoutOf(*g.box, *g.images); },
            [this, g](int x, int y) { (this->*g.click)(x, y); },
            [this, g] {
                return g.gallery == ScrollBox5 ? L().settings.FrameStyle : g.gallery->selected();
            },
            g.names);
        g.box->OnPaint = [this, g, cells] {
            // The frame gallery marks the frame style of the lettering.
            if (g.gallery == ScrollBox5) g.gallery->setSelected(L().settings.FrameStyle);
            PaintGallery(*g.box, *g.images, g.gallery->selected(), cells->ShownCell(),
                         g.live >= 0 ? &thumbnails_->Pictures(PresetGallery(g.live)) : nullptr);
        };
        g.box->OnMouseDown = [this, g](Qt::MouseButton, int x, int y) { (this->*g.click)(x, y); };
        // A gallery shown before its first paint needs its width to be painted at all.
        g.box->OnResize = [g] { FitGallery(*g.box, *g.images); };
        FitGallery(*g.box, *g.images);
    }
    struct Pan {
        bool active = false;
        QPoint start;
        QPoint scroll;
    };
    auto pan = std::make_shared<Pan>();
    ErgPaintBox->OnMouseDown = [this, pan](Qt::MouseButton, int x, int y) {
        // Positions are taken in the view's own coordinates, so the picture follows the pointer.
        pan->active = true;
        pan->start = ErgPaintBox->mapTo(ErgScrollBox->viewport(), QPoint(x, y));
        pan->scroll = {ErgScrollBox->horizontalScrollBar()->value(),
                       ErgScrollBox->verticalScrollBar()->value()};
    };
    ErgPaintBox->OnMouseMove = [this, pan](Qt::MouseButtons, int x, int y) {
        if (!pan->active) return;
        const QPoint now = ErgPaintBox->mapTo(ErgScrollBox->viewport(), QPoint(x, y));
        ErgScrollBox->horizontalScrollBar()->setValue(pan->start.x() + pan->scroll.x() - now.x());
        ErgScrollBox->verticalScrollBar()->setValue(pan->start.y() + pan->scroll.y() - now.y());
    };
    ErgPaintBox->OnMouseUp = [pan](Qt::MouseButton, int, int) { pan->active = false; };

    // Text.
    connect(Memo1, &QPlainTextEdit::textChanged, this, [this] { Memo1Change(); });
    connect(FontList, &QComboBox::activated, this, [this](int index) { FontListChange(index); });

    // Surfaces.
    for (int surface : {1, 2}) {
        TSurfaceFrame* frame = surface == 1 ? SurfaceFrame1 : SurfaceFrame2;
        frame->OnKindChanged = [this, surface](int kind, bool classChanged) {
            SurfaceKindChanged(surface, kind, classChanged);
        };
        frame->ColorFrame1->OnColorChosen = [this, surface](TColor colour) {
            Run({surface == 1 ? "Textfarbe" : "Hintergrundfarbe", Change::SurfaceContent,
                 [surface, colour](Lettering& lettering) {
                     (surface == 1 ? lettering.settings.SurfaceFrame1
                                   : lettering.settings.SurfaceFrame2)
                         .color = colour;
                     return true;
                 }});
        };
        frame->Texture0Frame1->Textures = [this] {
            return std::span<const DibImage>(builtinTextures_.entries);
        };
        frame->Texture0Frame1->OnTexturePicked = [this, surface](std::int32_t index) {
            SetTexture(surface, index);
        };
        frame->TextureFrame1->OnTextureFile = [this, surface](const QString& fileName) {
            bool loaded = false;
            Run({surface == 1 ? "Textur" : "Hintergrundtextur", Change::SurfaceContent,
                 [&loaded, file = ToStdString(fileName), surface](Lettering& lettering) {
                     loaded = LoadOwnTexture(lettering, file, surface == 1);
                     return loaded;
                 }});
            FitTexturePreviews();
            return loaded;
        };
        frame->TextureFrame1->DIBPaintBox->OnPaint = [this] { TextureFrame1DIBPaintBoxPaint(); };
    }

    ConnectSettings();
}

// Every control named in the settings table writes its entry when it changes, by the user or by
// the program, and then reacts as the table says. The surface pickers and the frame gallery are
// no control of that name and bind themselves above.
void TMainForm::ConnectSettings() {
    for (const SettingInfo& info : SettingsTable()) {
        const QString name = QString::fromLatin1(info.name.data(), qsizetype(info.name.size()));
        QWidget* control = findChild<QWidget*>(name);
        if (!control) continue;
        const SettingInfo* row = &info;
        settingControls_.push_back({row, control});
        const auto write = [this, row](double value) { SettingChanged(*row, value); };
        if (auto* spin = qobject_cast<SpinEdit*>(control)) {
            connect(spin, &SpinEdit::valueChanged, this, write);
            spin->installEventFilter(this);
        } else if (auto* radio = qobject_cast<QRadioButton*>(control)) {
            connect(radio, &QRadioButton::toggled, this, [write](bool on) {
                if (on) write(1);
            });
        } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
            connect(check, &QCheckBox::toggled, this, [write](bool on) { write(on ? 1 : 0); });
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            // A toggle button reacts to the user's click only, as a list to the user's choice.
            connect(button, &QAbstractButton::clicked, this,
                    [write, button] { write(button->isChecked() ? 1 : 0); });
        } else if (auto* list = qobject_cast<QComboBox*>(control)) {
            connect(list, &QComboBox::activated, this, write);
        } else if (auto* swatch = qobject_cast<TShape*>(control)) {
            // A colour swatch is set through its button: SColorShape by SColorBtn.
            QString buttonName = name;
            buttonName.replace(QStringLiteral("Shape"), QStringLiteral("Btn"));
            if (auto* button = findChild<QPushButton*>(buttonName)) {
                connect(button, &QPushButton::clicked, this, [this, swatch, write] {
                    const std::optional<TColor> chosen = ChooseColor(this, swatch->brushColor());
                    if (!chosen) return;
                    swatch->setBrushColor(*chosen);
                    write(*chosen);
                });
            }
        }
    }
}

void TMainForm::WriteSettingControls() {
    const LetteringSettings& s = L().settings;
    const bool outer = writingControls_;
    writingControls_ = true;
    for (const auto& [info, control] : settingControls_) {
        const double v = info->get(s);
        if (auto* spin = qobject_cast<SpinEdit*>(control)) {
            spin->setValue(v);
        } else if (auto* radio = qobject_cast<QRadioButton*>(control)) {
            if (v != 0) radio->setChecked(true);
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            button->setChecked(v != 0);
        } else if (auto* list = qobject_cast<QComboBox*>(control)) {
            list->setCurrentIndex(int(v));
        } else if (auto* swatch = qobject_cast<TShape*>(control)) {
            swatch->setBrushColor(static_cast<TColor>(v));
        }
    }
    writingControls_ = outer;
}

}  // namespace gw
