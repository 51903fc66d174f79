#pragma once
// TExportOptionsRow: the options under the file list of "Bild speichern unter...": print size
// (scale 1 to 8), "Kanten glätten", "Hintergrund transparent" (for PNG, PDF, WebP and SVG), the
// resolution in dpi, the quality of the lossy formats, the cut file's outlines and the vector PDF,
// and a note of what the file will hold.
// Each file type keeps its own options: choosing another type in the dialog shows that type's.

#include <QWidget>
#include <cstdint>
#include <optional>

#include "ui/PictureExport.h"

class QCheckBox;
class QLabel;
class QSpinBox;

namespace gw {

class TExportOptionsRow : public QWidget {
    Q_OBJECT

  public:
    explicit TExportOptionsRow(QWidget* parent = nullptr);

    QSpinBox* ScaleEd;
    QLabel* SizeLabel;
    QCheckBox* SmoothCheck;
    QCheckBox* TransparentCheck;
    QSpinBox* DpiEd;
    QSpinBox* QualityEd;
    QCheckBox* LossyCheck;
    QCheckBox* OutlinesCheck;
    QCheckBox* VectorCheck;

    // The picture the scale applies to, in pixels.
    void SetPictureSize(std::int32_t width, std::int32_t height);
    // What was chosen so far in the session; the row then shows the options of the type set next.
    void SetChoices(const ExportChoices& choices);
    // The type chosen in the dialog: the options of the type shown before are kept, this type's
    // are shown. Transparency is offered for PNG, PDF and WebP, a resolution for PNG, JPEG and
    // PDF, the quality for JPEG and for WebP once "verlustbehaftet" is checked, outlines for SVG
    // and PDF, and the choice of a vector page for PDF.
    void SetType(ImageFileType type);
    // What the row shows; transparency only while the type takes it.
    ExportOptions Options() const;
    // The session's choices with the shown options as those of a file saved as `savedAs`.
    ExportChoices Choices(ImageFileType savedAs) const;

  private:
    void ShowOptions(const ExportOptions& options);
    void ShowState();
    void OutlinesToggled(bool on);
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    ExportChoices choices_;
    std::optional<ImageFileType> type_;
    // What the outlines switched off, given back when they are switched off again.
    ExportOptions beforeOutlines_;
};

}  // namespace gw
