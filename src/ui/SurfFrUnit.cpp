#include "ui/SurfFrUnit.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/ColorFrUnit.h"
#include "ui/Tex0FrUnit.h"
#include "ui/TextureFrUnit.h"
#include "ui/Tr.h"

namespace gw {

namespace {

int ClassOfKind(int kind) {
    return kind == 0 ? 0 : 2;
}

}  // namespace

TSurfaceFrame::TSurfaceFrame(QWidget* parent) : QWidget(parent) {
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedWidth(129);
    ColorCheck = new QRadioButton(QTr("Farbe"), Panel1);
    ColorCheck->setObjectName(QStringLiteral("ColorCheck"));
    Texture0Check = new QRadioButton(QTr("Textur"), Panel1);
    Texture0Check->setObjectName(QStringLiteral("Texture0Check"));
    TextureCheck = new QRadioButton(QTr("Eigene Textur"), Panel1);
    TextureCheck->setObjectName(QStringLiteral("TextureCheck"));
    ColorCheck->setChecked(true);
    auto* group = new QButtonGroup(this);
    group->addButton(ColorCheck, 0);
    group->addButton(Texture0Check, 1);
    group->addButton(TextureCheck, 2);

    auto* panel1Layout = new QVBoxLayout(Panel1);
    panel1Layout->setContentsMargins(8, 4, 4, 4);
    panel1Layout->setSpacing(2);
    panel1Layout->addWidget(ColorCheck);
    panel1Layout->addWidget(Texture0Check);
    panel1Layout->addWidget(TextureCheck);
    panel1Layout->addStretch(1);

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    ColorFrame1 = new TColorFrame(Panel2);
    Texture0Frame1 = new TTexture0Frame(Panel2);
    TextureFrame1 = new TTextureFrame(Panel2);
    auto* panel2Layout = new QHBoxLayout(Panel2);
    panel2Layout->setContentsMargins(0, 0, 0, 0);
    panel2Layout->addWidget(ColorFrame1);
    panel2Layout->addWidget(Texture0Frame1);
    panel2Layout->addWidget(TextureFrame1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(Panel2, 1);

    for (QRadioButton* button : {ColorCheck, Texture0Check, TextureCheck}) {
        connect(button, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked) ColorCheckClick();
        });
    }
    SetMeRight(0);
}

int TSurfaceFrame::CheckedKind() const {
    if (Texture0Check->isChecked()) return 1;
    if (TextureCheck->isChecked()) return 2;
    return 0;
}

void TSurfaceFrame::CheckKind(int kind) {
    QRadioButton* button = kind == 1 ? Texture0Check : kind == 2 ? TextureCheck : ColorCheck;
    button->setChecked(true);
}

void TSurfaceFrame::ColorCheckClick() {
    const int kind = CheckedKind();
    const bool classChanged = ClassOfKind(kind) != surfaceClass_;
    if (OnKindChanged) OnKindChanged(kind, classChanged);
    SetMeRight(kind);
}

void TSurfaceFrame::SetMeRight(int kind) {
    ColorFrame1->setVisible(kind == 0);
    Texture0Frame1->setVisible(kind == 1);
    TextureFrame1->setVisible(kind == 2);
    surfaceClass_ = ClassOfKind(kind);
}

}  // namespace gw
