#pragma once
// The common dialogs of the window: colour, open and save. Every dialog of the program runs
// through here, so tests answer them with a hook instead of a modal window.

#include <QString>
#include <functional>
#include <optional>

#include "platform/Geometry.h"
#include "ui/PictureExport.h"

class QPrinter;
class QWidget;

namespace gw {

enum class DialogKind { Color, Open, Save };

struct DialogRequest {
    DialogKind kind = DialogKind::Color;
    QString name;            // the dialog's name, e.g. "OpenDialog1"; each name keeps its last file
    QString filter;          // Qt form, "Schriftzug-Dateien (*.zgw)"
    QString defaultSuffix;   // without the dot
    TColor color = clBlack;  // the colour the colour dialog opens with
    // A save dialog given these has the options row of a picture export under its file list; it
    // starts with the type saved last, shows each type's options, and when accepted writes back
    // the choices with those of the type the file is saved as. The picture size is what the
    // row's print size applies to.
    ExportChoices* exportChoices = nullptr;
    std::int32_t pictureWidth = 0;
    std::int32_t pictureHeight = 0;
};

struct DialogAnswer {
    bool accepted = false;
    QString fileName;  // full path
    TColor color = clBlack;
    QString selectedFilter;  // the filter chosen in a file dialog, as given in the request
};

using DialogHook = std::function<DialogAnswer(const DialogRequest&)>;

// Installs a hook that answers every dialog instead of showing it; returns the previous hook.
DialogHook SetDialogHook(DialogHook hook);

DialogAnswer RunDialog(QWidget* parent, const DialogRequest& request);

// Where a file dialog of that name starts: the file chosen in it last, kept in the user's
// settings between runs, or the user's pictures folder the first time.
QString FileDialogStart(const QString& name);
void RememberFileDialog(const QString& name, const QString& fileName);

// The suffix of a filter's first pattern, without the dot: "png" for "PNG-Bild (*.png)"; empty
// when the filter has no "*.xxx" pattern.
QString FirstSuffixOfFilter(const QString& filter);

// The printer dialog: true when the user chose to print; the printer is then set up as chosen.
// A test installs a hook that sets the printer up itself.
using PrintHook = std::function<bool(QPrinter&)>;
PrintHook SetPrintHook(PrintHook hook);
bool RunPrintDialog(QWidget* parent, QPrinter& printer);

// The print preview ("Druckvorschau") of what `paint` puts on the printer's pages; its own print
// button prints through `paint` again. A test installs a hook that gets the printer and `paint`
// instead of the modal window.
using PrintPainter = std::function<void(QPrinter&)>;
using PreviewHook = std::function<void(QPrinter&, const PrintPainter&)>;
PreviewHook SetPreviewHook(PreviewHook hook);
void RunPrintPreview(QWidget* parent, QPrinter& printer, const PrintPainter& paint);

// The colour dialog ("ColorDialog1"), opened with `current`: the chosen colour, or nothing when the
// user cancels.
std::optional<TColor> ChooseColor(QWidget* parent, TColor current);

}  // namespace gw
