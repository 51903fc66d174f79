#include "ui/ExportOptionsRow.h"
#include "ui/Tr.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

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
    // The note changes with every option and type; wrapped in a line of its own it never widens
    // the dialog, so the boxes stay under the pointer.
    SizeLabel->setWordWrap(true);
    SizeLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    SmoothCheck = new QCheckBox(QTr("Kanten glätten"), this);
    SmoothCheck->setObjectName(QStringLiteral("SmoothCheck"));
    TransparentCheck = new QCheckBox(QTr("Hintergrund transparent"), this);
    TransparentCheck->setObjectName(QStringLiteral("TransparentCheck"));
    DpiEd = new QSpinBox(this);
    DpiEd->setObjectName(QStringLiteral("DpiEd"));
    DpiEd->setRange(0, kMaxDpi);
    // No resolution in the file unless one is asked for; sizes are then given at 96 dpi.
    DpiEd->setSpecialValueText(QTr("keine"));
    DpiEd->setSingleStep(50);
    QualityEd = new QSpinBox(this);
    QualityEd->setObjectName(QStringLiteral("QualityEd"));
    QualityEd->setRange(1, kMaxQuality);
    // WebP is lossless unless asked otherwise, as the renderer writes it without --quality; a
    // box of its own keeps 100 meaning the same in JPEG and WebP.
    LossyCheck = new QCheckBox(QTr("verlustbehaftet"), this);
    LossyCheck->setObjectName(QStringLiteral("LossyCheck"));
    OutlinesCheck = new QCheckBox(QTr("Nur Umrisse (Schneideplotter, Laser)"), this);
    OutlinesCheck->setObjectName(QStringLiteral("OutlinesCheck"));
    VectorCheck = new QCheckBox(QTr("Als Vektorgrafik"), this);
    VectorCheck->setObjectName(QStringLiteral("VectorCheck"));

    auto* size = new QLabel(QTr("Druck&größe:"), this);
    size->setBuddy(ScaleEd);
    auto* dpi = new QLabel(QTr("D&PI:"), this);
    dpi->setBuddy(DpiEd);
    auto* quality = new QLabel(QTr("&Qualität:"), this);
    quality->setBuddy(QualityEd);
    auto* first = new QHBoxLayout;
    first->addWidget(size);
    first->addWidget(ScaleEd);
    first->addWidget(SmoothCheck);
    first->addWidget(TransparentCheck);
    first->addStretch(1);
    first->addWidget(dpi);
    first->addWidget(DpiEd);
    auto* second = new QHBoxLayout;
    second->addWidget(quality);
    second->addWidget(QualityEd);
    second->addWidget(LossyCheck);
    second->addStretch(1);
    second->addWidget(VectorCheck);
    second->addWidget(OutlinesCheck);
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 4, 0, 0);
    rows->addLayout(first);
    rows->addLayout(second);
    rows->addWidget(SizeLabel);

    connect(ScaleEd, &QSpinBox::valueChanged, this, [this] { ShowState(); });
    connect(DpiEd, &QSpinBox::valueChanged, this, [this] { ShowState(); });
    connect(LossyCheck, &QCheckBox::toggled, this, [this] { ShowState(); });
    connect(VectorCheck, &QCheckBox::toggled, this, [this] { ShowState(); });
    connect(SmoothCheck, &QCheckBox::toggled, this, [this] { ShowState(); });
    connect(TransparentCheck, &QCheckBox::toggled, this, [this] { ShowState(); });
    connect(OutlinesCheck, &QCheckBox::toggled, this, &TExportOptionsRow::OutlinesToggled);
    ShowState();
}

void TExportOptionsRow::SetPictureSize(std::int32_t width, std::int32_t height) {
    width_ = width;
    height_ = height;
    ShowState();
}

void TExportOptionsRow::SetChoices(const ExportChoices& choices) {
    choices_ = choices;
    if (type_) ShowOptions(choices_.For(*type_));
}

void TExportOptionsRow::SetType(ImageFileType type) {
    if (type_ == type) return;
    if (type_) choices_.options[*type_] = Options();
    type_ = type;
    ShowOptions(choices_.For(type));
}

void TExportOptionsRow::ShowOptions(const ExportOptions& options) {
    const QSignalBlocker lossy(LossyCheck);
    const QSignalBlocker outlines(OutlinesCheck);
    const QSignalBlocker vector(VectorCheck);
    beforeOutlines_ = options;
    OutlinesCheck->setChecked(options.outlines);
    VectorCheck->setChecked(options.vector);
    ScaleEd->setValue(options.scale);
    SmoothCheck->setChecked(options.smooth);
    TransparentCheck->setChecked(options.transparent);
    DpiEd->setValue(options.dpi);
    QualityEd->setValue(options.quality);
    LossyCheck->setChecked(options.lossy);
    if (options.outlines) {
        const QSignalBlocker scale(ScaleEd), smooth(SmoothCheck), transparent(TransparentCheck);
        ScaleEd->setValue(1);
        SmoothCheck->setChecked(false);
        TransparentCheck->setChecked(false);
    }
    ShowState();
}

ExportOptions TExportOptionsRow::Options() const {
    ExportOptions options;
    options.outlines = OutlinesCheck->isEnabled() && OutlinesCheck->isChecked();
    options.vector = VectorCheck->isEnabled() && VectorCheck->isChecked();
    options.scale = ScaleEd->value();
    options.smooth = SmoothCheck->isChecked();
    options.transparent = TransparentCheck->isEnabled() && TransparentCheck->isChecked();
    options.dpi = DpiEd->value();
    options.quality = QualityEd->value();
    options.lossy = LossyCheck->isEnabled() && LossyCheck->isChecked();
    if (options.outlines) {
        // Kept for the type while the outlines hide them; the cut file itself takes none.
        options.scale = beforeOutlines_.scale;
        options.smooth = beforeOutlines_.smooth;
        options.transparent = beforeOutlines_.transparent;
    }
    return options;
}

ExportChoices TExportOptionsRow::Choices(ImageFileType savedAs) const {
    ExportChoices choices = choices_;
    choices.Choose(savedAs, Options());
    return choices;
}

void TExportOptionsRow::OutlinesToggled(bool on) {
    // A cut file has no pixels to scale or smooth and no background: those boxes show off while
    // the outlines are chosen and get back what they held when the outlines are dropped.
    const QSignalBlocker scale(ScaleEd), smooth(SmoothCheck), transparent(TransparentCheck);
    if (on) {
        beforeOutlines_.scale = ScaleEd->value();
        beforeOutlines_.smooth = SmoothCheck->isChecked();
        beforeOutlines_.transparent = TransparentCheck->isChecked();
        ScaleEd->setValue(1);
        SmoothCheck->setChecked(false);
        TransparentCheck->setChecked(false);
    } else {
        ScaleEd->setValue(beforeOutlines_.scale);
        SmoothCheck->setChecked(beforeOutlines_.smooth);
        TransparentCheck->setChecked(beforeOutlines_.transparent);
    }
    ShowState();
}

void TExportOptionsRow::ShowState() {
    const ImageFileType type = type_.value_or(ImageFileType::Png);
    const bool webp = type == ImageFileType::Webp;
    const bool svg = type == ImageFileType::Svg, pdf = type == ImageFileType::Pdf;
    OutlinesCheck->setEnabled(svg || pdf);
    const bool outlines = OutlinesCheck->isEnabled() && OutlinesCheck->isChecked();
    // An SVG is always a vector picture; a PDF is one when asked for or when it holds outlines.
    VectorCheck->setEnabled(pdf && !outlines);
    if (svg) {
        const QSignalBlocker quiet(VectorCheck);
        VectorCheck->setChecked(true);
    }
    ScaleEd->setEnabled(!outlines);
    SmoothCheck->setEnabled(!outlines);
    TransparentCheck->setEnabled(TypeTakesTransparency(type) && !outlines);
    DpiEd->setEnabled(type == ImageFileType::Png || type == ImageFileType::Jpeg || pdf || svg);
    LossyCheck->setEnabled(webp);
    if (!webp) {
        // A JPEG is always lossy, the other types never.
        const QSignalBlocker quiet(LossyCheck);
        LossyCheck->setChecked(type == ImageFileType::Jpeg);
    }
    QualityEd->setEnabled(type == ImageFileType::Jpeg || (webp && LossyCheck->isChecked()));
    SizeLabel->setText(ExportSizeText(width_, height_, Options(), type));
}

}  // namespace gw
