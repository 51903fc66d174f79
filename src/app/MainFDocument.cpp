// The document commands: Neu, Öffnen, Speichern, the picture size, undo and redo.

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

bool MayWriteLargeDocument(const Lettering& lettering) {
    // Counting the bytes writes nothing, so the user can still decline before any file is touched.
    const std::uint64_t bytes = LetteringFileSize(lettering);
    if (bytes <= kLargeDocumentBytes) return true;
    const std::string question =
        "Das Dokument wird " + std::to_string((bytes + 500'000) / 1'000'000) +
        " MB groß, weil die Texturen entpackt im Dokument gespeichert werden. Trotzdem speichern?";
    return ShowMessageBox(question, "Datei/Speichern", MsgIcon::Warning, MsgButtons::OkCancel) ==
           MsgResult::Ok;
}

}  // namespace

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
    if (!MayWriteLargeDocument(L())) return;
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

}  // namespace gw
