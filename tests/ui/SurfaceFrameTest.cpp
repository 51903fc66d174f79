// The surface picker: its panels follow the kind, and a change of kind tells whether it moved
// between colour and texture.

#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <vector>

#include "raster/DibService.h"
#include "ui/ColorFrUnit.h"
#include "ui/Dialogs.h"
#include "ui/PaintBox.h"
#include "ui/Shape.h"
#include "ui/SurfFrUnit.h"
#include "ui/Tex0FrUnit.h"
#include "ui/TextureFrUnit.h"

using namespace gw;

class SurfaceFrameTest : public QObject {
    Q_OBJECT

  private slots:
    void startsWithTheColourPanel();
    void kindChangesReportTheClassChange();
    void colourDialogSetsSwatchAndDialogAlike();
    void cancelledColourDialogChangesNothing();
    void textureGalleryPicksByCell();
};

namespace {

struct KindEvent {
    int kind;
    bool classChanged;
};

}  // namespace

void SurfaceFrameTest::startsWithTheColourPanel() {
    TSurfaceFrame frame;
    frame.show();
    QVERIFY(frame.ColorCheck->isChecked());
    QVERIFY(frame.ColorFrame1->isVisible());
    QVERIFY(!frame.Texture0Frame1->isVisible());
    QVERIFY(!frame.TextureFrame1->isVisible());
    QCOMPARE(frame.SurfaceClass(), 0);
    QCOMPARE(frame.Panel1->width(), 129);
    QCOMPARE(frame.ColorCheck->text(), QStringLiteral("Farbe"));
    QCOMPARE(frame.Texture0Check->text(), QStringLiteral("Textur"));
    QCOMPARE(frame.TextureCheck->text(), QStringLiteral("Eigene Textur"));
    QCOMPARE(frame.TextureFrame1->TexBn->text(), QStringLiteral("Texture auswählen..."));
}

void SurfaceFrameTest::kindChangesReportTheClassChange() {
    TSurfaceFrame frame;
    frame.show();
    std::vector<KindEvent> events;
    frame.OnKindChanged = [&](int kind, bool classChanged) {
        events.push_back({kind, classChanged});
    };
    frame.Texture0Check->click();
    frame.TextureCheck->click();
    frame.ColorCheck->click();
    frame.CheckKind(2);  // set by the program: the handler runs as for a click
    frame.CheckKind(2);  // no change, no handler
    QCOMPARE(events.size(), size_t(4));
    QCOMPARE(events[0].kind, 1);
    QVERIFY(events[0].classChanged);
    QCOMPARE(events[1].kind, 2);
    QVERIFY(!events[1].classChanged);
    QCOMPARE(events[2].kind, 0);
    QVERIFY(events[2].classChanged);
    QCOMPARE(events[3].kind, 2);
    QVERIFY(events[3].classChanged);
    QVERIFY(frame.TextureFrame1->isVisible());
    QVERIFY(!frame.ColorFrame1->isVisible());
    QCOMPARE(frame.SurfaceClass(), 2);
}

void SurfaceFrameTest::colourDialogSetsSwatchAndDialogAlike() {
    TSurfaceFrame frame;
    frame.ColorFrame1->SetColor(0xFF0000);
    TColor offered = 0;
    const DialogHook previous = SetDialogHook([&](const DialogRequest& request) {
        offered = request.color;
        return DialogAnswer{true, {}, 0x00FF00, {}};
    });
    TColor chosen = 0;
    frame.ColorFrame1->OnColorChosen = [&](TColor colour) { chosen = colour; };
    frame.ColorFrame1->ColorBtn->click();
    SetDialogHook(previous);
    QCOMPARE(offered, TColor(0xFF0000));
    QCOMPARE(chosen, TColor(0x00FF00));
    QCOMPARE(frame.ColorFrame1->Color(), TColor(0x00FF00));
    QCOMPARE(frame.ColorFrame1->ColorShape->brushColor(), TColor(0x00FF00));
}

void SurfaceFrameTest::cancelledColourDialogChangesNothing() {
    TSurfaceFrame frame;
    frame.ColorFrame1->SetColor(0xFFFFFF);
    const DialogHook previous = SetDialogHook([](const DialogRequest&) {
        return DialogAnswer{false, {}, 0, {}};
    });
    bool called = false;
    frame.ColorFrame1->OnColorChosen = [&](TColor) { called = true; };
    frame.ColorFrame1->ColorBtn->click();
    SetDialogHook(previous);
    QVERIFY(!called);
    QCOMPARE(frame.ColorFrame1->ColorShape->brushColor(), TColor(0xFFFFFF));
}

void SurfaceFrameTest::textureGalleryPicksByCell() {
    std::vector<DibImage> textures(7);
    for (DibImage& texture : textures)
        newdib(texture, 8, 8, 24, nullptr, 0);
    TTexture0Frame frame;
    frame.Textures = [&] { return std::span<const DibImage>(textures); };
    frame.Tex0Paint->resize(0, 99);
    std::vector<int> picked;
    frame.OnTexturePicked = [&](std::int32_t i) { picked.push_back(i); };
    frame.Tex0PaintMouseDown(40, 70);  // column 1, row 2
    frame.Tex0PaintMouseDown(32, 32);  // the gap pixels of cell 0
    frame.Tex0PaintMouseDown(70, 70);  // cell 8 does not exist
    QCOMPARE(picked, (std::vector<int>{5, 0}));
    QCOMPARE(frame.Selected(), 0);
    QCOMPARE(frame.Tex0Paint->width(), 99);
}

QTEST_MAIN(SurfaceFrameTest)
#include "SurfaceFrameTest.moc"
