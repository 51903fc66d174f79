// The window's renders: at once for small pictures, beside the window for big ones, and what
// the status bar says about them.

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
#include "ui/Tr.h"
#include "ui/ViewNavigator.h"

namespace gw {

using layout::Named;

namespace {

// Whether a line holds an & that is not half of "&&": the letters draw it not as a sign but as
// the underline of the character after it (or, at the end of a line, not at all).
bool HoldsSingleAmpersand(const LetteringSettings& settings) {
    for (const std::string& line : settings.Memo1)
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] != '&') continue;
            if (i + 1 == line.size() || line[i + 1] != '&') return true;
            ++i;
        }
    return false;
}

// Says in the status bar what is drawn other than typed: a stand-in for a font that is not
// installed, characters no font has, an & that underlines. The note stays while it holds and
// goes when it no longer does; other messages are left alone.
void ShowTextNotes(QStatusBar* bar, const LetteringSettings& settings) {
    const char* const kNoteProperty = "glyphwerkTextNote";
    QStringList parts;
    for (const std::string& note :
         {FontSubstitutionNote(settings), MissingCharactersNote(settings)})
        if (!note.empty()) parts << ToQString(note);
    if (HoldsSingleAmpersand(settings))
        parts << QTr(
            "Ein einzelnes & wird nicht gezeichnet, es unterstreicht das Zeichen danach. "
            "Für ein & schreiben Sie &&.");
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

}  // namespace

struct TMainForm::Renders {
    TRenderSchedule* schedule = nullptr;
    TBackgroundRender* background = nullptr;
    QShortcut* cancelRender = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    RenderImages images;
    // The session's generation the picture on its way draws.
    std::uint64_t backgroundGeneration = 0;
    // A size change whose picture renders beside the window, not yet settled.
    bool sizePending = false;
    // Set while a command needs its picture before it goes on.
    bool renderAtOnce = false;
    // A render that ran out of memory sets renderFailed; while holdMemoryMessage is set, the
    // command that caused the render tells the user itself, after taking its change back.
    bool renderFailed = false;
    bool holdMemoryMessage = false;
};

void TMainForm::AreaDeleter::operator()(Renders* area) const {
    delete area;
}

// ---------------------------------------------------------------------------------------------
// The render pipeline

void TMainForm::Run(Command command) {
    if (WritingControls()) return;
    session().Run(command);
}

void TMainForm::SessionNotified(const SessionNotice& notice) {
    const unsigned what = notice.what;
    if (what & kCancelRender) {
        renders_->background->Cancel();
        ShowRendering(false);
        SettleSize();
    }
    bool pictureOk = true;
    if (what & kPictureSizeChanged) {
        const bool newPicture = DibWidth(renders_->images.Picture) != L().width ||
                                DibHeight(renders_->images.Picture) != L().height ||
                                renders_->images.Picture.Empty();
        pictureOk = TakePictureSize(newPicture);
    }
    if (what & kSettingsChanged) {
        // The controls written here start no countdown and no render of their own.
        renders_->schedule->WriteQuietly([this] { WriteControls(); });
    }
    if (what & kHistoryChanged) UpdateUndoButtons();
    if (what & (kModifiedChanged | kDocumentChanged)) UpdateCaption();
    if (!pictureOk) {
        renders_->renderFailed = true;
        if (!renders_->holdMemoryMessage) ShowOutOfMemory();
        return;
    }
    switch (notice.reaction) {
        case Reaction::Render:
            renders_->schedule->SettingsUpdated();
            break;
        case Reaction::Defer:
            renders_->schedule->RestartCountdown();
            break;
        case Reaction::Repaint:
            RepaintEditView();
            break;
        case Reaction::Nothing:
            break;
    }
}

const RenderImages& TMainForm::images() const {
    return renders_->images;
}

int TMainForm::renderCount() const {
    return renders_->schedule->renderCount();
}

void TMainForm::SetUpRenders() {
    renders_.reset(new Renders);
    Renders& r = *renders_;
    r.StatusBar1 = Named<QStatusBar>(*this, "StatusBar1");
    r.schedule = new TRenderSchedule(this);
    r.schedule->Render = [this] { return RenderNow(); };
    r.background = new TBackgroundRender(this);
    connect(r.background, &TBackgroundRender::finished, this,
            [this](bool ok) { BackgroundRenderEnded(ok); });
    // A render beside the window is told as its picture arrives.
    connect(r.schedule, &TRenderSchedule::rendered, this, [this] {
        if (!renders_->background->Busy()) emit rendered();
    });
    r.cancelRender = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    r.cancelRender->setEnabled(false);
    connect(r.cancelRender, &QShortcut::activated, this, [this] {
        renders_->background->Cancel();
        session().RenderStopped();
        ShowRendering(false);
        SettleSize();
    });
}

// The first picture is white; a finished render closes the typing step still open; F5 draws the
// settings again after Esc drew nothing.
void TMainForm::StartRenders() {
    MakeWhitePicture(L(), renders_->images.Picture);
    FitResultView();
    connect(renders_->schedule, &TRenderSchedule::rendered, this,
            [this] { session().FinishOpenStep(); });
    auto* redraw = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(redraw, &QShortcut::activated, this, [this] { renders_->schedule->SettingsUpdated(); });
}

void TMainForm::FreeRenders() {
    renders_->schedule->StopCountdown();
    deldib(renders_->images.TextMask);
    deldib(renders_->images.TextImage);
    deldib(renders_->images.Picture);
}

void TMainForm::RenderAgain() {
    renders_->schedule->SettingsUpdated();
}

void TMainForm::RenderFirstTime() {
    renders_->schedule->RenderFirstTime();
}

bool TMainForm::FirstRenderDone() const {
    return renders_->schedule->FirstRenderDone();
}

void TMainForm::ForgetFirstRender() {
    renders_->schedule->ForgetFirstRender();
}

void TMainForm::AfterEachRender(std::function<void()> act) {
    connect(renders_->schedule, &TRenderSchedule::rendered, this, std::move(act));
}

bool TMainForm::ChangeTakenWhole(const std::function<void()>& change, bool atOnce) {
    Renders& r = *renders_;
    r.holdMemoryMessage = true;
    r.renderAtOnce = atOnce;
    r.renderFailed = false;
    change();
    const bool ok = !r.renderFailed;
    if (!ok) {
        session().TakeBack();
        r.schedule->SettingsUpdated();
    }
    if (atOnce) session().Settle();
    r.holdMemoryMessage = false;
    r.renderAtOnce = false;
    if (!ok) ShowOutOfMemory();
    return ok;
}

void TMainForm::KeepSizeWhenRendered() {
    // A picture rendered beside the window comes later; the size is taken back when memory runs
    // out in its render.
    renders_->sizePending = renders_->background->Busy();
    if (!renders_->sizePending) session().Settle();
}

void TMainForm::SettleSize() {
    if (!std::exchange(renders_->sizePending, false)) return;
    session().Settle();
}

void TMainForm::ShowRendering(bool running) {
    const QString message = QTr("Das Bild wird berechnet … (Esc bricht ab)");
    renders_->cancelRender->setEnabled(running);
    if (running) {
        renders_->StatusBar1->showMessage(message);
    } else {
        if (renders_->StatusBar1->currentMessage() == message) renders_->StatusBar1->clearMessage();
        ShowTextNotes(renders_->StatusBar1, L().settings);
        ShowPictureState();
    }
}

void TMainForm::ShowPictureState() {
    const QString message =
        QTr("Das Bild zeigt nicht die aktuellen Einstellungen (abgebrochen). F5 berechnet es neu.");
    if (!session().PictureCurrent() && !session().RenderBusy() && session().FirstRenderDone()) {
        renders_->StatusBar1->showMessage(message);
    } else if (renders_->StatusBar1->currentMessage() == message) {
        renders_->StatusBar1->clearMessage();
    }
}

bool TMainForm::DrawCurrentPicture() {
    if (session().PictureCurrent()) return true;
    if (renders_->background->Busy()) {
        renders_->background->Cancel();
        ShowRendering(false);
        SettleSize();
    }
    struct Job {
        RenderImages images;
        bool ok = false;
    };
    auto job = std::make_shared<Job>();
    auto copy = std::make_shared<const Lettering>(RenderSnapshot(L()));
    const std::uint64_t generation = session().Generation();
    const bool finished = RunWithProgress(this, QTr("Das Bild wird berechnet …"), [job, copy] {
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
    std::swap(renders_->images, job->images);
    session().PictureRendered(generation);
    PaintBox1Paint();
    FitResultView();
    ShowPictureState();
    return true;
}

bool TMainForm::RenderBeside() {
    renders_->backgroundGeneration = session().Generation();
    session().RenderStarted();
    if (!RunTakingPictures([this] { renders_->background->Start(L()); })) {
        session().RenderStopped();
        renders_->renderFailed = true;
        if (!renders_->holdMemoryMessage) ShowOutOfMemory();
        return false;
    }
    ShowRendering(true);
    return true;
}

void TMainForm::BackgroundRenderEnded(bool ok) {
    if (!ok) {
        session().RenderStopped();
        ShowRendering(false);
        renders_->renderFailed = true;
        if (std::exchange(renders_->sizePending, false)) {
            session().TakeBack();
            renders_->schedule->SettingsUpdated();
        }
        ShowOutOfMemory();
        return;
    }
    session().PictureRendered(renders_->backgroundGeneration);
    ShowRendering(false);
    SettleSize();
    std::swap(renders_->images, renders_->background->images);
    renders_->background->images = RenderImages();
    PaintBox1Paint();
    FitResultView();
    const std::vector<Notice> notices = std::move(renders_->background->notices);
    ShowNotices(notices);
    ShowTextNotes(renders_->StatusBar1, L().settings);
    emit rendered();
}

bool TMainForm::RenderNow() {
    if (std::int64_t(L().width) * L().height >= kBackgroundRenderPixels && !renders_->renderAtOnce)
        return RenderBeside();
    // A big picture still on its way is of a lettering that is no more.
    if (renders_->background->Busy()) {
        renders_->background->Cancel();
        session().RenderStopped();
        ShowRendering(false);
        SettleSize();
    }
    const std::uint64_t generation = session().Generation();
    const bool ok = RunTakingPictures([this] {
        RenderLettering(L(), renders_->images);
        PaintBox1Paint();
    });
    if (ok) session().PictureRendered(generation);
    // A render that failed part-way may have left another picture.
    PicturesChanged();
    if (!ok) {
        renders_->renderFailed = true;
        if (!renders_->holdMemoryMessage) ShowOutOfMemory();
        return false;
    }
    FitResultView();
    ShowTextNotes(renders_->StatusBar1, L().settings);
    ShowPictureState();
    return true;
}

bool TMainForm::TakePictureSize(bool newPicture) {
    renders_->renderFailed = false;
    bool ok = RunTakingPictures([this, newPicture] {
        SetViewPictureSize();
        if (newPicture) {
            // The old images go first: the new ones may need all the room there is.
            renders_->images = RenderImages();
            MakeWhitePicture(L(), renders_->images.Picture);
        }
        ViewOutdated();
    });
    ViewSizeTaken();
    return ok;
}

}  // namespace gw
