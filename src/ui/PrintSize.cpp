#include "ui/PrintSize.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "raster/ImageFiles.h"
#include "ui/PictureExport.h"
#include "ui/Tr.h"

namespace gw {

namespace {

PrintSizeHook& Hook() {
    static PrintSizeHook hook;
    return hook;
}

}  // namespace

QString PrintedSizeText(std::int32_t width, std::int32_t height, double dpi) {
    const QLocale numbers = NumberLocale();
    return QTr("%1 × %2 cm")
        .arg(numbers.toString(PrintedCm(width, dpi), 'f', 2),
             numbers.toString(PrintedCm(height, dpi), 'f', 2));
}

TPrintSizeDialog::TPrintSizeDialog(QWidget* parent, std::int32_t width, std::int32_t height,
                                   double dpi)
    : QDialog(parent), width_(std::max(width, 1)), height_(std::max(height, 1)) {
    setObjectName(QStringLiteral("PrintSizeDialog"));
    setWindowTitle(QTr("Druckgröße"));
    const QLocale numbers = NumberLocale();
    DpiEd = new QDoubleSpinBox(this);
    DpiEd->setObjectName(QStringLiteral("DpiEd"));
    DpiEd->setLocale(numbers);
    DpiEd->setDecimals(1);
    DpiEd->setRange(1, kMaxDpi);
    DpiEd->setSuffix(QStringLiteral(" dpi"));
    WidthEd = new QDoubleSpinBox(this);
    WidthEd->setObjectName(QStringLiteral("WidthEd"));
    WidthEd->setLocale(numbers);
    WidthEd->setDecimals(2);
    // The width's range is the resolution's, turned round.
    WidthEd->setRange(std::max(PrintedCm(width_, kMaxDpi), 0.01), PrintedCm(width_, 1));
    WidthEd->setSuffix(QStringLiteral(" cm"));
    SizeLabel = new QLabel(this);
    SizeLabel->setObjectName(QStringLiteral("SizeLabel"));

    auto* form = new QFormLayout;
    form->addRow(QTr("&Breite:"), WidthEd);
    form->addRow(QTr("&Auflösung:"), DpiEd);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QTr("Weiter"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QTr("Abbrechen"));
    auto* note = new QLabel(QTr("Passt das Bild so nicht auf die Seite, wird es verkleinert "
                                "gedruckt. 96 dpi ist seine Größe auf dem Bildschirm."),
                            this);
    note->setWordWrap(true);
    auto* column = new QVBoxLayout(this);
    column->addWidget(SizeLabel);
    column->addLayout(form);
    column->addWidget(note);
    column->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // Either field sets the other; the one typed in last decides, as both show rounded values.
    connect(DpiEd, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        dpi_ = value;
        const QSignalBlocker quiet(WidthEd);
        WidthEd->setValue(PrintedCm(width_, value));
        ShowSize();
    });
    connect(WidthEd, &QDoubleSpinBox::valueChanged, this, [this](double cm) {
        dpi_ = std::clamp(DpiForCm(width_, cm), 1.0, double(kMaxDpi));
        const QSignalBlocker quiet(DpiEd);
        DpiEd->setValue(dpi_);
        ShowSize();
    });
    DpiEd->setValue(std::clamp(dpi, 1.0, double(kMaxDpi)));
    dpi_ = std::clamp(dpi, 1.0, double(kMaxDpi));  // unrounded, as a width set it
    const QSignalBlocker quiet(WidthEd);
    WidthEd->setValue(PrintedCm(width_, dpi_));
    ShowSize();
}

double TPrintSizeDialog::Dpi() const {
    return dpi_;
}

void TPrintSizeDialog::ShowSize() {
    SizeLabel->setText(QTr("%1 × %2 Pixel werden %3 groß gedruckt.")
                           .arg(width_)
                           .arg(height_)
                           .arg(PrintedSizeText(width_, height_, Dpi())));
}

PrintSizeHook SetPrintSizeHook(PrintSizeHook hook) {
    PrintSizeHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

bool RunPrintSizeDialog(QWidget* parent, std::int32_t width, std::int32_t height, double& dpi) {
    if (Hook()) return Hook()(width, height, dpi);
    TPrintSizeDialog dialog(parent, width, height, dpi);
    if (dialog.exec() != QDialog::Accepted) return false;
    dpi = dialog.Dpi();
    return true;
}

}  // namespace gw
