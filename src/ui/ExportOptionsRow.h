#pragma once
// TExportOptionsRow: the options row under the file list of "Bild speichern unter...": print
// size (scale 1 to 8, with the pixel size and the size in cm it gives), "Kanten glätten",
// "Hintergrund transparent" (for PNG, PDF and WebP only) and the resolution in dpi.

#include <QWidget>
#include <cstdint>

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

    // The picture the scale applies to, in pixels.
    void SetPictureSize(std::int32_t width, std::int32_t height);
    void SetOptions(const ExportOptions& options);
    // What the row holds; transparency only while the chosen type takes it.
    ExportOptions Options() const;
    // The type chosen in the dialog: transparency is offered for PNG, PDF and WebP, a resolution
    // for all but BMP and WebP.
    void SetType(ImageFileType type);

  private:
    void ShowSize();
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
};

}  // namespace gw
