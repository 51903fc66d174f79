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

namespace {

constexpr char kDocumentFilter[] = "Schriftzug-Dateien (*.zgw)";

// The envelope editor draws its rubber band as it goes; the view draws it at its paints instead,
// over the part each one shows, so what the editor draws lands here unseen.
Canvas& EditorScratch() {
    static Bitmap scratch(1, 1);
    static Canvas canvas(scratch);
    return canvas;
}

// Says in the status bar what is drawn other than typed: a stand-in for a font that is not
// installed, characters no font has. The note stays while it holds and goes when it no longer
// does; other messages are left alone.
void ShowTextNotes(QStatusBar* bar, const LetteringSettings& settings) {
    const char* const kNoteProperty = "glyphwerkTextNote";
    QStringList parts;
    for (const std::string& note :
         {FontSubstitutionNote(settings), MissingCharactersNote(settings)})
        if (!note.empty()) parts << ToQString(note);
    const QString note = parts.join(QStringLiteral("  "));
    const QString shown = bar->property(kNoteProperty).toString();
    if (!note.isEmpty()) {
        if (bar->currentMessage() != note) bar->showMessage(note);
    } else if (!shown.isEmpty() && bar->currentMessage() == shown) {
        bar->clearMessage();
    }
    bar->setProperty(kNoteProperty, note);
    // A narrow window cuts the line; the whole of it is at hand under the mouse.
    bar->setToolTip(note);
}

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

// The brush of draw mode, its tip the hot spot.
const QCursor& BrushCursor() {
    static const QCursor cursor(LayoutPicture("cursor-brush.png"), 3, 28);
    return cursor;
}

Qt::CursorShape CursorShape(EditCursor cursor) {
    switch (cursor) {
        case EditCursor::SizeNWSE:
            return Qt::SizeFDiagCursor;
        case EditCursor::SizeNESW:
            return Qt::SizeBDiagCursor;
        case EditCursor::SizeAll:
            return Qt::SizeAllCursor;
        case EditCursor::HandPoint:
            return Qt::PointingHandCursor;
        case EditCursor::Arrow:
        case EditCursor::Brush:
            break;
    }
    return Qt::ArrowCursor;
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
// The render pipeline

void TMainForm::Run(Command command) {
    if (writingControls_) return;
    session_.Run(command);
}

void TMainForm::SessionNotified(const SessionNotice& notice) {
    const unsigned what = notice.what;
    if (what & kCancelRender) {
        background_->Cancel();
        ShowRendering(false);
        SettleSize();
    }
    bool pictureOk = true;
    if (what & kPictureSizeChanged) {
        const bool newPicture = DibWidth(images_.Picture) != L().width ||
                                DibHeight(images_.Picture) != L().height || images_.Picture.Empty();
        pictureOk = TakePictureSize(newPicture);
    }
    if (what & kSettingsChanged) {
        // The controls written here start no countdown and no render of their own.
        schedule_->SuppressRender = true;
        WriteControls();
        schedule_->StopCountdown();
        schedule_->SuppressRender = false;
    }
    if (what & kHistoryChanged) UpdateUndoButtons();
    if (what & (kModifiedChanged | kDocumentChanged)) UpdateCaption();
    if (!pictureOk) {
        renderFailed_ = true;
        if (!holdMemoryMessage_) ShowOutOfMemory();
        return;
    }
    switch (notice.reaction) {
        case Reaction::Render:
            schedule_->SettingsUpdated();
            break;
        case Reaction::Defer:
            schedule_->RestartCountdown();
            break;
        case Reaction::Repaint:
            // After a hull was drawn the render that follows paints the view.
            if (!suppressViewRepaint_) PaintBox1Paint();
            break;
        case Reaction::Nothing:
            break;
    }
}

QString TMainForm::currentFileName() const {
    return ToQString(session_.fileName());
}

int TMainForm::renderCount() const {
    return schedule_->renderCount();
}

void TMainForm::SetUpBackgroundRender() {
    background_ = new TBackgroundRender(this);
    connect(background_, &TBackgroundRender::finished, this,
            [this](bool ok) { BackgroundRenderEnded(ok); });
    // A render beside the window is told as its picture arrives.
    connect(schedule_, &TRenderSchedule::rendered, this, [this] {
        if (!background_->Busy()) emit rendered();
    });
    cancelRender_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    cancelRender_->setEnabled(false);
    connect(cancelRender_, &QShortcut::activated, this, [this] {
        background_->Cancel();
        session_.RenderStopped();
        ShowRendering(false);
        SettleSize();
    });
}

void TMainForm::ShowRendering(bool running) {
    static const QString message = QStringLiteral("Das Bild wird berechnet … (Esc bricht ab)");
    cancelRender_->setEnabled(running);
    if (running) {
        StatusBar1->showMessage(message);
    } else {
        if (StatusBar1->currentMessage() == message) StatusBar1->clearMessage();
        ShowTextNotes(StatusBar1, L().settings);
        ShowPictureState();
    }
}

void TMainForm::ShowPictureState() {
    static const QString message = QStringLiteral(
        "Das Bild zeigt nicht die aktuellen Einstellungen (abgebrochen). F5 berechnet es neu.");
    if (!session_.PictureCurrent() && !session_.RenderBusy() && session_.FirstRenderDone()) {
        StatusBar1->showMessage(message);
    } else if (StatusBar1->currentMessage() == message) {
        StatusBar1->clearMessage();
    }
}

bool TMainForm::DrawCurrentPicture() {
    if (session_.PictureCurrent()) return true;
    if (background_->Busy()) {
        background_->Cancel();
        ShowRendering(false);
        SettleSize();
    }
    struct Job {
        RenderImages images;
        bool ok = false;
    };
    auto job = std::make_shared<Job>();
    auto copy = std::make_shared<const Lettering>(RenderSnapshot(L()));
    const std::uint64_t generation = session_.Generation();
    const bool finished =
        RunWithProgress(this, QStringLiteral("Das Bild wird berechnet …"), [job, copy] {
            try {
                MakeWhitePicture(*copy, job->images.Picture);
                if (!job->images.Picture.Bits) return;
                RenderLettering(*copy, job->images);
                job->ok = true;
            } catch (const std::bad_alloc&) {
            }
        });
    if (!finished) return false;
    if (!job->ok) {
        ShowOutOfMemory();
        return false;
    }
    std::swap(images_, job->images);
    session_.PictureRendered(generation);
    PaintBox1Paint();
    FitResultView();
    ShowPictureState();
    return true;
}

bool TMainForm::RenderBeside() {
    backgroundGeneration_ = session_.Generation();
    session_.RenderStarted();
    if (!RunTakingPictures([this] { background_->Start(L()); })) {
        session_.RenderStopped();
        renderFailed_ = true;
        if (!holdMemoryMessage_) ShowOutOfMemory();
        return false;
    }
    ShowRendering(true);
    return true;
}

void TMainForm::BackgroundRenderEnded(bool ok) {
    if (!ok) {
        session_.RenderStopped();
        ShowRendering(false);
        renderFailed_ = true;
        if (std::exchange(sizePending_, false)) {
            session_.TakeBack();
            schedule_->SettingsUpdated();
        }
        ShowOutOfMemory();
        return;
    }
    session_.PictureRendered(backgroundGeneration_);
    ShowRendering(false);
    SettleSize();
    std::swap(images_, background_->images);
    background_->images = RenderImages();
    PaintBox1Paint();
    FitResultView();
    const std::vector<Notice> notices = std::move(background_->notices);
    ShowNotices(notices);
    ShowTextNotes(StatusBar1, L().settings);
    emit rendered();
}

bool TMainForm::RenderNow() {
    if (std::int64_t(L().width) * L().height >= kBackgroundRenderPixels && !renderAtOnce_)
        return RenderBeside();
    // A big picture still on its way is of a lettering that is no more.
    if (background_->Busy()) {
        background_->Cancel();
        session_.RenderStopped();
        ShowRendering(false);
        SettleSize();
    }
    const std::uint64_t generation = session_.Generation();
    const bool ok = RunTakingPictures([this] {
        RenderLettering(L(), images_);
        PaintBox1Paint();
    });
    if (ok) session_.PictureRendered(generation);
    // A render that failed part-way may have left another picture.
    PaintBox1->PictureChanged();
    ErgPaintBox->PictureChanged();
    if (!ok) {
        renderFailed_ = true;
        if (!holdMemoryMessage_) ShowOutOfMemory();
        return false;
    }
    FitResultView();
    ShowTextNotes(StatusBar1, L().settings);
    ShowPictureState();
    return true;
}

bool TMainForm::TakePictureSize(bool newPicture) {
    renderFailed_ = false;
    bool ok = RunTakingPictures([this, newPicture] {
        editZoom_->SetPictureSize({L().width, L().height});
        if (newPicture) {
            // The old images go first: the new ones may need all the room there is.
            images_ = RenderImages();
            MakeWhitePicture(L(), images_.Picture);
        }
        viewComposed_ = false;
    });
    PaintBox1->PictureChanged();
    ResizePaintBox();
    FitResultView();
    return ok;
}

// ---------------------------------------------------------------------------------------------
// The editing view

void TMainForm::PaintBox1Paint() {
    PaintBox1->PictureChanged();
    shownLines_ = EditViewLines::Of(L(), *editor_);
    shownTab_ = editor_->TabActive;
    viewComposed_ = true;
    PaintBox1->Show();
    if (!schedule_->FirstRenderDone) {
        schedule_->FirstRenderDone = true;
        schedule_->SettingsUpdated();
    }
}

void TMainForm::PaintBox1Overlay(Canvas& canvas, TPoint origin) {
    EditViewLines shown = shownLines_;
    // The strokes of draw mode show as they are drawn, not at the next composition.
    if (shown.mode == EditMode::DrawFace) {
        shown.lines[2] = editor_->WorkLines[0];
        shown.lines[3] = editor_->WorkLines[1];
    }
    const double scale = PaintBox1->zoom();
    PaintEditOverlay(canvas, shown, shownTab_, origin, PaintBox1->width(), PaintBox1->height(),
                     scale);
    const EditMode mode = L().settings.editMode;
    if (editor_->ButtonHeld && editor_->TabActive && mode != EditMode::DrawFace &&
        shown.mode != EditMode::DrawFace) {
        const bool pivotOnly = mode == EditMode::MoveCheck && editor_->DragKind == dkPivot;
        DrawRubberBand(canvas, EditViewLines::Of(L(), *editor_), pivotOnly, origin, scale);
    }
}

void TMainForm::ResizePaintBox() {
    if (!ScrollBox1 || !PaintBox1) return;
    const int w = PaintBox1->width();
    const int h = PaintBox1->height();
    const QSize client = ScrollClientSize();
    const int left = std::max(0, (client.width() - w) / 2);
    const int top = std::max(0, (client.height() - h) / 2);
    PaintBox1->move(left, top);
    FitScrollContent();
}

QSize TMainForm::ScrollClientSize() const {
    // A scroll bar appears where the view does not fit, and takes room from the other side,
    // which may then need its own bar too.
    const QSize whole = ScrollBox1->maximumViewportSize();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ScrollBox1);
    const QSize view = PaintBox1->size();
    bool across = view.width() > whole.width();
    bool down = view.height() > whole.height();
    if (across != down) {
        across = across || view.width() > whole.width() - bar;
        down = down || view.height() > whole.height() - bar;
    }
    return {whole.width() - (down ? bar : 0), whole.height() - (across ? bar : 0)};
}

void TMainForm::FitScrollContent() {
    // The scroll range covers the view where it lies, and no more than the client area where the
    // view fits, so no bar appears that has nothing to scroll.
    const QSize client = ScrollClientSize();
    QWidget* content = ScrollBox1->widget();
    content->resize(std::max(PaintBox1->x() + PaintBox1->width(), client.width()),
                    std::max(PaintBox1->y() + PaintBox1->height(), client.height()));
}

void TMainForm::PageControl1Change() {
    if (DrawFace->isChecked()) MoveCheck->setChecked(true);
    const bool active = PageControl1->currentWidget() == TabSheet4;
    const bool changed = active != editor_->TabActive;
    if (changed) editor_->TabActive = active;
    Command tab{"", Change::EffectTab, nullptr};
    tab.eventCondition = changed;
    Run(std::move(tab));
}

void TMainForm::PaintBox1MouseDown(int x, int y) {
    const QPoint p = editZoom_->ToPicture({x, y});
    if (!editor_->Press(EditorScratch(), p.x(), p.y(), editor_->TabActive)) return;
    session_.FinishOpenStep();
    PaintBox1->Show();
}

void TMainForm::PaintBox1MouseMove(int x, int y) {
    const QPoint p = editZoom_->ToPicture({x, y});
    if (editor_->ButtonHeld) {
        editor_->Drag(EditorScratch(), p.x(), p.y());
        PaintBox1->Show();
        return;
    }
    // The points are as easy to take at any zoom: their reach is the same on the screen.
    const EditCursor cursor = editor_->Hover(p.x(), p.y(), editor_->TabActive,
                                             PictureRadius(kHitRadius, editZoom_->scale()));
    if (cursor == EditCursor::Brush) {
        PaintBox1->setCursor(BrushCursor());
    } else {
        PaintBox1->setCursor(CursorShape(cursor));
    }
}

void TMainForm::PaintBox1MouseUp(int, int) {
    // The lines change while the button is held; the step is taken at the release.
    // The editor moved the lines while the button was held; the release makes the step.
    const EditOutcome outcome = editor_->Release(EditorScratch(), editor_->TabActive);
    switch (outcome) {
        case EditOutcome::Nothing:
            PaintBox1->Show();
            break;
        case EditOutcome::Repaint:
            PaintBox1Paint();
            break;
        case EditOutcome::Render:
            Run({"Hülle bearbeiten", Change::LinesEdited, nullptr});
            break;
        case EditOutcome::HullDrawn:
            suppressViewRepaint_ = true;
            MoveCheck->setChecked(true);
            suppressViewRepaint_ = false;
            Run({"Hülle zeichnen", Change::LinesEdited, nullptr});
            break;
    }
}

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

// ---------------------------------------------------------------------------------------------
// Picture size

void TMainForm::ResizeBtnClick() {
    SettleSize();
    const std::int32_t W0 = L().width;
    const std::int32_t H0 = L().height;
    ResizeForm->SetReference(W0, H0);
    ResizeForm->BreitEdit->setValue(W0);
    ResizeForm->HochEdit->setValue(H0);
    ResizeForm->SetSettings(L().settings);
    if (ResizeForm->exec() != QDialog::Accepted) return;
    const std::vector<ScaledMeasure> scaled = ResizeForm->ScalesEffects()
                                                  ? ResizeForm->ScaledEffects(L().settings)
                                                  : std::vector<ScaledMeasure>();
    // A size the memory does not allow is taken back whole before the user hears of it.
    holdMemoryMessage_ = true;
    renderFailed_ = false;
    session_.Resize(ResizeForm->NewWidth(), ResizeForm->NewHeight(),
                    ResizeForm->SkalFont->isChecked(), scaled);
    const bool ok = !renderFailed_;
    if (!ok) {
        session_.TakeBack();
        schedule_->SettingsUpdated();
    }
    holdMemoryMessage_ = false;
    if (!ok) {
        ShowOutOfMemory();
        return;
    }
    // A picture rendered beside the window comes later; the size is taken back as above when
    // memory runs out in its render.
    sizePending_ = background_->Busy();
    if (!sizePending_) session_.Settle();
}

void TMainForm::SettleSize() {
    if (!std::exchange(sizePending_, false)) return;
    session_.Settle();
}

// ---------------------------------------------------------------------------------------------
// Result page

void TMainForm::ExportBtnClick() {
    DialogRequest request;
    request.kind = DialogKind::Save;
    request.name = QStringLiteral("SaveDialog1");
    request.filter = PictureSaveFilter();
    ExportOptions chosen = exportOptions_;
    request.exportOptions = &chosen;
    request.pictureWidth = L().width;
    request.pictureHeight = L().height;
    const DialogAnswer answer = RunDialog(this, request);
    if (!answer.accepted) return;
    exportOptions_ = chosen;
    const ExportTarget target = ExportTargetFor(answer.fileName, answer.selectedFilter);
    const std::string shortName = ToStdString(QFileInfo(target.fileName).fileName());
    const auto confirmed = [](const std::string& question) {
        return ShowMessageBox(question, "Bild speichern unter", MsgIcon::Question,
                              MsgButtons::OkCancel) == MsgResult::Ok;
    };
    if (HasForeignExtension(answer.fileName) &&
        !confirmed("Die Endung ." + ToStdString(QFileInfo(answer.fileName).suffix()) +
                   " gehört zu keinem der angebotenen Formate. Soll das Bild als " +
                   ToStdString(PictureTypeName(target.type)) + " unter " + shortName +
                   " gespeichert werden?"))
        return;
    // The dialog asked about the name as it was chosen; a suffix added here names another file.
    if (target.fileName != answer.fileName && QFileInfo::exists(target.fileName) &&
        !confirmed("Die Datei " + shortName + " gibt es schon. Soll sie ersetzt werden?"))
        return;
    if (exportOptions_.transparent && !TypeTakesTransparency(target.type)) {
        ShowMessageBox(
            "Ein transparenter Hintergrund geht nur mit PNG und PDF, nicht mit JPEG oder BMP.",
            "Fehler", MsgIcon::Error);
        return;
    }
    struct Job {
        bool ok = false;
        std::vector<std::uint8_t> bytes;
        std::string error;
    };
    auto job = std::make_shared<Job>();
    ExportOptions options = exportOptions_;
    // A bitmap file has no place for a resolution; the one chosen stays for printing.
    if (target.type == ImageFileType::Bmp) options.dpi = 0;
    if (IsScreenPicture(options)) {
        // The file gets the settings as they are, not a picture whose render was cancelled.
        if (!DrawCurrentPicture()) return;
        job->ok =
            EncodeScreenPicture(images_.Picture, options.dpi, target.type, job->bytes, job->error);
    } else {
        auto copy = std::make_shared<const Lettering>(RenderSnapshot(L()));
        const ImageFileType type = target.type;
        const bool finished = RunWithProgress(
            this, QStringLiteral("Das Bild wird gezeichnet …"), [job, copy, options, type] {
                try {
                    job->ok = EncodeExport(*copy, options, type, job->bytes, job->error);
                } catch (const std::bad_alloc&) {
                    job->error = kOutOfMemoryMessage;
                }
            });
        if (!finished) return;  // cancelled: the render's result is dropped
    }
    if (job->ok && ReplaceFile(ToStdString(target.fileName), job->bytes) != ReplaceStatus::Ok) {
        job->ok = false;
        job->error = "Konnte die Datei " + ToStdString(target.fileName) + " nicht schreiben.";
    }
    if (!job->ok) ShowMessageBox(job->error, "Fehler", MsgIcon::Error);
}

void TMainForm::PrintBtnClick() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Zarbo Glyphwerk"));
    if (!RunPrintDialog(this, printer)) return;
    QImage cache;
    PaintPrint(printer, cache);
}

void TMainForm::PreviewBtnClick() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Zarbo Glyphwerk"));
    // The preview paints again for every change of the page set-up; one render serves them all.
    QImage cache;
    RunPrintPreview(this, printer, [this, &cache](QPrinter& target) { PaintPrint(target, cache); });
}

bool TMainForm::PaintPrint(QPrinter& printer, QImage& cache) {
    const double pictureDpi =
        exportOptions_.dpi > 0 ? double(exportOptions_.dpi) : kPrintPixelsPerInch;
    const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRectF target =
        PrintRect(QSizeF(L().width, L().height), area.size(), printer.resolution(), pictureDpi);
    if (target.isEmpty()) return false;
    const std::int32_t k = PrintScale(L(), target.width() / L().width);
    if (k >= 1 && cache.width() != L().width * k) {
        struct Job {
            QImage picture;
            std::string error;
        };
        auto job = std::make_shared<Job>();
        auto copy = std::make_shared<const Lettering>(RenderSnapshot(L()));
        const bool finished = RunWithProgress(
            this, QStringLiteral("Das Bild wird für den Druck gezeichnet …"), [job, copy, k] {
                try {
                    DibImage picture;
                    std::vector<std::uint8_t> alpha;
                    if (RenderPrint(*copy, PrintOptions{k, true, false}, picture, alpha,
                                    job->error))
                        job->picture = DibToQImage(picture);
                } catch (const std::bad_alloc&) {
                    job->error = kOutOfMemoryMessage;
                }
            });
        if (!finished) return false;
        if (job->picture.isNull()) {
            ShowMessageBox(job->error.empty() ? std::string(kOutOfMemoryMessage) : job->error,
                           "Fehler", MsgIcon::Error);
            return false;
        }
        cache = std::move(job->picture);
    } else if (k < 1 && cache.isNull()) {
        // Too large to smooth: the picture as the window shows it, drawn anew if it is stale.
        if (!DrawCurrentPicture()) return false;
        if (!RunTakingPictures([&] { cache = DibToQImage(images_.Picture); })) {
            ShowOutOfMemory();
            return false;
        }
        if (cache.isNull()) return false;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        ShowMessageBox("Das Bild konnte nicht gedruckt werden.", "Fehler", MsgIcon::Error);
        return false;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // A PDF printer would otherwise store the picture as a JPEG, blurring the smoothed edges.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.drawImage(target, cache);
    painter.end();
    return true;
}

void TMainForm::Kopieren1Click() {
    if (!DrawCurrentPicture()) return;
    QImage picture;
    if (!RunTakingPictures([&] { picture = DibToQImage(images_.Picture); })) {
        ShowOutOfMemory();
        return;
    }
    if (picture.isNull()) return;
    QGuiApplication::clipboard()->setImage(picture);
}

// ---------------------------------------------------------------------------------------------
// Writing the controls from the model

void TMainForm::WriteControls() {
    const LetteringSettings& s = L().settings;
    const bool outer = writingControls_;
    writingControls_ = true;
    // Setting a control fires its handler, which writes the same value back.
    if (Memo1->toPlainText() != JoinLines(s.Memo1)) Memo1->setPlainText(JoinLines(s.Memo1));
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
    if (utf8.size() > kMaxTextBytes) {
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
// Document commands

void TMainForm::NewBtnClick() {
    if (!MayDropChanges("Alle nicht gespeicherten Einstellungen gehen verloren.", "Datei|Neu",
                        MsgIcon::Question))
        return;
    schedule_->FirstRenderDone = false;
    session_.New();
}

void TMainForm::SpeedButton2Click() {
    if (!MayOpen()) return;
    DialogRequest request;
    request.kind = DialogKind::Open;
    request.name = QStringLiteral("OpenDialog1");
    request.filter = QString::fromLatin1(kDocumentFilter);
    request.defaultSuffix = QStringLiteral("zgw");
    const DialogAnswer answer = RunDialog(this, request);
    if (answer.accepted) OpenFile(answer.fileName);
}

void TMainForm::SaveBtnClick() {
    if (session_.fileName().empty()) {
        SaveAsBtnClick();
        return;
    }
    SaveFile(currentFileName());
}

void TMainForm::SaveAsBtnClick() {
    DialogRequest request;
    request.kind = DialogKind::Save;
    request.name = QStringLiteral("SaveDialog2");
    request.filter = QString::fromLatin1(kDocumentFilter);
    request.defaultSuffix = QStringLiteral("zgw");
    const DialogAnswer answer = RunDialog(this, request);
    if (answer.accepted) SaveFile(answer.fileName);
}

void TMainForm::SaveFile(const QString& fileName) {
    const DocumentResult result = SaveLetteringFile(L(), ToStdString(fileName));
    if (!result.ok) {
        ShowMessageBox(result.message, result.title, MsgIcon::Error);
        return;
    }
    session_.Saved(ToStdString(fileName));
    AddRecentDocument(fileName);
}

void TMainForm::OpenFile(const QString& fileName) {
    // The reader takes the file over only when all of it was read, so a refused file changes
    // nothing. It reads into a copy of the lettering (its textures aside, which every document
    // brings); the session keeps the lettering as it was until the new one has its picture.
    Lettering opened;
    opened.settings = L().settings;
    opened.width = L().width;
    opened.height = L().height;
    opened.EnvelopeLines = L().EnvelopeLines;
    const std::uint64_t failuresBefore = AllocationFailures();
    const DocumentResult result = OpenLetteringFile(opened, ToStdString(fileName));
    if (!result.ok) {
        if (AllocationFailures() != failuresBefore) {
            ShowOutOfMemory();
        } else {
            ShowMessageBox(result.message, result.title, MsgIcon::Error);
        }
        return;
    }
    holdMemoryMessage_ = true;
    // An opened document is taken over whole or not at all, so its picture is awaited.
    renderAtOnce_ = true;
    renderFailed_ = false;
    session_.Open(std::move(opened), ToStdString(fileName));
    const bool ok = !renderFailed_;
    if (!ok) {
        session_.TakeBack();
        schedule_->SettingsUpdated();
    }
    session_.Settle();
    holdMemoryMessage_ = false;
    renderAtOnce_ = false;
    if (!ok) {
        ShowOutOfMemory();
        return;
    }
    AddRecentDocument(fileName);
    PaintBox1Paint();
}

// ---------------------------------------------------------------------------------------------
// Undo and redo

void TMainForm::UndoBtnClick() {
    session_.Undo();
}

void TMainForm::RedoBtnClick() {
    session_.Redo();
}

void TMainForm::UpdateUndoButtons() {
    UndoBtn->setEnabled(session_.CanUndo());
    RedoBtn->setEnabled(session_.CanRedo());
    UndoBtn->setToolTip(session_.CanUndo()
                            ? QStringLiteral("Rückgängig: ") + ToQString(session_.UndoName())
                            : QStringLiteral("Rückgängig"));
    RedoBtn->setToolTip(session_.CanRedo()
                            ? QStringLiteral("Wiederholen: ") + ToQString(session_.RedoName())
                            : QStringLiteral("Wiederholen"));
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
