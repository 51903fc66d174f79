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

using catalogue::Fill;
using catalogue::Tr;
using layout::Named;

namespace {

constexpr char kDocumentFilter[] = N_("Schriftzug-Dateien (*.zgw)");

// A step's name, kept German in the history, in the chosen language. The catalogue hands back the
// text it was given where it has none, so the name is copied while it is still alive.
QString StepName(const std::string& german) {
    return QString::fromUtf8(Tr(german.c_str()));
}

bool MayWriteLargeDocument(const Lettering& lettering) {
    // Counting the bytes writes nothing, so the user can still decline before any file is touched.
    const std::uint64_t bytes = LetteringFileSize(lettering);
    if (bytes <= kLargeDocumentBytes) return true;
    const std::string question =
        Fill(Tr("Das Dokument wird %1 MB groß, weil die Texturen entpackt im Dokument gespeichert "
                "werden. Trotzdem speichern?"),
             {std::to_string((bytes + 500'000) / 1'000'000)});
    return ShowMessageBox(question, Tr("Datei/Speichern"), MsgIcon::Warning,
                          MsgButtons::OkCancel) == MsgResult::Ok;
}

}  // namespace

struct TMainForm::Documents {
    QToolButton* UndoBtn = nullptr;
    QToolButton* RedoBtn = nullptr;
    TResizeForm* ResizeForm = nullptr;
};

void TMainForm::AreaDeleter::operator()(Documents* area) const {
    delete area;
}

void TMainForm::ConnectDocuments() {
    documents_.reset(new Documents);
    Documents& d = *documents_;
    d.UndoBtn = Named<QToolButton>(*this, "UndoBtn");
    d.RedoBtn = Named<QToolButton>(*this, "RedoBtn");
    d.ResizeForm = new TResizeForm(this);
    struct Button {
        const char* name;
        void (TMainForm::*click)();
    };
    for (const Button& b :
         {Button{"SpeedButton1", &TMainForm::NewBtnClick},
          Button{"OpenBtn", &TMainForm::ResizeBtnClick},
          Button{"SpeedButton2", &TMainForm::SpeedButton2Click},
          Button{"SaveBtn", &TMainForm::SaveBtnClick},
          Button{"SaveAsBtn", &TMainForm::SaveAsBtnClick},
          Button{"UndoBtn", &TMainForm::UndoBtnClick}, Button{"RedoBtn", &TMainForm::RedoBtnClick}})
        connect(Named<QToolButton>(*this, b.name), &QToolButton::clicked, this,
                [this, click = b.click] { (this->*click)(); });

    // The window's undo everywhere, the text box's and the spin fields' own undo switched off.
    auto* undo = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
    connect(undo, &QShortcut::activated, this, [this] { UndoBtnClick(); });
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}) {
        auto* redo = new QShortcut(keys, this);
        connect(redo, &QShortcut::activated, this, [this] { RedoBtnClick(); });
    }
}

// ---------------------------------------------------------------------------------------------
// Document commands

void TMainForm::NewBtnClick() {
    if (!MayDropChanges(Tr("Alle nicht gespeicherten Einstellungen gehen verloren."),
                        Tr("Datei|Neu"), MsgIcon::Question))
        return;
    ForgetFirstRender();
    session().New();
}

void TMainForm::SpeedButton2Click() {
    if (!MayOpen()) return;
    DialogRequest request;
    request.kind = DialogKind::Open;
    request.name = QStringLiteral("OpenDialog1");
    request.filter = QTr(kDocumentFilter);
    request.defaultSuffix = QStringLiteral("zgw");
    const DialogAnswer answer = RunDialog(this, request);
    if (answer.accepted) OpenFile(answer.fileName);
}

void TMainForm::SaveBtnClick() {
    if (session().fileName().empty()) {
        SaveAsBtnClick();
        return;
    }
    SaveFile(currentFileName());
}

void TMainForm::SaveAsBtnClick() {
    DialogRequest request;
    request.kind = DialogKind::Save;
    request.name = QStringLiteral("SaveDialog2");
    request.filter = QTr(kDocumentFilter);
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
    session().Saved(ToStdString(fileName));
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
    // An opened document is taken over whole or not at all, so its picture is awaited.
    if (!ChangeTakenWhole([&] { session().Open(std::move(opened), ToStdString(fileName)); }, true))
        return;
    AddRecentDocument(fileName);
    PaintBox1Paint();
}

// ---------------------------------------------------------------------------------------------
// Picture size

void TMainForm::ResizeBtnClick() {
    TResizeForm* ResizeForm = documents_->ResizeForm;
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
    if (!ChangeTakenWhole(
            [&] {
                session().Resize(ResizeForm->NewWidth(), ResizeForm->NewHeight(),
                                 ResizeForm->SkalFont->isChecked(), scaled);
            },
            false))
        return;
    KeepSizeWhenRendered();
}

// ---------------------------------------------------------------------------------------------
// Undo and redo

void TMainForm::UndoBtnClick() {
    session().Undo();
}

void TMainForm::RedoBtnClick() {
    session().Redo();
}

void TMainForm::UpdateUndoButtons() {
    QToolButton* UndoBtn = documents_->UndoBtn;
    QToolButton* RedoBtn = documents_->RedoBtn;
    const EditingSession& s = session();
    UndoBtn->setEnabled(s.CanUndo());
    RedoBtn->setEnabled(s.CanRedo());
    // The history keeps the steps' German names; they are shown in the language of the window.
    UndoBtn->setToolTip(s.CanUndo() ? QTr("Rückgängig: %1").arg(StepName(s.UndoName()))
                                    : QTr("Rückgängig"));
    RedoBtn->setToolTip(s.CanRedo() ? QTr("Wiederholen: %1").arg(StepName(s.RedoName()))
                                    : QTr("Wiederholen"));
}

}  // namespace gw
