// The controls of the settings: each control's event to its command of the session, and the
// controls written from the lettering.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
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

#include "app/LayoutKit.h"
#include "app/MainFUnit.h"
#include "app/Pictures.h"
#include "app/RenderSchedule.h"
#include "document/BuiltinTextures.h"
#include "document/LetteringFile.h"
#include "document/SettingsTable.h"
#include "platform/Catalogue.h"
#include "platform/TextLayout.h"
#include "raster/DibService.h"
#include "render/Presets.h"
#include "ui/ColorFrUnit.h"
#include "ui/Dialogs.h"
#include "ui/GalleryBox.h"
#include "ui/GalleryCells.h"
#include "ui/Image.h"
#include "ui/ImageList.h"
#include "ui/LiveThumbnails.h"
#include "ui/LongTextBox.h"
#include "ui/PaintBox.h"
#include "ui/QtBridge.h"
#include "ui/Shape.h"
#include "ui/SpinEdit.h"
#include "ui/SurfFrUnit.h"
#include "ui/Tex0FrUnit.h"
#include "ui/TextureFrUnit.h"
#include "ui/ThumbnailGallery.h"
#include "ui/Tr.h"

namespace gw {

using layout::Named;

namespace {

// The memo's text and the model's lines: lines end at a line break; a break at the very end
// makes no empty last line.
QString JoinLines(const std::vector<std::string>& lines) {
    QStringList parts;
    for (const std::string& line : lines)
        parts << ToQString(line);
    return parts.join(QLatin1Char('\n'));
}

// An entry of the font list that names the lettering's font where it is not installed.
constexpr int kMissingFontRole = Qt::UserRole + 1;

// The font list shows the lettering's font by its own name. One that is not installed gets an
// entry of its own at the top, marked as missing, rather than the list showing a family that is
// not the one drawn; choosing that entry again keeps the name. An earlier such entry for another
// name goes.
void ShowFontInList(QComboBox* list, const QString& family) {
    for (int i = list->count() - 1; i >= 0; --i)
        if (list->itemData(i, kMissingFontRole).toBool() && list->itemData(i).toString() != family)
            list->removeItem(i);
    int index = list->findData(family, Qt::UserRole, Qt::MatchFixedString);
    if (index < 0 && !family.isEmpty()) {
        const QString shown = ToQString(ShownFontName(ToStdString(family)));
        list->insertItem(0, QTr("%1 (fehlt)").arg(shown), family);
        list->setItemData(0, true, kMissingFontRole);
        index = 0;
    }
    if (index >= 0) list->setCurrentIndex(index);
}

// The text box's font: the lettering's family first. A character it lacks is looked for by
// script among the installed fonts, which misses a font that has the character without
// declaring the whole script's language; the desktop's sans comes next, so the text box shows
// what the picture draws instead of empty boxes.
QFont TextBoxFont(const QString& family) {
    QFont font;
    font.setFamilies({family, QFontDatabase::systemFont(QFontDatabase::GeneralFont).family(),
                      QStringLiteral("sans-serif")});
    return font;
}

// Every control named in the settings table, bound to its row.
struct SettingControl {
    const SettingInfo* info;
    QWidget* control;
};

}  // namespace

struct TMainForm::Controls {
    QPlainTextEdit* Memo1 = nullptr;
    QComboBox* FontList = nullptr;
    TSurfaceFrame* SurfaceFrame1 = nullptr;
    TSurfaceFrame* SurfaceFrame2 = nullptr;
    std::vector<SettingControl> settingControls;
    // Set while the program writes controls: their handlers make no commands.
    bool writing = false;
};

void TMainForm::AreaDeleter::operator()(Controls* area) const {
    delete area;
}

void TMainForm::ConnectControls() {
    controls_.reset(new Controls);
    Controls& c = *controls_;
    c.Memo1 = Named<QPlainTextEdit>(*this, "Memo1");
    c.FontList = Named<QComboBox>(*this, "FontList");
    c.SurfaceFrame1 = Named<TSurfaceFrame>(*this, "SurfaceFrame1");
    c.SurfaceFrame2 = Named<TSurfaceFrame>(*this, "SurfaceFrame2");

    // Text.
    connect(c.Memo1, &QPlainTextEdit::textChanged, this, [this] { Memo1Change(); });
    connect(c.FontList, &QComboBox::activated, this, [this](int index) { FontListChange(index); });

    // Surfaces.
    for (int surface : {1, 2}) {
        TSurfaceFrame* frame = surface == 1 ? c.SurfaceFrame1 : c.SurfaceFrame2;
        frame->OnKindChanged = [this, surface](int kind, bool classChanged) {
            SurfaceKindChanged(surface, kind, classChanged);
        };
        frame->ColorFrame1->OnColorChosen = [this, surface](TColor colour) {
            Run({surface == 1 ? N_("Textfarbe") : N_("Hintergrundfarbe"), Change::SurfaceContent,
                 [surface, colour](Lettering& lettering) {
                     (surface == 1 ? lettering.settings.SurfaceFrame1
                                   : lettering.settings.SurfaceFrame2)
                         .color = colour;
                     return true;
                 }});
        };
        frame->Texture0Frame1->Textures = [this] {
            return std::span<const DibImage>(builtinTextures().entries);
        };
        frame->Texture0Frame1->OnTexturePicked = [this, surface](std::int32_t index) {
            SetTexture(surface, index);
        };
        frame->TextureFrame1->OnTextureFile = [this, surface](const QString& fileName) {
            bool loaded = false;
            Run({surface == 1 ? N_("Textur") : N_("Hintergrundtextur"), Change::SurfaceContent,
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
        controls_->settingControls.push_back({row, control});
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

bool TMainForm::WritingControls() const {
    return controls_->writing;
}

// The surface colours, swatch and dialog alike, and the colour panels of both pickers; the text
// box leaves undo and its keys to the window.
void TMainForm::StartControls() {
    Controls& c = *controls_;
    c.SurfaceFrame1->ColorFrame1->SetColor(L().settings.SurfaceFrame1.color);
    c.SurfaceFrame2->ColorFrame1->SetColor(L().settings.SurfaceFrame2.color);
    c.SurfaceFrame1->SetMeRight(0);
    c.SurfaceFrame2->SetMeRight(0);
    c.Memo1->setUndoRedoEnabled(false);
    c.Memo1->installEventFilter(this);
}

// The built-in textures have loaded: the pickers show them.
void TMainForm::ShowTextures() {
    FitTexturePreviews();
    controls_->SurfaceFrame1->Texture0Frame1->Tex0Paint->update();
    controls_->SurfaceFrame2->Texture0Frame1->Tex0Paint->update();
}

void TMainForm::WriteSettingControls() {
    const LetteringSettings& s = L().settings;
    const bool outer = controls_->writing;
    controls_->writing = true;
    for (const auto& [info, control] : controls_->settingControls) {
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
    controls_->writing = outer;
}

// ---------------------------------------------------------------------------------------------
// Writing the controls from the model

void TMainForm::WriteControls() {
    const LetteringSettings& s = L().settings;
    const bool outer = controls_->writing;
    controls_->writing = true;
    // Setting a control fires its handler, which writes the same value back.
    ShowInTextBox(controls_->Memo1, JoinLines(s.Memo1));
    ShowFontInList(controls_->FontList, ToQString(s.Font.name));
    ShowLetteringFont();

    // The surface pickers: kind, colour in swatch and dialog alike, and the matching panel.
    struct Surface {
        TSurfaceFrame* frame;
        const SurfaceSettings& settings;
    };
    for (const Surface& surface : {Surface{controls_->SurfaceFrame1, s.SurfaceFrame1},
                                   Surface{controls_->SurfaceFrame2, s.SurfaceFrame2}}) {
        surface.frame->CheckKind(int(surface.settings.kind));
        surface.frame->ColorFrame1->SetColor(surface.settings.color);
        surface.frame->SetMeRight(int(surface.settings.kind));
    }
    FitTexturePreviews();

    FollowPictureSize();
    WriteSettingControls();
    RepaintFrameGallery();
    controls_->writing = outer;
}

void TMainForm::ShowLetteringFont() {
    const LetteringFont& font = L().settings.Font;
    QFont memoFont = TextBoxFont(ToQString(font.name));
    memoFont.setPixelSize(16);
    memoFont.setBold(font.bold);
    memoFont.setItalic(font.italic);
    controls_->Memo1->setFont(memoFont);
}

void TMainForm::SettingChanged(const SettingInfo& info, double value) {
    if (controls_->writing) return;
    if (info.change == Change::EditMode) {
        // The mode is the view's tool: it changes the lettering but makes no step.
        if (value == 0) return;
        Command mode = SettingCommand(info, value);
        mode.name.clear();
        if (info.name == "DrawFace") session().editor().StartDrawing();
        Run(std::move(mode));
        return;
    }
    Run(SettingCommand(info, value));
    if (info.change == Change::FontStyle) ShowLetteringFont();
}

// ---------------------------------------------------------------------------------------------
// Handlers of the controls

void TMainForm::Memo1Change() {
    if (controls_->writing) return;
    const QString text = controls_->Memo1->toPlainText();
    const QString current = JoinLines(L().settings.Memo1);
    if (text == current) return;
    const std::string utf8 = ToStdString(text);
    if (!TextFitsDocument(SplitTextLines(utf8))) {
        // A paste too long for a lettering is refused whole; the text stays as it was.
        {
            const QSignalBlocker quiet(controls_->Memo1);
            controls_->Memo1->setPlainText(current);
            controls_->Memo1->moveCursor(QTextCursor::End);
        }
        ShowMessageBox(catalogue::Tr(kTextTooLongMessage), catalogue::Tr("Fehler"), MsgIcon::Error);
        return;
    }
    Command typed{N_("Text"), Change::Memo1, [lines = SplitTextLines(utf8)](Lettering& lettering) {
                      lettering.settings.Memo1 = lines;
                      return true;
                  }};
    typed.typed = true;
    Run(std::move(typed));
}

void TMainForm::FontListChange(int index) {
    const bool selected = index >= 0 && controls_->FontList->count() > 0;
    Command font{"", Change::FontList, nullptr};
    font.eventCondition = selected;
    if (selected) {
        const QString family = controls_->FontList->itemData(index).toString();
        font.name = N_("Schriftart");
        font.apply = [name = ToStdString(family)](Lettering& lettering) {
            lettering.settings.Font.name = name;
            return true;
        };
        QFont memoFont = controls_->Memo1->font();
        memoFont.setFamilies(TextBoxFont(family).families());
        controls_->Memo1->setFont(memoFont);
    }
    Run(std::move(font));
}

void TMainForm::SurfaceKindChanged(int surface, int kind, bool classChanged) {
    Command command{surface == 1 ? N_("Textoberfläche") : N_("Hintergrund"), Change::SurfaceKind,
                    [surface, kind](Lettering& lettering) {
                        SurfaceSettings& settings = surface == 1 ? lettering.settings.SurfaceFrame1
                                                                 : lettering.settings.SurfaceFrame2;
                        settings.kind = static_cast<SurfaceKind>(kind);
                        return true;
                    }};
    command.eventCondition = classChanged;
    Run(std::move(command));
}

void TMainForm::SetTexture(int surface, int index) {
    Run({surface == 1 ? N_("Textur") : N_("Hintergrundtextur"), Change::SurfaceContent,
         [this, surface, index](Lettering& lettering) {
             gw::SetTexture(lettering, builtinTextures(), index, surface == 1);
             return true;
         }});
    FitTexturePreviews();
}

void TMainForm::FitTexturePreviews() {
    // A preview takes its texture's size before it paints, so an empty box gets painted too.
    controls_->SurfaceFrame1->TextureFrame1->FitTo(L().TextTexture);
    controls_->SurfaceFrame2->TextureFrame1->FitTo(L().BackgroundTexture);
}

void TMainForm::TextureFrame1DIBPaintBoxPaint() {
    controls_->SurfaceFrame1->TextureFrame1->ShowTexture(L().TextTexture);
    controls_->SurfaceFrame2->TextureFrame1->ShowTexture(L().BackgroundTexture);
}

void TMainForm::FillFontList() {
    // Each entry shows at most 32 characters of its name and keeps the whole name as its data,
    // which is what a lettering stores and matches.
    controls_->FontList->clear();
    for (const std::string& family : EnumFontFamilies())
        controls_->FontList->addItem(ToQString(ShownFontName(family)), ToQString(family));
    // Selected without the change handler: the lettering font keeps the name it starts with.
    const int arialBlack = controls_->FontList->findData(QStringLiteral("Arial Black"));
    controls_->FontList->setCurrentIndex(
        arialBlack >= 0 ? arialBlack : (controls_->FontList->count() == 0 ? -1 : 0));
}

}  // namespace gw
