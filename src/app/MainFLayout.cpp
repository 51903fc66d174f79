// The layout of the main window: tool bar, the two pages with the seven effect tabs, the bottom
// bar, the status bar. The tabs 3D-Kante, Schatten and Rahmen are MainFEffectTabs's. The layout
// keeps no control: each is named, and the areas that work with it look it up by its name.

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
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <span>
#include <string_view>
#include <tuple>

#include "app/LayoutKit.h"
#include "app/MainFUnit.h"
#include "app/Pictures.h"
#include "app/RenderSchedule.h"
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

SpinEdit* MakeSpin(const char* name, QWidget* parent) {
    auto* spin = new SpinEdit(parent);
    Name(spin, name);
    // Range and kind come from the settings table of the document layer.
    if (const SettingInfo* info = FindSetting(name)) {
        const SpinRule rule = SpinRuleOf(*info);
        spin->setRule(rule);
        spin->setSingleStep(rule.decimals > 0 ? 0.1 : 1);
        spin->setValue(info->startValue);
    }
    spin->setFixedWidth(64);
    return spin;
}

SpinEdit* SpinRow(QGridLayout* grid, int row, const QString& label, const char* name,
                  QWidget* parent) {
    SpinEdit* spin = MakeSpin(name, parent);
    grid->addWidget(Label(label, spin, parent), row, 0);
    grid->addWidget(spin, row, 1);
    return spin;
}

}  // namespace layout

using namespace layout;

namespace {

// ---------------------------------------------------------------------------------------------

QWidget* BuildToolBar(QWidget* parent) {
    auto* Panel25 = new QWidget(parent);
    Name(Panel25, "Panel25");
    Panel25->setFixedHeight(27);
    auto* layout = new QHBoxLayout(Panel25);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    struct Button {
        QToolButton*& button;
        const char* name;
        QString caption;
        QString hint;
        const char* picture;
    };
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* OpenBtn = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SaveBtn = nullptr;
    QToolButton* SaveAsBtn = nullptr;
    QToolButton* UndoBtn = nullptr;
    QToolButton* RedoBtn = nullptr;
    const Button buttons[] = {
        {SpeedButton1, "SpeedButton1", QTr("&Neu"), QTr("Neuen Schriftzug erstellen"),
         "tool-new.png"},
        {OpenBtn, "OpenBtn", QTr("&Bildgröße ändern..."), QTr("Bildgröße ändern..."),
         "tool-resize.png"},
        {SpeedButton2, "SpeedButton2", QTr("Ö&ffnen..."), QTr("Schriftzug öffnen..."),
         "tool-open.png"},
        {SaveBtn, "SaveBtn", QTr("&Speichern"), QTr("Schriftzug speichern"), "tool-save.png"},
        {SaveAsBtn, "SaveAsBtn", QTr("Speichern &unter..."), QTr("Schriftzug speichern unter..."),
         "tool-saveas.png"},
    };
    for (const Button& b : buttons) {
        b.button = new QToolButton(Panel25);
        Name(b.button, b.name);
        b.button->setText(b.caption);
        b.button->setToolTip(b.hint);
        b.button->setIcon(LayoutIcon(b.picture));
        b.button->setIconSize(QSize(16, 16));
        b.button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b.button->setAutoRaise(true);
        b.button->setFixedSize(121, 25);
        layout->addWidget(b.button);
    }
    // Undo and redo: arrows only, so the row still fits the window's width; the tool tip names
    // the step.
    for (auto [button, name, caption, arrow] :
         {std::tuple{&UndoBtn, "UndoBtn", QTr("Rückgängig"), QStyle::SP_ArrowBack},
          std::tuple{&RedoBtn, "RedoBtn", QTr("Wiederholen"), QStyle::SP_ArrowForward}}) {
        *button = new QToolButton(Panel25);
        Name(*button, name);
        (*button)->setText(caption);
        (*button)->setToolTip(caption);
        (*button)->setIcon(parent->style()->standardIcon(arrow));
        (*button)->setIconSize(QSize(16, 16));
        (*button)->setToolButtonStyle(Qt::ToolButtonIconOnly);
        (*button)->setAutoRaise(true);
        (*button)->setFixedSize(20, 25);
        (*button)->setEnabled(false);
        layout->addWidget(*button);
    }
    layout->addStretch(1);
    // The captions with their images fit the fixed button width in a slightly smaller font.
    QFont narrow = Panel25->font();
    narrow.setPointSizeF(narrow.pointSizeF() * 0.94);
    for (QToolButton* button : {SpeedButton1, OpenBtn, SpeedButton2, SaveBtn, SaveAsBtn})
        button->setFont(narrow);
    return Panel25;
}

QWidget* BuildTextTab();
QWidget* BuildSurfaceTab();
QWidget* BuildEnvelopeTab();
QWidget* BuildOutlineTab();

void BuildMakePage(QTabWidget* PageControl3) {
    auto* TabSheet1 = new QWidget;
    Name(TabSheet1, "TabSheet1");
    PageControl3->addTab(TabSheet1, LayoutIcon("page-make.png"), QTr("Schriftzug erstellen"));
    auto* layout = new QVBoxLayout(TabSheet1);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QWidget* Panel6 = Header(
        "Panel6", QTr("Schriftzug erstellen - Text eingeben, Einstellungen für Effekte treffen"),
        TabSheet1);
    layout->addWidget(Panel6);

    auto* ScrollBox1 = new QScrollArea(TabSheet1);
    Name(ScrollBox1, "ScrollBox1");
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* viewContent = new QWidget;
    Name(viewContent, "ScrollBox1Content");
    auto* PaintBox1 = new TPaintBox(viewContent);
    Name(PaintBox1, "PaintBox1");
    ScrollBox1->setWidget(viewContent);
    layout->addWidget(ScrollBox1, 1);

    auto* PageControl1 = new QTabWidget(TabSheet1);
    Name(PageControl1, "PageControl1");
    PageControl1->setFixedHeight(158);
    PageControl1->setIconSize(QSize(16, 16));
    PageControl1->setUsesScrollButtons(false);
    QWidget* TabSheet2 = BuildTextTab();
    PageControl1->addTab(TabSheet2, LayoutIcon("tab-text.png"), QTr("Text"));
    PageControl1->addTab(BuildSurfaceTab(), LayoutIcon("tab-surface.png"), QTr("Oberfläche"));
    PageControl1->addTab(BuildEnvelopeTab(), LayoutIcon("tab-envelope.png"), QTr("Verformen"));
    PageControl1->addTab(BuildOutlineTab(), LayoutIcon("tab-outline.png"), QTr("Umriß"));
    PageControl1->addTab(BuildEdgeTab(), LayoutIcon("tab-edge.png"), QTr("3D-Kante"));
    PageControl1->addTab(BuildShadowTab(), LayoutIcon("tab-shadow.png"), QTr("Schatten"));
    PageControl1->addTab(BuildFrameTab(), LayoutIcon("tab-frame.png"), QTr("Rahmen"));
    PageControl1->setCurrentWidget(TabSheet2);
    layout->addWidget(PageControl1);
}

QWidget* BuildTextTab() {
    auto* TabSheet2 = new QWidget;
    Name(TabSheet2, "TabSheet2");
    auto* grid = PageGrid(TabSheet2);
    auto* Memo1 = new QPlainTextEdit(TabSheet2);
    Name(Memo1, "Memo1");
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setTabChangesFocus(true);
    grid->addWidget(Memo1, 0, 0, 4, 1);

    auto* FontList = new QComboBox(TabSheet2);
    Name(FontList, "FontList");
    FontList->setMaxVisibleItems(20);
    FontList->setFixedWidth(200);
    grid->addWidget(Label(QTr("Schrift&art:"), FontList, TabSheet2), 0, 1);
    grid->addWidget(FontList, 0, 2);

    auto* styles = new QHBoxLayout;
    styles->setSpacing(2);
    auto* FettBtn = new QToolButton(TabSheet2);
    Name(FettBtn, "FettBtn");
    FettBtn->setText(QTr("F"));
    FettBtn->setToolTip(QTr("Fett"));
    QFont bold = FettBtn->font();
    bold.setBold(true);
    FettBtn->setFont(bold);
    auto* KursivBtn = new QToolButton(TabSheet2);
    Name(KursivBtn, "KursivBtn");
    KursivBtn->setText(QTr("K"));
    KursivBtn->setToolTip(QTr("Kursiv"));
    QFont italic = KursivBtn->font();
    italic.setItalic(true);
    italic.setBold(true);
    KursivBtn->setFont(italic);
    for (QToolButton* button : {FettBtn, KursivBtn}) {
        button->setCheckable(true);
        button->setFixedSize(25, 25);
        styles->addWidget(button);
    }
    styles->addStretch(1);
    grid->addWidget(new QLabel(QTr("Schriftstil:"), TabSheet2), 1, 1);
    grid->addLayout(styles, 1, 2);

    auto* AusrichtBox =
        List("AusrichtBox", {QTr("Linksbündig"), QTr("Zentriert"), QTr("Rechtsbündig")}, TabSheet2);
    AusrichtBox->setFixedWidth(200);
    grid->addWidget(Label(QTr("Aus&richtung:"), AusrichtBox, TabSheet2), 2, 1);
    grid->addWidget(AusrichtBox, 2, 2);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(0, 1);
    return TabSheet2;
}

QWidget* BuildSurfaceTab() {
    auto* TabSheet3 = new QWidget;
    Name(TabSheet3, "TabSheet3");
    auto* layout = new QVBoxLayout(TabSheet3);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* PageControl2 = new QTabWidget(TabSheet3);
    Name(PageControl2, "PageControl2");
    auto* TabSheet9 = new QWidget;
    Name(TabSheet9, "TabSheet9");
    auto* TabSheet10 = new QWidget;
    Name(TabSheet10, "TabSheet10");
    auto* SurfaceFrame1 = new TSurfaceFrame(TabSheet9);
    Name(SurfaceFrame1, "SurfaceFrame1");
    auto* SurfaceFrame2 = new TSurfaceFrame(TabSheet10);
    Name(SurfaceFrame2, "SurfaceFrame2");
    for (auto [sheet, frame] : {std::pair{TabSheet9, SurfaceFrame1}, {TabSheet10, SurfaceFrame2}}) {
        auto* sheetLayout = new QVBoxLayout(sheet);
        sheetLayout->setContentsMargins(0, 0, 0, 0);
        sheetLayout->addWidget(frame);
    }
    PageControl2->addTab(TabSheet9, QTr("Textoberfläche"));
    PageControl2->addTab(TabSheet10, QTr("Hintergrund"));
    layout->addWidget(PageControl2);
    return TabSheet3;
}

QWidget* BuildEnvelopeTab() {
    auto* TabSheet4 = new QWidget;
    Name(TabSheet4, "TabSheet4");
    auto* grid = PageGrid(TabSheet4);
    grid->setContentsMargins(8, 3, 8, 2);  // room for the gallery's three rows
    auto* modes = Column(grid, 0);
    auto* MoveCheck = Radio("MoveCheck", QTr("Verschieben"), TabSheet4);
    auto* EdPointsCheck = Radio("EdPointsCheck", QTr("Punkte bearbeiten"), TabSheet4);
    auto* DrawFace = Radio("DrawFace", QTr("Hülle zeichnen"), TabSheet4);
    MoveCheck->setChecked(true);
    auto* group = new QButtonGroup(TabSheet4);
    for (QRadioButton* radio : {MoveCheck, EdPointsCheck, DrawFace}) {
        group->addButton(radio);
        modes->addWidget(radio);
    }
    modes->addSpacing(6);
    auto* SpiralEd = MakeSpin("SpiralEd", TabSheet4);
    auto* spiral = new QHBoxLayout;
    spiral->addWidget(Label(QTr("Spiralwindungen:"), SpiralEd, TabSheet4));
    spiral->addWidget(SpiralEd);
    modes->addLayout(spiral);

    TPaintBox* VFormPaint = nullptr;
    TGalleryBox* ScrollBox2 = GalleryBox("ScrollBox2", VFormPaint, "VFormPaint", 125, TabSheet4);
    grid->addWidget(ScrollBox2, 0, 1);
    grid->setColumnStretch(1, 1);
    return TabSheet4;
}

QWidget* BuildOutlineTab() {
    auto* TabSheet5 = new QWidget;
    Name(TabSheet5, "TabSheet5");
    auto* grid = PageGrid(TabSheet5);
    auto* modes = Column(grid, 0);
    auto* NoDeform = Radio("NoDeform", QTr("Keine Deformation"), TabSheet5);
    auto* SinDeform = Radio("SinDeform", QTr("Sinusdeformation"), TabSheet5);
    auto* RandDeform = Radio("RandDeform", QTr("Zufallsdeformation"), TabSheet5);
    NoDeform->setChecked(true);
    auto* group = new QButtonGroup(TabSheet5);
    for (QRadioButton* radio : {NoDeform, SinDeform, RandDeform}) {
        group->addButton(radio);
        modes->addWidget(radio);
    }
    auto* values = new QGridLayout;
    values->setVerticalSpacing(3);
    SpinRow(values, 0, QTr("Stärke:"), "StarkEd", TabSheet5);
    SpinRow(values, 1, QTr("Anzahl:"), "AnzahlEd", TabSheet5);
    grid->addLayout(values, 0, 1, Qt::AlignTop);
    grid->setColumnStretch(2, 1);
    return TabSheet5;
}

void BuildResultPage(QTabWidget* PageControl3) {
    auto* TabSheet15 = new QWidget;
    Name(TabSheet15, "TabSheet15");
    PageControl3->addTab(TabSheet15, LayoutIcon("page-result.png"), QTr("Ergebnis verarbeiten"));
    auto* layout = new QVBoxLayout(TabSheet15);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QWidget* Panel16 =
        Header("Panel16", QTr("Ergebnis verarbeiten - Bild betrachten, speichern und drucken"),
               TabSheet15);
    layout->addWidget(Panel16);

    auto* body = new QHBoxLayout;
    body->setSpacing(0);
    layout->addLayout(body, 1);

    auto* Panel41 = new QWidget(TabSheet15);
    Name(Panel41, "Panel41");
    Panel41->setFixedWidth(209);
    Paint(Panel41, kDecorColour);
    auto* decoration = new TImage(Panel41);
    Name(decoration, "Image2");
    decoration->setPixmap(LayoutPicture("panel.png"));
    decoration->setGeometry(8, 8, 193, 281);
    // The panel has no layout of its own: the window is never made so low that it cuts the
    // picture.
    Panel41->setMinimumHeight(decoration->geometry().bottom() + 1 + 8);
    auto* title = new QLabel(QTr("Ergebnis verarbeiten..."), Panel41);
    Name(title, "Label41");
    QFont titleFont(QStringLiteral("Arial Black"));
    titleFont.setPixelSize(19);
    titleFont.setWeight(QFont::Black);
    title->setFont(titleFont);
    title->setStyleSheet(QStringLiteral("color: #800000; background: transparent;"));
    title->setWordWrap(true);
    title->setGeometry(8, 8, 193, 56);
    body->addWidget(Panel41);

    auto* right = new QVBoxLayout;
    right->setSpacing(0);
    body->addLayout(right, 1);
    auto* Panel17 = new QWidget(TabSheet15);
    Name(Panel17, "Panel17");
    Panel17->setFixedHeight(73);
    auto* SaveAsButton = new QPushButton(QTr("Bild &speichern unter..."), Panel17);
    Name(SaveAsButton, "SaveAsButton");
    SaveAsButton->setGeometry(8, 8, 169, 25);
    auto* PrintButton = new QPushButton(QTr("Bild &drucken..."), Panel17);
    Name(PrintButton, "PrintButton");
    PrintButton->setGeometry(184, 8, 169, 25);
    auto* PreviewButton = new QPushButton(QTr("Druck&vorschau..."), Panel17);
    Name(PreviewButton, "PreviewButton");
    PreviewButton->setGeometry(184, 40, 169, 25);
    auto* CopyButton = new QPushButton(QTr("Kopieren (Zwischenablage )"), Panel17);
    Name(CopyButton, "CopyButton");
    CopyButton->setGeometry(8, 40, 169, 25);
    right->addWidget(Panel17);

    auto* ErgScrollBox = new QScrollArea(TabSheet15);
    Name(ErgScrollBox, "ErgScrollBox");
    ErgScrollBox->setBackgroundRole(QPalette::Dark);
    ErgScrollBox->setWidgetResizable(false);
    ErgScrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* ErgPaintBox = new TPaintBox;
    Name(ErgPaintBox, "ErgPaintBox");
    ErgPaintBox->setCursor(Qt::OpenHandCursor);
    // Empty until the window's white picture is there.
    ErgPaintBox->resize(0, 0);
    ErgScrollBox->setWidget(ErgPaintBox);
    right->addWidget(ErgScrollBox, 1);
}

QWidget* BuildBottomBar(QWidget* parent) {
    auto* Panel7 = new QWidget(parent);
    Name(Panel7, "Panel7");
    Panel7->setFixedHeight(41);
    auto* layout = new QHBoxLayout(Panel7);
    layout->setContentsMargins(6, 0, 4, 0);
    auto* wwwBtn = new QToolButton(Panel7);
    Name(wwwBtn, "wwwBtn");
    wwwBtn->setText(QString::fromLatin1(kHomePageCaption));
    wwwBtn->setToolTip(QTr("Auf zur ZEF-LOR Homepage..."));
    wwwBtn->setIcon(LayoutIcon("www.png"));
    wwwBtn->setIconSize(QSize(16, 16));
    wwwBtn->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    wwwBtn->setAutoRaise(true);
    wwwBtn->setCursor(Qt::PointingHandCursor);
    layout->addWidget(wwwBtn);
    layout->addStretch(1);

    auto* Panel8 = new QWidget(Panel7);
    Name(Panel8, "Panel8");
    Panel8->setFixedSize(2 * 101 + 3 * 4, 41);
    struct Picture {
        TImage*& image;
        const char* name;
        const char* file;
        QString hint;
        int x;
    };
    const QString aboutHint = QTr("Informationen über das Programm");
    const QString endHint = QTr("Hiermit verlassen Sie das Programm");
    TImage* ueberbtn = nullptr;
    TImage* ueberBtn2 = nullptr;
    TImage* EndeBtn = nullptr;
    TImage* EndeBtnDown = nullptr;
    const Picture pictures[] = {
        {ueberbtn, "ueberbtn", "about.png", aboutHint, 4},
        {ueberBtn2, "ueberBtn2", "about-down.png", aboutHint, 4},
        {EndeBtn, "EndeBtn", "end.png", endHint, 4 + 101 + 4},
        {EndeBtnDown, "EndeBtnDown", "end-down.png", endHint, 4 + 101 + 4},
    };
    for (const Picture& p : pictures) {
        p.image = new TImage(Panel8);
        Name(p.image, p.name);
        p.image->setPixmap(PictureButton(p.file, p.image->devicePixelRatioF()));
        p.image->setGeometry(p.x, 5, 101, 30);
        p.image->setToolTip(p.hint);
        p.image->setCursor(Qt::PointingHandCursor);
    }
    ueberBtn2->hide();
    EndeBtnDown->hide();
    layout->addWidget(Panel8);
    return Panel7;
}

}  // namespace

void TMainForm::BuildLayout() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(BuildToolBar(central));
    auto* PageControl3 = new QTabWidget(central);
    PageControl3->setObjectName(QStringLiteral("PageControl3"));
    layout->addWidget(PageControl3, 1);
    BuildMakePage(PageControl3);
    BuildResultPage(PageControl3);
    layout->addWidget(BuildBottomBar(central));
    // Every tab keeps its whole caption: the tab rows take the width they need, and the window's
    // smallest width follows from them instead of cutting a caption to "Sch...".
    for (QTabWidget* tabs : central->findChildren<QTabWidget*>()) {
        tabs->setUsesScrollButtons(false);
        tabs->tabBar()->setElideMode(Qt::ElideNone);
    }
    setCentralWidget(central);

    auto* StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(19);
    StatusBar1->setSizeGripEnabled(true);
    setStatusBar(StatusBar1);
    auto* ZoomLabel = new QLabel(StatusBar1);
    ZoomLabel->setObjectName(QStringLiteral("ZoomLabel"));
    StatusBar1->addPermanentWidget(ZoomLabel);
}

}  // namespace gw
