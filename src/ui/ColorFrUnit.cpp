#include "ui/ColorFrUnit.h"

#include <QGridLayout>
#include <QPushButton>

#include "ui/Dialogs.h"
#include "ui/Shape.h"
#include "ui/Tr.h"

namespace gw {

TColorFrame::TColorFrame(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ColorFrame1"));
    ColorShape = new TShape(this);
    ColorShape->setObjectName(QStringLiteral("ColorShape"));
    ColorShape->setFixedSize(65, 65);
    ColorBtn = new QPushButton(QTr("&Farbe festlegen"), this);
    ColorBtn->setObjectName(QStringLiteral("ColorBtn"));

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setHorizontalSpacing(12);
    layout->addWidget(ColorShape, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(ColorBtn, 0, 1, Qt::AlignLeft | Qt::AlignTop);
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(1, 1);

    connect(ColorBtn, &QPushButton::clicked, this, [this] { ColorBtnClick(); });
    SetColor(clWhite);
}

void TColorFrame::SetColor(TColor color) {
    dialogColor_ = color;
    ColorShape->setBrushColor(color);
}

void TColorFrame::ColorBtnClick() {
    const std::optional<TColor> chosen = ChooseColor(window(), dialogColor_);
    if (!chosen) return;
    SetColor(*chosen);
    if (OnColorChosen) OnColorChosen(*chosen);
}

}  // namespace gw
