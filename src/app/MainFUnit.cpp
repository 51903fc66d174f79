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

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent), editor_(std::make_unique<TEnvelopeEditor>(lettering_)) {
    setObjectName(QStringLiteral("MainForm"));
    InitStartState(lettering_);
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

    Setsavedfilename(QString());
    // The surface colours, swatch and dialog alike, and the colour panels of both pickers.
    SurfaceFrame1->ColorFrame1->SetColor(lettering_.settings.SurfaceFrame1.color);
    SurfaceFrame2->ColorFrame1->SetColor(lettering_.settings.SurfaceFrame2.color);
    SurfaceFrame1->SetMeRight(0);
    SurfaceFrame2->SetMeRight(0);
    editZoom_->SetPictureSize({lettering_.width, lettering_.height});
    ResizePaintBox();
    FillFontList();
    WriteControls();
    MakeWhitePicture(lettering_, images_.Picture);
    FitResultView();
    editor_->TabActive = PageControl1->currentWidget() == TabSheet4;
    helpFile_ = ToQString(DataFolder()) + QString::fromLatin1(kHelpFileName);
    Memo1->setUndoRedoEnabled(false);
    Memo1->installEventFilter(this);
    connect(schedule_, &TRenderSchedule::rendered, this, [this] { FinishOpenStep(); });
    history_.Reset(lettering_);
    MarkSaved();

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
    SetStartTextures(lettering_, builtinTextures_);
    history_.Reset(lettering_);
    MarkSaved();
    UpdateUndoButtons();
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
    for (TLine& line : lettering_.EnvelopeLines)
        line.Clear();
    deldib(images_.TextMask);
    deldib(images_.TextImage);
    deldib(images_.Picture);
    deldib(lettering_.BackgroundTexture);
    deldib(lettering_.TextTexture);
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

void TMainForm::React(Change change, bool eventCondition) {
    NoteChange();
    ChangeContext context;
    context.firstRenderDone = schedule_->FirstRenderDone;
    context.eventCondition = eventCondition;
    switch (ReactionTo(change, lettering_.settings, context)) {
        case Reaction::Render:
            schedule_->SettingsUpdated();
            break;
        case Reaction::Defer:
            schedule_->RestartCountdown();
            break;
        case Reaction::Repaint:
            PaintBox1Paint();
            break;
        case Reaction::Nothing:
            break;
    }
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
        ShowTextNotes(StatusBar1, lettering_.settings);
    }
}

bool TMainForm::RenderBeside() {
    if (!RunTakingPictures([this] { background_->Start(lettering_); })) {
        renderFailed_ = true;
        if (!holdMemoryMessage_) ShowOutOfMemory();
        return false;
    }
    ShowRendering(true);
    return true;
}

void TMainForm::BackgroundRenderEnded(bool ok) {
    ShowRendering(false);
    if (!ok) {
        renderFailed_ = true;
        if (const std::function<void()> takeBack = std::exchange(sizeTakeBack_, nullptr))
            takeBack();
        ShowOutOfMemory();
        return;
    }
    SettleSize();
    std::swap(images_, background_->images);
    background_->images = RenderImages();
    PaintBox1Paint();
    FitResultView();
    const std::vector<Notice> notices = std::move(background_->notices);
    ShowNotices(notices);
    ShowTextNotes(StatusBar1, lettering_.settings);
    emit rendered();
}

bool TMainForm::RenderNow() {
    if (std::int64_t(lettering_.width) * lettering_.height >= kBackgroundRenderPixels &&
        !renderAtOnce_)
        return RenderBeside();
    // A big picture still on its way is of a lettering that is no more.
    if (background_->Busy()) {
        background_->Cancel();
        ShowRendering(false);
        SettleSize();
    }
    const bool ok = RunTakingPictures([this] {
        RenderLettering(lettering_, images_);
        PaintBox1Paint();
    });
    // A render that failed part-way may have left another picture.
    PaintBox1->PictureChanged();
    ErgPaintBox->PictureChanged();
    if (!ok) {
        renderFailed_ = true;
        if (!holdMemoryMessage_) ShowOutOfMemory();
        return false;
    }
    FitResultView();
    ShowTextNotes(StatusBar1, lettering_.settings);
    return true;
}

bool TMainForm::TakePictureSize(bool newPicture) {
    renderFailed_ = false;
    bool ok = RunTakingPictures([this, newPicture] {
        editZoom_->SetPictureSize({lettering_.width, lettering_.height});
        if (newPicture) {
            // The old images go first: the new ones may need all the room there is.
            images_ = RenderImages();
            MakeWhitePicture(lettering_, images_.Picture);
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
    shownLines_ = EditViewLines::Of(lettering_, *editor_);
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
    const EditMode mode = lettering_.settings.editMode;
    if (editor_->ButtonHeld && editor_->TabActive && mode != EditMode::DrawFace &&
        shown.mode != EditMode::DrawFace) {
        const bool pivotOnly = mode == EditMode::MoveCheck && editor_->DragKind == dkPivot;
        DrawRubberBand(canvas, EditViewLines::Of(lettering_, *editor_), pivotOnly, origin, scale);
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
    React(Change::EffectTab, changed);
}

void TMainForm::MoveCheckClick() {
    if (DrawFace->isChecked()) editor_->StartDrawing();
    if (!suppressViewRepaint_) React(Change::EditMode);
}

void TMainForm::PaintBox1MouseDown(int x, int y) {
    const QPoint p = editZoom_->ToPicture({x, y});
    if (!editor_->Press(EditorScratch(), p.x(), p.y(), editor_->TabActive)) return;
    FinishOpenStep();
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
    const EditOutcome outcome = editor_->Release(EditorScratch(), editor_->TabActive);
    if (outcome == EditOutcome::Render || outcome == EditOutcome::HullDrawn)
        EndStep(outcome == EditOutcome::HullDrawn ? "Hülle zeichnen" : "Hülle bearbeiten");
    switch (outcome) {
        case EditOutcome::Nothing:
            PaintBox1->Show();
            break;
        case EditOutcome::Repaint:
            PaintBox1Paint();
            break;
        case EditOutcome::Render:
            React(Change::LinesEdited);
            break;
        case EditOutcome::HullDrawn:
            suppressViewRepaint_ = true;
            MoveCheck->setChecked(true);
            suppressViewRepaint_ = false;
            React(Change::LinesEdited);
            break;
    }
}

// ---------------------------------------------------------------------------------------------
// Galleries

void TMainForm::VFormPaintMouseDown(int x, int y) {
    const std::int32_t i = GalleryClick(*VFormPaint, *VFormImages, x, y);
    if (i < 0) return;
    ScrollBox2->setSelected(i);
    BeginStep("Hüllform");
    ApplyEnvelopePreset(lettering_, i);
    EndStep("Hüllform");
    VFormPaint->update();
    React(Change::EnvelopePreset);
}

void TMainForm::KantePaintMouseDown(int x, int y) {
    const std::int32_t i = GalleryClick(*KantePaint, *KanteImages, x, y);
    if (i < 0) return;
    ScrollBox3->setSelected(i);
    // The controls' own handlers run while they are set; none of them may render, and the
    // countdown the spin fields start is stopped before the one render.
    BeginStep("Vorlage 3D-Kante");
    schedule_->SuppressRender = true;
    ApplyEdgePreset(lettering_.settings, i);
    EndStep("Vorlage 3D-Kante");
    WriteSettingControls();
    schedule_->StopCountdown();
    schedule_->SuppressRender = false;
    KantePaint->update();
    React(Change::Preset);
}

void TMainForm::SchattenPaintMouseDown(int x, int y) {
    const std::int32_t i = GalleryClick(*SchattenPaint, *SchattenImages, x, y);
    if (i < 0) return;
    ScrollBox4->setSelected(i);
    BeginStep("Vorlage Schatten");
    schedule_->SuppressRender = true;
    ApplyShadowPreset(lettering_.settings, i);
    EndStep("Vorlage Schatten");
    WriteSettingControls();
    schedule_->StopCountdown();
    schedule_->SuppressRender = false;
    SchattenPaint->update();
    React(Change::Preset);
}

void TMainForm::RahmenPaintMouseDown(int x, int y) {
    const std::int32_t i = GalleryClick(*RahmenPaint, *RahmenImages, x, y);
    if (i < 0) return;
    BeginStep("Rahmen");
    ApplyFramePreset(lettering_.settings, i);
    EndStep("Rahmen");
    // Only a click here changes these two; documents and "Neu" leave them as they are.
    RColorBtn->setEnabled(i == 1);
    RHochEd->setEnabled(i == 4);
    RahmenPaint->update();
    React(Change::Preset);
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
    thumbnails_->Start(lettering_);
}

// ---------------------------------------------------------------------------------------------
// Picture size

void TMainForm::ResizeBtnClick() {
    SettleSize();
    const std::int32_t W0 = lettering_.width;
    const std::int32_t H0 = lettering_.height;
    ResizeForm->SetReference(W0, H0);
    ResizeForm->BreitEdit->setValue(W0);
    ResizeForm->HochEdit->setValue(H0);
    ResizeForm->SetSettings(lettering_.settings);
    if (ResizeForm->exec() != QDialog::Accepted) return;
    const LetteringSettings settings = lettering_.settings;
    const TLine upper = lettering_.EnvelopeLines[0];
    const TLine lower = lettering_.EnvelopeLines[1];
    const TPoint pivot = editor_->Pivot;
    const TPoint handle = editor_->RotationHandle;
    BeginStep("Bildgröße");
    ResizeLettering(lettering_, ResizeForm->NewWidth(), ResizeForm->NewHeight(),
                    ResizeForm->SkalFont->isChecked());
    editor_->PictureResized(W0, H0, ResizeForm->SkalFont->isChecked());
    if (ResizeForm->ScalesEffects()) ScaleEffects(ResizeForm->ScaledEffects(settings));
    // A size the memory does not allow is taken back whole before the user hears of it.
    const bool scaledEffects = ResizeForm->ScalesEffects();
    const auto takeBack = [this, W0, H0, upper, lower, pivot, handle, settings, scaledEffects] {
        lettering_.width = W0;
        lettering_.height = H0;
        lettering_.EnvelopeLines[0] = upper;
        lettering_.EnvelopeLines[1] = lower;
        editor_->Pivot = pivot;
        editor_->RotationHandle = handle;
        if (scaledEffects) {
            lettering_.settings = settings;
            ScaleEffects({});
        }
        if (TakePictureSize(true)) React(Change::PictureOrDocument);
    };
    holdMemoryMessage_ = true;
    bool ok = TakePictureSize(true);
    if (ok) {
        React(Change::PictureOrDocument);
        ok = !renderFailed_;
    }
    if (!ok) takeBack();
    holdMemoryMessage_ = false;
    if (!ok) {
        ShowOutOfMemory();
        return;
    }
    if (background_->Busy()) {
        // The picture comes later; the size becomes a step when it is there, and is taken back
        // as above when memory runs out in its render.
        sizeTakeBack_ = takeBack;
        return;
    }
    EndStep("Bildgröße");
}

void TMainForm::SettleSize() {
    if (!sizeTakeBack_) return;
    sizeTakeBack_ = nullptr;
    EndStep("Bildgröße");
}

void TMainForm::ScaleEffects(const std::vector<ScaledMeasure>& measures) {
    for (const ScaledMeasure& m : measures)
        m.info->set(lettering_.settings, m.value);
    // The size change renders once; the fields written here start no countdown of their own.
    schedule_->SuppressRender = true;
    WriteControls();
    schedule_->StopCountdown();
    schedule_->SuppressRender = false;
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
    request.pictureWidth = lettering_.width;
    request.pictureHeight = lettering_.height;
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
        job->ok =
            EncodeScreenPicture(images_.Picture, options.dpi, target.type, job->bytes, job->error);
    } else {
        auto copy = std::make_shared<const Lettering>(RenderSnapshot(lettering_));
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
    const QRectF target = PrintRect(QSizeF(lettering_.width, lettering_.height), area.size(),
                                    printer.resolution(), pictureDpi);
    if (target.isEmpty()) return false;
    const std::int32_t k = PrintScale(lettering_, target.width() / lettering_.width);
    if (k >= 1 && cache.width() != lettering_.width * k) {
        struct Job {
            QImage picture;
            std::string error;
        };
        auto job = std::make_shared<Job>();
        auto copy = std::make_shared<const Lettering>(RenderSnapshot(lettering_));
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
        // Too large to smooth: the picture as the window shows it.
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
    const LetteringSettings& s = lettering_.settings;
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

    if (editZoom_->pictureSize() != QSize(lettering_.width, lettering_.height)) {
        // The view keeps its place; only a change of the window centres it again.
        editZoom_->SetPictureSize({lettering_.width, lettering_.height});
        FitScrollContent();
        viewComposed_ = false;
    }
    WriteSettingControls();
    RahmenPaint->update();
    writingControls_ = outer;
}

void TMainForm::ShowLetteringFont() {
    const LetteringFont& font = lettering_.settings.Font;
    QFont memoFont(ToQString(font.name));
    memoFont.setPixelSize(16);
    memoFont.setBold(font.bold);
    memoFont.setItalic(font.italic);
    Memo1->setFont(memoFont);
}

void TMainForm::SettingChanged(const SettingInfo& info) {
    switch (info.change) {
        case Change::FontStyle:
            ShowLetteringFont();
            break;
        case Change::EditMode:
            MoveCheckClick();
            return;
        default:
            break;
    }
    React(info.change);
}

// ---------------------------------------------------------------------------------------------
// Handlers of the controls

void TMainForm::Memo1Change() {
    const QString text = Memo1->toPlainText();
    const QString current = JoinLines(lettering_.settings.Memo1);
    if (text == current) {
        React(Change::Memo1);
        return;
    }
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
    BeginStep("Text", true);
    lettering_.settings.Memo1 = SplitTextLines(utf8);
    EndStep("Text", true);
    React(Change::Memo1);
}

void TMainForm::FontListChange(int index) {
    const bool selected = index >= 0 && FontList->count() > 0;
    if (selected) {
        const QString family = FontList->itemData(index).toString();
        BeginStep("Schriftart");
        lettering_.settings.Font.name = ToStdString(family);
        EndStep("Schriftart");
        QFont memoFont = Memo1->font();
        memoFont.setFamily(family);
        Memo1->setFont(memoFont);
    }
    React(Change::FontList, selected);
}

void TMainForm::SurfaceKindChanged(int surface, int kind, bool classChanged) {
    SurfaceSettings& settings =
        surface == 1 ? lettering_.settings.SurfaceFrame1 : lettering_.settings.SurfaceFrame2;
    const std::string_view step = surface == 1 ? "Textoberfläche" : "Hintergrund";
    BeginStep(step);
    settings.kind = static_cast<SurfaceKind>(kind);
    EndStep(step);
    React(Change::SurfaceKind, classChanged);
}

void TMainForm::SetTexture(int surface, int index) {
    gw::SetTexture(lettering_, builtinTextures_, index, surface == 1);
    FitTexturePreviews();
}

void TMainForm::FitTexturePreviews() {
    // A preview takes its texture's size before it paints, so an empty box gets painted too.
    SurfaceFrame1->TextureFrame1->FitTo(lettering_.TextTexture);
    SurfaceFrame2->TextureFrame1->FitTo(lettering_.BackgroundTexture);
}

void TMainForm::TextureFrame1DIBPaintBoxPaint() {
    SurfaceFrame1->TextureFrame1->ShowTexture(lettering_.TextTexture);
    SurfaceFrame2->TextureFrame1->ShowTexture(lettering_.BackgroundTexture);
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

void TMainForm::Setsavedfilename(const QString& fileName) {
    savedFileName_ = fileName;
    UpdateCaption();
}

void TMainForm::NewBtnClick() {
    if (!MayDropChanges("Alle nicht gespeicherten Einstellungen gehen verloren.", "Datei|Neu",
                        MsgIcon::Question))
        return;
    BeginStep("Neu");
    schedule_->FirstRenderDone = false;
    schedule_->LoadingSettings = true;
    ResetForNew(lettering_);
    EndStep("Neu");
    WriteControls();
    schedule_->LoadingSettings = false;
    React(Change::PictureOrDocument);
    Setsavedfilename(QString());
    MarkSaved();
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
    if (savedFileName_.isEmpty()) {
        SaveAsBtnClick();
        return;
    }
    SaveFile(savedFileName_);
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
    const DocumentResult result = SaveLetteringFile(lettering_, ToStdString(fileName));
    if (!result.ok) {
        ShowMessageBox(result.message, result.title, MsgIcon::Error);
        return;
    }
    Setsavedfilename(fileName);
    MarkSaved();
}

void TMainForm::OpenFile(const QString& fileName) {
    // The reader takes the file over only when all of it was read, so a refused file changes
    // nothing.
    // The document is read into a copy of the lettering (its textures aside, which every document
    // brings), so the lettering as it was can be taken back when its pictures cannot be had.
    Lettering opened;
    opened.settings = lettering_.settings;
    opened.width = lettering_.width;
    opened.height = lettering_.height;
    opened.EnvelopeLines = lettering_.EnvelopeLines;
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
    std::swap(lettering_, opened);
    holdMemoryMessage_ = true;
    // An opened document is taken over whole or not at all, so its picture is awaited.
    renderAtOnce_ = true;
    const auto take = [this, &opened] {
        schedule_->LoadingSettings = true;
        const bool newPicture = lettering_.width != opened.width ||
                                lettering_.height != opened.height || images_.Picture.Empty();
        bool ok = TakePictureSize(newPicture);
        WriteControls();
        schedule_->LoadingSettings = false;
        if (!ok) return false;
        React(Change::PictureOrDocument);
        return !renderFailed_;
    };
    const bool ok = take();
    if (!ok) {
        std::swap(lettering_, opened);
        take();
    }
    holdMemoryMessage_ = false;
    renderAtOnce_ = false;
    if (!ok) {
        ShowOutOfMemory();
        return;
    }
    editor_->PictureResized(opened.width, opened.height, false);
    openStep_.clear();
    history_.Reset(lettering_);
    UpdateUndoButtons();
    Setsavedfilename(fileName);
    MarkSaved();
    PaintBox1Paint();
}

// ---------------------------------------------------------------------------------------------
// Undo and redo

void TMainForm::BeginStep(std::string_view name, bool grouped) {
    if (writingControls_ || name.empty()) return;
    if (!openStep_.empty() && (!grouped || openStep_ != name)) FinishOpenStep();
}

void TMainForm::EndStep(std::string_view name, bool grouped) {
    if (writingControls_ || name.empty()) return;
    if (grouped) {
        openStep_ = name;
        return;
    }
    history_.Record(lettering_, std::string(name));
    UpdateUndoButtons();
}

void TMainForm::FinishOpenStep() {
    if (openStep_.empty()) return;
    history_.Record(lettering_, std::move(openStep_));
    openStep_.clear();
    UpdateUndoButtons();
}

void TMainForm::UndoBtnClick() {
    StepThroughHistory(true);
}

void TMainForm::RedoBtnClick() {
    StepThroughHistory(false);
}

void TMainForm::StepThroughHistory(bool back) {
    FinishOpenStep();
    if (back ? !history_.CanUndo() : !history_.CanRedo()) return;
    // The editing mode is the view's tool, not part of the lettering's look.
    const EditMode mode = lettering_.settings.editMode;
    const std::int32_t W0 = lettering_.width;
    const std::int32_t H0 = lettering_.height;
    if (back) {
        history_.Undo(lettering_);
    } else {
        history_.Redo(lettering_);
    }
    lettering_.settings.editMode = mode;
    // The pivot and the handle are the editor's and not in the history: a size taken back
    // keeps them within reach.
    editor_->PictureResized(W0, H0, false);
    ShowRestoredState();
}

void TMainForm::ShowRestoredState() {
    schedule_->StopCountdown();
    schedule_->SuppressRender = true;
    const bool newPicture = DibWidth(images_.Picture) != lettering_.width ||
                            DibHeight(images_.Picture) != lettering_.height;
    const bool ok = TakePictureSize(newPicture);
    WriteControls();
    schedule_->StopCountdown();
    schedule_->SuppressRender = false;
    UpdateUndoButtons();
    if (!ok) {
        ShowOutOfMemory();
        return;
    }
    schedule_->SettingsUpdated();
}

void TMainForm::UpdateUndoButtons() {
    NoteChange();
    UndoBtn->setEnabled(history_.CanUndo());
    RedoBtn->setEnabled(history_.CanRedo());
    UndoBtn->setToolTip(history_.CanUndo()
                            ? QStringLiteral("Rückgängig: ") + ToQString(history_.UndoName())
                            : QStringLiteral("Rückgängig"));
    RedoBtn->setToolTip(history_.CanRedo()
                            ? QStringLiteral("Wiederholen: ") + ToQString(history_.RedoName())
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
