// The layout of the effect tabs 3D-Kante, Schatten and Rahmen.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <span>
#include <string_view>
#include <tuple>

#include "app/LayoutKit.h"
#include "app/Pictures.h"
#include "document/SettingsTable.h"
#include "raster/DibService.h"
#include "render/Presets.h"
#include "ui/ColorFrUnit.h"
#include "ui/Dialogs.h"
#include "ui/GalleryBox.h"
#include "ui/GalleryCells.h"
#include "ui/Image.h"
#include "ui/ImageList.h"
#include "ui/LiveThumbnails.h"
#include "ui/PaintBox.h"
#include "ui/QtBridge.h"
#include "ui/Shape.h"
#include "ui/SpinEdit.h"
#include "ui/SurfFrUnit.h"
#include "ui/Tex0FrUnit.h"
#include "ui/TextureFrUnit.h"
#include "ui/ThumbnailGallery.h"
#include "ui/Tr.h"

namespace gw {

namespace layout {

QWidget* BuildEdgeTab() {
    auto* TabSheet6 = new QWidget;
    Name(TabSheet6, "TabSheet6");
    auto* layout = new QVBoxLayout(TabSheet6);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* PageControl4 = new QTabWidget(TabSheet6);
    Name(PageControl4, "PageControl4");
    layout->addWidget(PageControl4);

    auto* TabSheet11 = new QWidget;
    Name(TabSheet11, "TabSheet11");
    auto* presets = new QVBoxLayout(TabSheet11);
    presets->setContentsMargins(0, 0, 0, 0);
    TPaintBox* KantePaint = nullptr;
    TGalleryBox* ScrollBox3 = GalleryBox("ScrollBox3", KantePaint, "KantePaint", 94, TabSheet11);
    presets->addWidget(ScrollBox3);
    PageControl4->addTab(TabSheet11, QTr("Vorgegebene Kanten"));

    auto* TabSheet12 = new QWidget;
    Name(TabSheet12, "TabSheet12");
    PageControl4->addTab(TabSheet12, QTr("Eigene Kanten"));
    auto* grid = new QGridLayout(TabSheet12);
    grid->setContentsMargins(6, 3, 6, 2);
    grid->setHorizontalSpacing(14);

    auto* switches = Column(grid, 0);
    auto* KanteCheck = Check("KanteCheck", QTr("3D-Kante hinzufügen"), TabSheet12);
    auto* KQualCheck = Check("KQualCheck", QTr("3 Lichtstrahlen"), TabSheet12);
    auto* KFixedWCheck = Check("KFixedWCheck", QTr("Feste Breite"), TabSheet12);
    auto* Invers1Check = Check("Invers1Check", QTr("Invers"), TabSheet12);
    for (QCheckBox* check : {KanteCheck, KQualCheck, KFixedWCheck, Invers1Check})
        switches->addWidget(check);

    auto* values = new QGridLayout;
    values->setVerticalSpacing(2);
    SpinRow(values, 0, QTr("Winkel:"), "KWinkEd", TabSheet12);
    SpinRow(values, 1, QTr("Breite (%):"), "KBreiteEd", TabSheet12);
    SpinRow(values, 2, QTr("Lichtstärke:"), "KLichtEd", TabSheet12);
    grid->addLayout(values, 0, 1, Qt::AlignTop);

    const QStringList profiles = {QTr("Flach"), QTr("Linear"), QTr("Konvex"), QTr("Konkav")};
    struct Part {
        const char* groupName;
        QString title;
        const char* boxName;
        const char* backgroundName;
    };
    const Part parts[] = {
        {"GroupBox1", QTr("1.Teil der Kante"), "Profil1Box", "BkGnd1"},
        {"GroupBox2", QTr("2.Teil der Kante"), "Profil2Box", "BkGnd2"},
    };
    int column = 2;
    for (const Part& part : parts) {
        auto* group = new QGroupBox(part.title, TabSheet12);
        Name(group, part.groupName);
        auto* groupGrid = new QGridLayout(group);
        groupGrid->setContentsMargins(6, 2, 6, 2);
        groupGrid->setVerticalSpacing(2);
        auto* box = List(part.boxName, profiles, group);
        auto* background = Check(part.backgroundName, QTr("Hintergund"), group);
        groupGrid->addWidget(Label(QTr("Profil:"), box, group), 0, 0);
        groupGrid->addWidget(box, 0, 1);
        groupGrid->addWidget(background, 1, 0, 1, 2);
        grid->addWidget(group, 0, column++, Qt::AlignTop);
    }
    grid->setColumnStretch(column, 1);
    return TabSheet6;
}

QWidget* BuildShadowTab() {
    auto* TabSheet7 = new QWidget;
    Name(TabSheet7, "TabSheet7");
    auto* layout = new QVBoxLayout(TabSheet7);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* PageControl5 = new QTabWidget(TabSheet7);
    Name(PageControl5, "PageControl5");
    layout->addWidget(PageControl5);

    auto* TabSheet13 = new QWidget;
    Name(TabSheet13, "TabSheet13");
    auto* presets = new QVBoxLayout(TabSheet13);
    presets->setContentsMargins(0, 0, 0, 0);
    TPaintBox* SchattenPaint = nullptr;
    TGalleryBox* ScrollBox4 =
        GalleryBox("ScrollBox4", SchattenPaint, "SchattenPaint", 94, TabSheet13);
    presets->addWidget(ScrollBox4);
    PageControl5->addTab(TabSheet13, QTr("Vorgegebene Schatten"));

    auto* TabSheet14 = new QWidget;
    Name(TabSheet14, "TabSheet14");
    PageControl5->addTab(TabSheet14, QTr("Eigene Schatten"));
    auto* grid = new QGridLayout(TabSheet14);
    grid->setContentsMargins(6, 3, 6, 2);
    grid->setHorizontalSpacing(14);

    auto* first = Column(grid, 0);
    auto* SchattenCheck = Check("SchattenCheck", QTr("Schatten hinzufügen"), TabSheet14);
    first->addWidget(SchattenCheck);
    auto* colour = new QHBoxLayout;
    auto* SColorShape = new TShape(TabSheet14);
    Name(SColorShape, "SColorShape");
    SColorShape->setFixedSize(25, 25);
    SColorShape->setBrushColor(clBlack);
    auto* SColorBtn = new QPushButton(QTr("&Farbe festlegen"), TabSheet14);
    Name(SColorBtn, "SColorBtn");
    colour->addWidget(SColorShape);
    colour->addWidget(SColorBtn);
    colour->addStretch(1);
    first->addLayout(colour);

    auto* values = new QGridLayout;
    values->setVerticalSpacing(2);
    auto* SDeckEd = MakeSpin("SDeckEd", TabSheet14);
    auto* SWeichEd = MakeSpin("SWeichEd", TabSheet14);
    auto* SRichtBox =
        List("SRichtBox", {QStringLiteral("0°"), QStringLiteral("-45°"), QStringLiteral("45°")},
             TabSheet14);
    SRichtBox->setFixedWidth(64);
    values->addWidget(Label(QTr("Deckkraft:"), SDeckEd, TabSheet14), 0, 0);
    values->addWidget(SDeckEd, 0, 1);
    values->addWidget(Label(QTr("Weichheit:"), SWeichEd, TabSheet14), 1, 0);
    values->addWidget(SWeichEd, 1, 1);
    values->addWidget(Label(QTr("Richtung:"), SRichtBox, TabSheet14), 2, 0);
    values->addWidget(SRichtBox, 2, 1);
    grid->addLayout(values, 0, 1, Qt::AlignTop);

    auto* offset = new QGroupBox(QTr("Verschiebung"), TabSheet14);
    Name(offset, "GroupBox3");
    auto* offsetGrid = new QGridLayout(offset);
    offsetGrid->setContentsMargins(6, 2, 6, 2);
    offsetGrid->setVerticalSpacing(2);
    SpinRow(offsetGrid, 0, QTr("Nach rechts:"), "SRightEd", offset);
    SpinRow(offsetGrid, 1, QTr("Nach unten:"), "SBottomEd", offset);
    grid->addWidget(offset, 0, 2, Qt::AlignTop);
    grid->setColumnStretch(3, 1);
    return TabSheet7;
}

QWidget* BuildFrameTab() {
    auto* TabSheet8 = new QWidget;
    Name(TabSheet8, "TabSheet8");
    auto* grid = PageGrid(TabSheet8);
    grid->setContentsMargins(8, 3, 8, 2);
    TPaintBox* RahmenPaint = nullptr;
    TGalleryBox* ScrollBox5 = GalleryBox("ScrollBox5", RahmenPaint, "RahmenPaint", 125, TabSheet8);
    ScrollBox5->setFixedWidth(200);
    grid->addWidget(ScrollBox5, 0, 0);

    auto* options = Column(grid, 1);
    auto* RTextcheck = Check("RTextcheck", QTr("Auch über Text legen"), TabSheet8);
    options->addWidget(RTextcheck);
    auto* values = new QGridLayout;
    values->setVerticalSpacing(2);
    SpinRow(values, 0, QTr("Breite:"), "RBreitEd", TabSheet8);
    SpinEdit* RHochEd = SpinRow(values, 1, QTr("Höhe:"), "RHochEd", TabSheet8);
    options->addLayout(values);

    auto* colour = new QHBoxLayout;
    auto* RColorShape = new TShape(TabSheet8);
    Name(RColorShape, "RColorShape");
    RColorShape->setFixedSize(25, 25);
    RColorShape->setBrushColor(clBlack);
    auto* RColorBtn = new QPushButton(QTr("&Farbe festlegen"), TabSheet8);
    Name(RColorBtn, "RColorBtn");
    colour->addWidget(RColorShape);
    colour->addWidget(RColorBtn);
    colour->addStretch(1);
    grid->addLayout(colour, 0, 2, Qt::AlignTop);
    grid->setColumnStretch(3, 1);
    // The frame gallery enables these for the styles that use them.
    RHochEd->setEnabled(false);
    RColorBtn->setEnabled(false);
    return TabSheet8;
}

}  // namespace layout
}  // namespace gw
