#include "ui/ExportOptionsRow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

#include "raster/ImageFiles.h"

namespace gw {

TExportOptionsRow::TExportOptionsRow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ExportOptions"));
    ScaleEd = new QSpinBox(this);
    ScaleEd->setObjectName(QStringLiteral("ScaleEd"));
    ScaleEd->setRange(1, kMaxRenderScale);
    ScaleEd->setPrefix(QStringLiteral("× "));
    SizeLabel = new QLabel(this);
    SizeLabel->setObjectName(QStringLiteral("SizeLabel"));
    SmoothCheck = new QCheckBox(QStringLiteral("Kanten glätten"), this);
    SmoothCheck->setObjectName(QStringLiteral("SmoothCheck"));
    TransparentCheck = new QCheckBox(QStringLiteral("Hintergrund transparent"), this);
    TransparentCheck->setObjectName(QStringLiteral("TransparentCheck"));
    DpiEd = new QSpinBox(this);
    DpiEd->setObjectName(QStringLiteral("DpiEd"));
    DpiEd->setRange(0, kMaxDpi);
    // No resolution in the file unless one is asked for; sizes are then given at 96 dpi.
    DpiEd->setSpecialValueText(QStringLiteral("keine"));
    DpiEd->setSingleStep(50);

    auto* size = new QLabel(QStringLiteral("Druck&größe:"), this);
    size->setBuddy(ScaleEd);
    auto* dpi = new QLabel(QStringLiteral("D&PI:"), this);
    dpi->setBuddy(DpiEd);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 4, 0, 0);
    row->addWidget(size);
    row->addWidget(ScaleEd);
    row->addWidget(SizeLabel, 1);
    row->addWidget(SmoothCheck);
    row->addWidget(TransparentCheck);
    row->addWidget(dpi);
    row->addWidget(DpiEd);

    connect(ScaleEd, &QSpinBox::valueChanged, this, [this] { ShowSize(); });
    connect(DpiEd, &QSpinBox::valueChanged, this, [this] { ShowSize(); });
    ShowSize();
}

void TExportOptionsRow::SetPictureSize(std::int32_t width, std::int32_t height) {
    width_ = width;
    height_ = height;
    ShowSize();
}

void TExportOptionsRow::SetOptions(const ExportOptions& options) {
    ScaleEd->setValue(options.scale);
    SmoothCheck->setChecked(options.smooth);
    TransparentCheck->setChecked(options.transparent);
    DpiEd->setValue(options.dpi);
}

ExportOptions TExportOptionsRow::Options() const {
    ExportOptions options;
    options.scale = ScaleEd->value();
    options.smooth = SmoothCheck->isChecked();
    options.transparent = TransparentCheck->isEnabled() && TransparentCheck->isChecked();
    options.dpi = DpiEd->value();
    return options;
}

void TExportOptionsRow::SetType(ImageFileType type) {
    TransparentCheck->setEnabled(TypeTakesTransparency(type));
    DpiEd->setEnabled(type != ImageFileType::Bmp && type != ImageFileType::Webp);
}

void TExportOptionsRow::ShowSize() {
    SizeLabel->setText(ExportSizeText(width_, height_, Options()));
}

}  // namespace gw
