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

}  // namespace

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

}  // namespace gw
