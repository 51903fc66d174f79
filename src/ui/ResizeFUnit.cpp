#include "ui/ResizeFUnit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "document/PictureSize.h"
#include "ui/SpinEdit.h"
#include "ui/Tr.h"

namespace gw {

namespace {

SpinEdit* SizeField(const char* name, QWidget* parent) {
    auto* field = new SpinEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setDecimals(0);
    field->setRange(kMinPictureSide, kMaxPictureSide);
    field->setSingleStep(1);
    field->setFixedWidth(81);
    return field;
}

bool OutOfRange(double value) {
    return !(value >= kMinPictureSide && value <= kMaxPictureSide);
}

}  // namespace

TResizeForm::TResizeForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ResizeForm"));
    setWindowTitle(QTr("Größe verändern"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(306, 236);
    setModal(true);

    BreitEdit = SizeField("BreitEdit", this);
    HochEdit = SizeField("HochEdit", this);
    SverhCheck = new QCheckBox(QTr("Seitenverhältnis beibehalten"), this);
    SverhCheck->setObjectName(QStringLiteral("SverhCheck"));
    SverhCheck->setChecked(true);
    SkalFont = new QCheckBox(QTr("Schriftzug mitskalieren"), this);
    SkalFont->setObjectName(QStringLiteral("SkalFont"));
    SkalFont->setChecked(true);
    SkalEffekte = new QCheckBox(QTr("Effekte mitskalieren"), this);
    SkalEffekte->setObjectName(QStringLiteral("SkalEffekte"));
    GrenzLabel = new QLabel(this);
    GrenzLabel->setObjectName(QStringLiteral("GrenzLabel"));
    GrenzLabel->setWordWrap(true);
    OkBtn = new QPushButton(QTr("OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QTr("Abbrechen"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));

    auto* width = new QLabel(QTr("Neue &Breite:"), this);
    width->setBuddy(BreitEdit);
    auto* height = new QLabel(QTr("Neue &Höhe:"), this);
    height->setBuddy(HochEdit);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(16, 14, 16, 12);
    grid->setVerticalSpacing(6);
    grid->addWidget(width, 0, 0);
    grid->addWidget(BreitEdit, 0, 1, Qt::AlignLeft);
    grid->addWidget(height, 1, 0);
    grid->addWidget(HochEdit, 1, 1, Qt::AlignLeft);
    grid->addWidget(SverhCheck, 2, 0, 1, 2);
    grid->addWidget(SkalFont, 3, 0, 1, 2);
    grid->addWidget(SkalEffekte, 4, 0, 1, 2);
    grid->addWidget(GrenzLabel, 5, 0, 1, 2);
    grid->setRowStretch(6, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* button : {OkBtn, CancelBtn}) {
        button->setFixedSize(75, 25);
        buttons->addWidget(button);
    }
    grid->addLayout(buttons, 7, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    connect(BreitEdit, &SpinEdit::valueChanged, this, [this] { BreitEditChange(); });
    connect(HochEdit, &SpinEdit::valueChanged, this, [this] { HochEditChange(); });
    connect(SverhCheck, &QCheckBox::clicked, this, [this] { SverhCheckClick(); });
    connect(SkalFont, &QCheckBox::clicked, this, [this] { SverhCheckClick(); });
    connect(SkalFont, &QCheckBox::toggled, this, [this] { ShowLimits(); });
    connect(SkalEffekte, &QCheckBox::toggled, this, [this] { ShowLimits(); });
    connect(OkBtn, &QPushButton::clicked, this, [this] { accept(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { reject(); });
}

void TResizeForm::SetReference(std::int32_t width, std::int32_t height) {
    referenceWidth_ = width;
    referenceHeight_ = height;
}

std::int32_t TResizeForm::NewWidth() const {
    return SizeFieldValue(BreitEdit->value());
}

std::int32_t TResizeForm::NewHeight() const {
    return SizeFieldValue(HochEdit->value());
}

void TResizeForm::SetSettings(const LetteringSettings& settings) {
    settings_ = settings;
    ShowLimits();
}

bool TResizeForm::ScalesEffects() const {
    return SkalFont->isChecked() && SkalEffekte->isChecked();
}

std::vector<ScaledMeasure> TResizeForm::ScaledEffects(const LetteringSettings& settings) const {
    const double fx = double(NewWidth()) / referenceWidth_;
    const double fy = double(NewHeight()) / referenceHeight_;
    return ScaledPixelMeasures(settings, fx, fy);
}

void TResizeForm::ShowLimits() {
    SkalEffekte->setEnabled(SkalFont->isChecked());
    QStringList held;
    if (ScalesEffects())
        for (const ScaledMeasure& m : ScaledEffects(settings_))
            if (m.heldAtLimit)
                // The settings table keeps the German name; it is shown in the chosen language.
                held << QTr(std::string(m.info->undoName).c_str()) + QLatin1Char(' ') +
                            QString::number(m.value);
    GrenzLabel->setText(
        held.isEmpty() ? QString()
                       : QTr("An der Grenze gehalten: %1").arg(held.join(QStringLiteral(", "))));
}

void TResizeForm::BreitEditChange() {
    ShowLimits();
    if (!SverhCheck->isChecked() || echoGuard_) return;
    echoGuard_ = true;
    HochEdit->setValue(HeightForWidth(BreitEdit->value(), referenceWidth_, referenceHeight_));
    echoGuard_ = false;
}

void TResizeForm::HochEditChange() {
    ShowLimits();
    if (!SverhCheck->isChecked() || echoGuard_) return;
    echoGuard_ = true;
    BreitEdit->setValue(WidthForHeight(HochEdit->value(), referenceWidth_, referenceHeight_));
    echoGuard_ = false;
}

void TResizeForm::SverhCheckClick() {
    BreitEditChange();
}

void TResizeForm::FormActivate() {
    echoGuard_ = false;
}

void TResizeForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TResizeForm::accept() {
    for (SpinEdit* field : {BreitEdit, HochEdit})
        if (OutOfRange(field->value())) field->setValue(SizeFieldValue(field->value()));
    QDialog::accept();
}

}  // namespace gw
