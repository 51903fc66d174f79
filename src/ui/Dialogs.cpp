#include "ui/Dialogs.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSettings>
#include <QStandardPaths>

#include "ui/ExportOptionsRow.h"
#include "ui/QtBridge.h"
#include "ui/Tr.h"

namespace gw {

namespace {

DialogHook& Hook() {
    static DialogHook hook;
    return hook;
}

DialogAnswer RunFileDialog(QWidget* parent, const DialogRequest& request) {
    QFileDialog dialog(parent);
    dialog.setNameFilter(request.filter);
    if (request.exportChoices) {
        // The options row goes under the file list, which only Qt's own dialog lets us extend.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.selectNameFilter(PictureFilterOf(request.exportChoices->lastType));
    }
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (request.kind == DialogKind::Save && request.defaultSuffix.isEmpty()) {
        // A name typed without a suffix takes that of the chosen type before the dialog checks
        // for an existing file, so its question about replacing one is asked of the right name.
        const auto follow = [&dialog](const QString& filter) {
            dialog.setDefaultSuffix(FirstSuffixOfFilter(filter));
        };
        follow(dialog.selectedNameFilter());
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
    }
    if (request.kind == DialogKind::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setWindowTitle(QTr("Öffnen"));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setWindowTitle(QTr("Speichern unter"));
    }
    TExportOptionsRow* options = nullptr;
    if (request.exportChoices) {
        options = new TExportOptionsRow(&dialog);
        options->SetPictureSize(request.pictureWidth, request.pictureHeight);
        options->SetChoices(*request.exportChoices);
        const auto follow = [options](const QString& filter) {
            options->SetType(ExportTargetFor(QString(), filter).type);
        };
        follow(dialog.selectedNameFilter());
        QObject::connect(&dialog, &QFileDialog::filterSelected, options, follow);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(options, grid->rowCount(), 0, 1, grid->columnCount());
    }
    const QString start = FileDialogStart(request.name);
    if (QFileInfo(start).isDir()) {
        dialog.setDirectory(start);
    } else {
        dialog.selectFile(start);
    }
    DialogAnswer answer;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return answer;
    answer.accepted = true;
    answer.fileName = QFileInfo(dialog.selectedFiles().first()).absoluteFilePath();
    answer.selectedFilter = dialog.selectedNameFilter();
    if (options)
        *request.exportChoices =
            options->Choices(ExportTargetFor(answer.fileName, answer.selectedFilter).type);
    RememberFileDialog(request.name, answer.fileName);
    return answer;
}

PrintHook& ThePrintHook() {
    static PrintHook hook;
    return hook;
}

PreviewHook& ThePreviewHook() {
    static PreviewHook hook;
    return hook;
}

}  // namespace

QString FileDialogStart(const QString& name) {
    const QString last = QSettings().value(QStringLiteral("fileDialogs/") + name).toString();
    // A folder that went away since is no place to start in.
    if (!last.isEmpty() && QFileInfo(last).absoluteDir().exists()) return last;
    // A pictures folder that does not exist would be offered as the file's name.
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}

void RememberFileDialog(const QString& name, const QString& fileName) {
    QSettings().setValue(QStringLiteral("fileDialogs/") + name, fileName);
}

QString FirstSuffixOfFilter(const QString& filter) {
    const qsizetype star = filter.indexOf(QLatin1String("*."));
    if (star < 0) return {};
    qsizetype end = star + 2;
    while (end < filter.size() && filter[end] != QLatin1Char(' ') &&
           filter[end] != QLatin1Char(')'))
        ++end;
    return filter.mid(star + 2, end - star - 2);
}

PrintHook SetPrintHook(PrintHook hook) {
    PrintHook previous = std::move(ThePrintHook());
    ThePrintHook() = std::move(hook);
    return previous;
}

bool RunPrintDialog(QWidget* parent, QPrinter& printer) {
    if (ThePrintHook()) return ThePrintHook()(printer);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QTr("Drucken"));
    return dialog.exec() == QDialog::Accepted;
}

PreviewHook SetPreviewHook(PreviewHook hook) {
    PreviewHook previous = std::move(ThePreviewHook());
    ThePreviewHook() = std::move(hook);
    return previous;
}

void RunPrintPreview(QWidget* parent, QPrinter& printer, const PrintPainter& paint) {
    if (ThePreviewHook()) return ThePreviewHook()(printer, paint);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("PrintPreview"));
    preview.setWindowTitle(QTr("Druckvorschau"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&paint](QPrinter* target) { paint(*target); });
    preview.exec();
}

DialogHook SetDialogHook(DialogHook hook) {
    DialogHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

DialogAnswer RunDialog(QWidget* parent, const DialogRequest& request) {
    if (Hook()) return Hook()(request);
    if (request.kind == DialogKind::Color) {
        DialogAnswer answer;
        const QColor chosen = QColorDialog::getColor(ToQColor(request.color), parent, QTr("Farbe"));
        if (!chosen.isValid()) return answer;
        answer.accepted = true;
        answer.color = FromQColor(chosen);
        return answer;
    }
    return RunFileDialog(parent, request);
}

std::optional<TColor> ChooseColor(QWidget* parent, TColor current) {
    DialogRequest request;
    request.kind = DialogKind::Color;
    request.name = QStringLiteral("ColorDialog1");
    request.color = current;
    const DialogAnswer answer = RunDialog(parent, request);
    if (!answer.accepted) return std::nullopt;
    return answer.color;
}

}  // namespace gw
