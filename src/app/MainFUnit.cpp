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
#include "ui/LongTextBox.h"
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

namespace {

// The memo's text and the model's lines: lines end at a line break; a break at the very end
// makes no empty last line.
QString JoinLines(const std::vector<std::string>& lines) {
    QStringList parts;
    for (const std::string& line : lines)
        parts << ToQString(line);
    return parts.join(QLatin1Char('\n'));
}

// A gallery's thumbnails from their strip in the window's pictures.
std::unique_ptr<TImageList> StripImages(const char* fileName, int count) {
    auto list = std::make_unique<TImageList>(64, 32);
    list->AddStrip(LayoutImage(fileName), count);
    return list;
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainForm"));
    FormCreate();
}

TMainForm::~TMainForm() {
    FormDestroy();
}

// ---------------------------------------------------------------------------------------------
// Life cycle

void TMainForm::FormCreate() {
    programFolder_ = ProgramFolder();

    QFont dialogFont = font();
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    resize(648, 577);
    setToolTipDuration(-1);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    BuildToolBar(central);
    layout->addWidget(Panel25);
    PageControl3 = new QTabWidget(central);
    PageControl3->setObjectName(QStringLiteral("PageControl3"));
    layout->addWidget(PageControl3, 1);
    BuildMakePage();
    BuildResultPage();
    BuildBottomBar(central);
    layout->addWidget(Panel7);
    setCentralWidget(central);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(19);
    StatusBar1->setSizeGripEnabled(true);
    setStatusBar(StatusBar1);
    ZoomLabel = new QLabel(StatusBar1);
    ZoomLabel->setObjectName(QStringLiteral("ZoomLabel"));
    StatusBar1->addPermanentWidget(ZoomLabel);

    schedule_ = new TRenderSchedule(this);
    schedule_->Render = [this] { return RenderNow(); };
    SetUpBackgroundRender();

    // The window's undo everywhere, the text box's and the spin fields' own undo switched off.
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_Z)}) {
        auto* undo = new QShortcut(keys, this);
        connect(undo, &QShortcut::activated, this, [this] { UndoBtnClick(); });
    }
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}) {
        auto* redo = new QShortcut(keys, this);
        connect(redo, &QShortcut::activated, this, [this] { RedoBtnClick(); });
    }

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::ApplicationShortcut);
    connect(help, &QShortcut::activated, this, [this] { HelpContents(); });

    VFormImages = std::make_unique<TImageList>(MakeEnvelopeThumbnails());
    KanteImages = StripImages("gallery-edge.png", kEdgePresetCount);
    SchattenImages = StripImages("gallery-shadow.png", kShadowPresetCount);
    RahmenImages = StripImages("gallery-frame.png", kFramePresetCount);
    ResizeForm = new TResizeForm(this);

    ConnectHandlers();
    ConnectZoom();
    ConnectDesktopHabits();
    ConnectLiveThumbnails();

    session_.Observe([this](const SessionNotice& notice) { SessionNotified(notice); });
    UpdateCaption();
    // The surface colours, swatch and dialog alike, and the colour panels of both pickers.
    SurfaceFrame1->ColorFrame1->SetColor(L().settings.SurfaceFrame1.color);
    SurfaceFrame2->ColorFrame1->SetColor(L().settings.SurfaceFrame2.color);
    SurfaceFrame1->SetMeRight(0);
    SurfaceFrame2->SetMeRight(0);
    editZoom_->SetPictureSize({L().width, L().height});
    ResizePaintBox();
    FillFontList();
    WriteControls();
    MakeWhitePicture(L(), images_.Picture);
    FitResultView();
    editor_->TabActive = PageControl1->currentWidget() == TabSheet4;
    helpFile_ = ToQString(DataFolder()) + QString::fromLatin1(kHelpFileName);
    Memo1->setUndoRedoEnabled(false);
    Memo1->installEventFilter(this);
    connect(schedule_, &TRenderSchedule::rendered, this, [this] { session_.FinishOpenStep(); });
    // Esc drew nothing; F5 draws the settings again.
    auto* redraw = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(redraw, &QShortcut::activated, this, [this] { schedule_->SettingsUpdated(); });
    UpdateUndoButtons();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormShow();
}

void TMainForm::FormShow() {
    if (shownOnce_) return;
    shownOnce_ = true;
    logoForm_ = new TLogoForm(this);
    logoForm_->show();
    QCoreApplication::processEvents();

    LoadBuiltinTextures(builtinTextures_, DataFolder(), [] { QCoreApplication::processEvents(); });
    session_.Restart(
        [this](Lettering& lettering) { SetStartTextures(lettering, builtinTextures_); });
    FitTexturePreviews();
    SurfaceFrame1->Texture0Frame1->Tex0Paint->update();
    SurfaceFrame2->Texture0Frame1->Tex0Paint->update();
    logoForm_->hide();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery()) {
        event->accept();
    } else {
        event->ignore();
    }
}

bool TMainForm::FormCloseQuery() {
    return MayDropChanges(
        "Hiermit beenden Sie das Programm. Alle nicht gespeicherten Einstellungen gehen "
        "verloren.",
        "Beenden", MsgIcon::Information);
}

void TMainForm::FormDestroy() {
    schedule_->StopCountdown();
    editZoom_->SetPanning(false);
    deldib(images_.TextMask);
    deldib(images_.TextImage);
    deldib(images_.Picture);
    for (DibImage& texture : builtinTextures_.entries)
        deldib(texture);
    builtinTextures_.entries.clear();
    if (helpWindow_) {
        helpWindow_->close();
        delete helpWindow_;
        helpWindow_ = nullptr;
    }
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    ResizePaintBox();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (RunSharedMnemonic(watched, event)) return true;
    // The keys of undo and redo go to the window's shortcuts, not to the text fields.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const auto combo = key->keyCombination();
        if (combo == QKeyCombination(Qt::ControlModifier, Qt::Key_Z) ||
            combo == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
            combo == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)) {
            event->ignore();
            return true;
        }
    }
    if (watched == ScrollBox1 && event->type() == QEvent::Resize) ResizePaintBox();
    if (watched == Panel8 && heldPair_) {
        if (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint p = heldPair_->normal->mapFrom(Panel8, mouse->position().toPoint());
            if (event->type() == QEvent::MouseMove) {
                ImageButtonMove(*heldPair_, p.x(), p.y());
            } else {
                ImageButtonUp(*heldPair_, p.x(), p.y());
            }
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Writing the controls from the model

void TMainForm::WriteControls() {
    const LetteringSettings& s = L().settings;
    const bool outer = writingControls_;
    writingControls_ = true;
    // Setting a control fires its handler, which writes the same value back.
    ShowInTextBox(Memo1, JoinLines(s.Memo1));
    const int fontIndex = FontList->findData(ToQString(s.Font.name));
    if (fontIndex >= 0) FontList->setCurrentIndex(fontIndex);
    ShowLetteringFont();

    // The surface pickers: kind, colour in swatch and dialog alike, and the matching panel.
    struct Surface {
        TSurfaceFrame* frame;
        const SurfaceSettings& settings;
    };
    for (const Surface& surface :
         {Surface{SurfaceFrame1, s.SurfaceFrame1}, Surface{SurfaceFrame2, s.SurfaceFrame2}}) {
        surface.frame->CheckKind(int(surface.settings.kind));
        surface.frame->ColorFrame1->SetColor(surface.settings.color);
        surface.frame->SetMeRight(int(surface.settings.kind));
    }
    FitTexturePreviews();

    if (editZoom_->pictureSize() != QSize(L().width, L().height)) {
        // The view keeps its place; only a change of the window centres it again.
        editZoom_->SetPictureSize({L().width, L().height});
        FitScrollContent();
        viewComposed_ = false;
    }
    WriteSettingControls();
    RahmenPaint->update();
    writingControls_ = outer;
}

void TMainForm::ShowLetteringFont() {
    const LetteringFont& font = L().settings.Font;
    QFont memoFont(ToQString(font.name));
    memoFont.setPixelSize(16);
    memoFont.setBold(font.bold);
    memoFont.setItalic(font.italic);
    Memo1->setFont(memoFont);
}

void TMainForm::SettingChanged(const SettingInfo& info, double value) {
    if (writingControls_) return;
    if (info.change == Change::EditMode) {
        // The mode is the view's tool: it changes the lettering but makes no step.
        if (value == 0) return;
        Command mode = SettingCommand(info, value);
        mode.name.clear();
        if (DrawFace->isChecked()) editor_->StartDrawing();
        Run(std::move(mode));
        return;
    }
    Run(SettingCommand(info, value));
    if (info.change == Change::FontStyle) ShowLetteringFont();
}

// ---------------------------------------------------------------------------------------------
// Handlers of the controls

void TMainForm::Memo1Change() {
    if (writingControls_) return;
    const QString text = Memo1->toPlainText();
    const QString current = JoinLines(L().settings.Memo1);
    if (text == current) return;
    const std::string utf8 = ToStdString(text);
    if (!TextFitsDocument(SplitTextLines(utf8))) {
        // A paste too long for a lettering is refused whole; the text stays as it was.
        {
            const QSignalBlocker quiet(Memo1);
            Memo1->setPlainText(current);
            Memo1->moveCursor(QTextCursor::End);
        }
        ShowMessageBox(kTextTooLongMessage, "Fehler", MsgIcon::Error);
        return;
    }
    Command typed{"Text", Change::Memo1, [lines = SplitTextLines(utf8)](Lettering& lettering) {
                      lettering.settings.Memo1 = lines;
                      return true;
                  }};
    typed.typed = true;
    Run(std::move(typed));
}

void TMainForm::FontListChange(int index) {
    const bool selected = index >= 0 && FontList->count() > 0;
    Command font{"", Change::FontList, nullptr};
    font.eventCondition = selected;
    if (selected) {
        const QString family = FontList->itemData(index).toString();
        font.name = "Schriftart";
        font.apply = [name = ToStdString(family)](Lettering& lettering) {
            lettering.settings.Font.name = name;
            return true;
        };
        QFont memoFont = Memo1->font();
        memoFont.setFamily(family);
        Memo1->setFont(memoFont);
    }
    Run(std::move(font));
}

void TMainForm::SurfaceKindChanged(int surface, int kind, bool classChanged) {
    Command command{surface == 1 ? "Textoberfläche" : "Hintergrund", Change::SurfaceKind,
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
    Run({surface == 1 ? "Textur" : "Hintergrundtextur", Change::SurfaceContent,
         [this, surface, index](Lettering& lettering) {
             gw::SetTexture(lettering, builtinTextures_, index, surface == 1);
             return true;
         }});
    FitTexturePreviews();
}

void TMainForm::FitTexturePreviews() {
    // A preview takes its texture's size before it paints, so an empty box gets painted too.
    SurfaceFrame1->TextureFrame1->FitTo(L().TextTexture);
    SurfaceFrame2->TextureFrame1->FitTo(L().BackgroundTexture);
}

void TMainForm::TextureFrame1DIBPaintBoxPaint() {
    SurfaceFrame1->TextureFrame1->ShowTexture(L().TextTexture);
    SurfaceFrame2->TextureFrame1->ShowTexture(L().BackgroundTexture);
}

void TMainForm::FitResultView() {
    ErgPaintBox->PictureChanged();
    ErgPaintBoxPaint();
    ErgPaintBox->update();
}

void TMainForm::ErgPaintBoxPaint() {
    const QSize size(DibWidth(images_.Picture), DibHeight(images_.Picture));
    if (resultZoom_->pictureSize() != size) resultZoom_->SetPictureSize(size);
}

void TMainForm::FillFontList() {
    // Each entry shows at most 32 characters of its name and keeps the whole name as its data,
    // which is what a lettering stores and matches.
    FontList->clear();
    for (const std::string& family : EnumFontFamilies())
        FontList->addItem(ToQString(ShownFontName(family)), ToQString(family));
    // Selected without the change handler: the lettering font keeps the name it starts with.
    const int arialBlack = FontList->findData(QStringLiteral("Arial Black"));
    FontList->setCurrentIndex(arialBlack >= 0 ? arialBlack : (FontList->count() == 0 ? -1 : 0));
}

// ---------------------------------------------------------------------------------------------
// Shell

void TMainForm::ueberbtnClick() {
    TAboutBox box(this);
    box.exec();
}

void TMainForm::EndeBtnClick() {
    close();
}

void TMainForm::wwwBtnClick() {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePage)));
}

void TMainForm::HelpContents() {
    if (!helpWindow_) {
        helpWindow_ = new QTextBrowser;
        helpWindow_->setObjectName(QStringLiteral("HelpWindow"));
        // An open help window does not keep the program running once the main window closed.
        helpWindow_->setAttribute(Qt::WA_QuitOnClose, false);
        helpWindow_->setWindowTitle(QStringLiteral("Zarbo Glyphwerk - Hilfe"));
        helpWindow_->setOpenExternalLinks(true);
        helpWindow_->resize(620, 560);
    }
    if (QFileInfo::exists(helpFile_)) {
        helpWindow_->setSource(QUrl::fromLocalFile(helpFile_));
    } else {
        helpWindow_->setHtml(QStringLiteral("<p>Die Hilfedatei <b>%1</b> wurde nicht gefunden.</p>")
                                 .arg(helpFile_.toHtmlEscaped()));
    }
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

bool TMainForm::Pressed(ImagePair pair) {
    return pair.normal->property("pressed").toBool();
}

TMainForm::ImagePair TMainForm::AboutPair() {
    return {ueberbtn, ueberBtn2};
}

TMainForm::ImagePair TMainForm::EndPair() {
    return {EndeBtn, EndeBtnDown};
}

void TMainForm::ImageButtonDown(ImagePair pair) {
    pair.pressed->show();
    pair.normal->hide();
    pair.normal->setProperty("pressed", true);
    heldPairStorage_ = pair;
    heldPair_ = &heldPairStorage_;
    // The normal picture is hidden now; the panel holds the mouse until it is released.
    if (Panel8->isVisible()) Panel8->grabMouse();
}

void TMainForm::ImageButtonMove(ImagePair pair, int x, int y) {
    if (!Pressed(pair)) return;
    const bool outside = x < 0 || x >= pair.normal->width() || y < 0 || y >= pair.normal->height();
    pair.normal->setVisible(outside);
    pair.pressed->setVisible(!outside);
}

void TMainForm::ImageButtonUp(ImagePair pair, int x, int y) {
    if (!Pressed(pair)) return;
    if (QWidget::mouseGrabber() == Panel8) Panel8->releaseMouse();
    heldPair_ = nullptr;
    const bool inside = x >= 0 && x < pair.normal->width() && y >= 0 && y < pair.normal->height();
    pair.normal->show();
    pair.pressed->hide();
    pair.normal->setProperty("pressed", false);
    if (!inside) return;
    if (pair.normal == ueberbtn) {
        ueberbtnClick();
    } else {
        EndeBtnClick();
    }
}

}  // namespace gw
