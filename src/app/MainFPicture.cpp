// The picture commands of the result page: export, print, preview and copy.

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
#include <QMimeData>
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
#include "ui/PrintSize.h"
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

struct TMainForm::PictureCommands {
    // Each format's export options, the print size and the transparency choice, for this session.
    ExportChoices exportChoices;
};

void TMainForm::AreaDeleter::operator()(PictureCommands* area) const {
    delete area;
}

void TMainForm::ConnectPictureCommands() {
    pictureCommands_.reset(new PictureCommands);
    struct Button {
        const char* name;
        void (TMainForm::*click)();
    };
    for (const Button& b : {Button{"SaveAsButton", &TMainForm::ExportBtnClick},
                            Button{"PrintButton", &TMainForm::PrintBtnClick},
                            Button{"PreviewButton", &TMainForm::PreviewBtnClick},
                            Button{"CopyButton", &TMainForm::Kopieren1Click}})
        connect(Named<QPushButton>(*this, b.name), &QPushButton::clicked, this,
                [this, click = b.click] { (this->*click)(); });
}

// ---------------------------------------------------------------------------------------------
// Result page

void TMainForm::ExportBtnClick() {
    DialogRequest request;
    request.kind = DialogKind::Save;
    request.name = QStringLiteral("SaveDialog1");
    request.filter = PictureSaveFilter();
    ExportChoices chosen = pictureCommands_->exportChoices;
    request.exportChoices = &chosen;
    request.pictureWidth = L().width;
    request.pictureHeight = L().height;
    const DialogAnswer answer = RunDialog(this, request);
    if (!answer.accepted) return;
    const ExportTarget target = ExportTargetFor(answer.fileName, answer.selectedFilter);
    const ExportOptions options = chosen.For(target.type);
    const std::string shortName = ToStdString(QFileInfo(target.fileName).fileName());
    const auto confirmed = [](const std::string& question) {
        return ShowMessageBox(question, Tr("Bild speichern unter"), MsgIcon::Question,
                              MsgButtons::OkCancel) == MsgResult::Ok;
    };
    if (HasForeignExtension(answer.fileName) &&
        !confirmed(Fill(Tr("Die Endung .%1 gehört zu keinem der angebotenen Formate. Soll das "
                           "Bild als %2 unter %3 gespeichert werden?"),
                        {ToStdString(QFileInfo(answer.fileName).suffix()),
                         ToStdString(PictureTypeName(target.type)), shortName})))
        return;
    // The dialog asked about the name as it was chosen; a suffix added here names another file.
    if (target.fileName != answer.fileName && QFileInfo::exists(target.fileName) &&
        !confirmed(Fill(Tr("Die Datei %1 gibt es schon. Soll sie ersetzt werden?"), {shortName})))
        return;
    if (options.transparent && !TypeTakesTransparency(target.type)) {
        ShowMessageBox(
            Tr("Ein transparenter Hintergrund geht nur mit PNG, PDF und WebP, nicht mit JPEG oder "
               "BMP."),
            Tr("Fehler"), MsgIcon::Error);
        return;
    }
    struct Job {
        bool ok = false;
        std::vector<std::uint8_t> bytes;
        std::string error;
    };
    auto job = std::make_shared<Job>();
    pictureCommands_->exportChoices = chosen;
    if (IsScreenPicture(options) && !IsVectorExport(options, target.type)) {
        // The file gets the settings as they are, not a picture whose render was cancelled.
        if (!DrawCurrentPicture()) return;
        job->ok =
            EncodeScreenPicture(images().Picture, options, target.type, job->bytes, job->error);
    } else {
        auto copy = std::make_shared<const Lettering>(RenderSnapshot(L()));
        const ImageFileType type = target.type;
        const bool finished =
            RunWithProgress(this, QTr("Das Bild wird gezeichnet …"), [job, copy, options, type] {
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
        job->error =
            Fill(Tr("Konnte die Datei %1 nicht schreiben."), {ToStdString(target.fileName)});
    }
    // The note of memory running out is the German one the catalogue knows; the others come
    // translated already, and the catalogue hands them back as they are.
    if (!job->ok) ShowMessageBox(Tr(job->error.c_str()), Tr("Fehler"), MsgIcon::Error);
}

void TMainForm::PrintBtnClick() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Zarbo Glyphwerk"));
    if (!RunPrintSizeDialog(this, L().width, L().height, pictureCommands_->exportChoices.printDpi))
        return;
    if (!RunPrintDialog(this, printer)) return;
    QImage cache;
    PaintPrint(printer, cache);
}

void TMainForm::PreviewBtnClick() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Zarbo Glyphwerk"));
    if (!RunPrintSizeDialog(this, L().width, L().height, pictureCommands_->exportChoices.printDpi))
        return;
    // The preview paints again for every change of the page set-up; one render serves them all.
    QImage cache;
    RunPrintPreview(this, printer, [this, &cache](QPrinter& target) { PaintPrint(target, cache); });
}

bool TMainForm::PaintPrint(QPrinter& printer, QImage& cache) {
    const double pictureDpi = pictureCommands_->exportChoices.printDpi;
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
        const bool finished =
            RunWithProgress(this, QTr("Das Bild wird für den Druck gezeichnet …"), [job, copy, k] {
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
            ShowMessageBox(Tr(job->error.empty() ? kOutOfMemoryMessage : job->error.c_str()),
                           Tr("Fehler"), MsgIcon::Error);
            return false;
        }
        cache = std::move(job->picture);
    } else if (k < 1 && cache.isNull()) {
        // Too large to smooth: the picture as the window shows it, drawn anew if it is stale.
        if (!DrawCurrentPicture()) return false;
        if (!RunTakingPictures([&] { cache = DibToQImage(images().Picture); })) {
            ShowOutOfMemory();
            return false;
        }
        if (cache.isNull()) return false;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        ShowMessageBox(Tr("Das Bild konnte nicht gedruckt werden."), Tr("Fehler"), MsgIcon::Error);
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
    struct Job {
        DibImage picture;
        std::vector<std::uint8_t> alpha;
        std::string error;
    };
    auto job = std::make_shared<Job>();
    const auto fail = [this, job] {
        if (job->error.empty() || job->error == kOutOfMemoryMessage)
            ShowOutOfMemory();
        else
            ShowMessageBox(Tr(job->error.c_str()), Tr("Fehler"), MsgIcon::Error);
    };
    if (pictureCommands_->exportChoices.transparent) {
        // The transparent export's render at the window's size: over the chosen background it
        // is the picture the window shows.
        auto copy = std::make_shared<const Lettering>(RenderSnapshot(L()));
        const bool finished = RunWithProgress(this, QTr("Das Bild wird gezeichnet …"), [job, copy] {
            try {
                if (!RenderPrint(*copy, PrintOptions{1, false, true}, job->picture, job->alpha,
                                 job->error))
                    job->alpha.clear();
            } catch (const std::bad_alloc&) {
                job->alpha.clear();
                job->error = kOutOfMemoryMessage;
            }
        });
        if (!finished) return;
        if (job->alpha.empty()) return fail();
    }
    QMimeData* data = nullptr;
    if (!RunTakingPictures([&] {
            data = job->alpha.empty()
                       ? ClipboardPicture(images().Picture, nullptr, nullptr, job->error)
                       : ClipboardPicture(images().Picture, &job->picture, &job->alpha, job->error);
        }) ||
        !data)
        return fail();
    QGuiApplication::clipboard()->setMimeData(data);
}

}  // namespace gw
