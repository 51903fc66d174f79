// The envelope, edge, shadow and frame galleries of the main window: what a click applies, that
// it renders exactly once, the enabled states the frame gallery sets, and what the galleries
// paint.

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "app/MainFUnit.h"
#include "app/Pictures.h"
#include "ui/PaintBox.h"
#include "ui/QtBridge.h"
#include "ui/Shape.h"
#include "ui/SpinEdit.h"

using namespace gw;

class PresetGalleryTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void envelopeClickTakesThePresetForThePictureSize();
    void clickBelowTheLastRowChangesNothing();
    void edgePresetShowsInTheControlsAndRendersOnce();
    void edgePresetZeroSwitchesTheBevelOff();
    void shadowPresetShowsInTheControlsAndRendersOnce();
    void frameGallerySetsTheEnabledStates();
    void galleriesPaintTheirThumbnailsAndMarkTheirOwnSelection();

  private:
    std::unique_ptr<TMainForm> form;
    int renders = 0;
    QTimer* timer() { return form->findChild<QTimer*>(QStringLiteral("Timer1")); }
    // The middle of cell i in a gallery of `rows` rows.
    static QPoint Cell(int i, int rows) { return {(i / rows) * 65 + 30, (i % rows) * 33 + 15}; }
};

void PresetGalleryTest::init() {
    form = std::make_unique<TMainForm>();
    form->PaintBox1Paint();  // the first render
    renders = form->renderCount();
}

void PresetGalleryTest::envelopeClickTakesThePresetForThePictureSize() {
    QCOMPARE(form->VFormPaint->height(), 125);
    form->VFormPaintMouseDown(64, 98);  // the gaps right of and below thumbnail 2
    QCOMPARE(form->EnvelopePreset, 2);
    QCOMPARE(form->renderCount(), renders + 1);
    const Lettering& l = form->lettering();
    QCOMPARE(l.EnvelopeLines[0].Points(), (std::vector<TPoint>{{22, 60}, {428, 10}}));
    QCOMPARE(l.EnvelopeLines[1].Points(), (std::vector<TPoint>{{22, 190}, {428, 50}}));
    // Clicking it again recomputes the lines, undoing a change of them.
    form->lettering().EnvelopeLines[0].SetPoint(0, 1, 1);
    form->VFormPaintMouseDown(10, 70);
    QCOMPARE(l.EnvelopeLines[0].GetPoint(0), (TPoint{22, 60}));
    QCOMPARE(form->renderCount(), renders + 2);
    QCOMPARE(form->VFormPaint->width(), 585);
}

void PresetGalleryTest::clickBelowTheLastRowChangesNothing() {
    const std::vector<TPoint> upper = form->lettering().EnvelopeLines[0].Points();
    form->VFormPaintMouseDown(10, 99);
    form->KantePaintMouseDown(5 * 65 + 10, 40);  // beyond the last cell of the last column
    form->RahmenPaintMouseDown(10, 100);
    QCOMPARE(form->renderCount(), renders);
    QCOMPARE(form->EnvelopePreset, 0);
    QCOMPARE(form->EdgePreset, 0);
    QCOMPARE(form->lettering().EnvelopeLines[0].Points(), upper);
    QVERIFY(!form->RColorBtn->isEnabled());
}

void PresetGalleryTest::edgePresetShowsInTheControlsAndRendersOnce() {
    QCOMPARE(form->KantePaint->height(), 94);
    const QPoint at = Cell(1, 2);
    form->KantePaintMouseDown(at.x(), at.y());
    QCOMPARE(form->EdgePreset, 1);
    QCOMPARE(form->renderCount(), renders + 1);
    QVERIFY(!timer()->isActive());
    QVERIFY(!form->SuppressRender);
    QVERIFY(form->KanteCheck->isChecked());
    QVERIFY(form->KFixedWCheck->isChecked());
    QVERIFY(!form->KQualCheck->isChecked());
    QCOMPARE(form->KBreiteEd->value(), 50.0);
    QCOMPARE(form->lettering().settings.KBreiteEd, 50.0);
    // The next preset sets the common values first: the width is back at 100.
    const QPoint eight = Cell(8, 2);
    form->KantePaintMouseDown(eight.x(), eight.y());
    QCOMPARE(form->renderCount(), renders + 2);
    QCOMPARE(form->KBreiteEd->value(), 100.0);
    QCOMPARE(form->Profil1Box->currentText(), QStringLiteral("Konkav"));
    QVERIFY(form->BkGnd1->isChecked());
    QVERIFY(form->BkGnd2->isChecked());
    QVERIFY(!form->KFixedWCheck->isChecked());
}

void PresetGalleryTest::edgePresetZeroSwitchesTheBevelOff() {
    form->KanteCheck->setChecked(true);
    form->KWinkEd->setValue(30);
    form->KLichtEd->setValue(250);
    QVERIFY(timer()->isActive());
    renders = form->renderCount();
    form->KantePaintMouseDown(5, 5);
    QCOMPARE(form->renderCount(), renders + 1);
    QVERIFY(!timer()->isActive());
    QVERIFY(!form->KanteCheck->isChecked());
    QCOMPARE(form->KWinkEd->value(), -45.0);
    QCOMPARE(form->KLichtEd->value(), 100.0);
    QCOMPARE(form->lettering().settings.KLichtEd, 100.0);
}

void PresetGalleryTest::shadowPresetShowsInTheControlsAndRendersOnce() {
    const QPoint six = Cell(6, 2);
    form->SchattenPaintMouseDown(six.x(), six.y());
    QCOMPARE(form->ShadowPreset, 6);
    QCOMPARE(form->renderCount(), renders + 1);
    QVERIFY(!timer()->isActive());
    QVERIFY(form->SchattenCheck->isChecked());
    QCOMPARE(form->SColorShape->brushColor(), clWhite);
    QCOMPARE(form->SDeckEd->value(), 100.0);
    QCOMPARE(form->SWeichEd->value(), 15.0);
    QCOMPARE(form->SRightEd->value(), 0.0);
    const QPoint seven = Cell(7, 2);
    form->SchattenPaintMouseDown(seven.x(), seven.y());
    QCOMPARE(form->renderCount(), renders + 2);
    QCOMPARE(form->SColorShape->brushColor(), clBlack);
    QCOMPARE(form->SRichtBox->currentText(), QStringLiteral("45°"));
    QCOMPARE(form->lettering().settings.SRichtBox, 2);
    QCOMPARE(form->SDeckEd->value(), 15.0);
}

void PresetGalleryTest::frameGallerySetsTheEnabledStates() {
    QCOMPARE(form->RahmenPaint->height(), 125);
    const bool colour[] = {false, true, false, false, false};
    const bool height[] = {false, false, false, false, true};
    for (int i : {1, 4, 2, 0, 3}) {
        const QPoint at = Cell(i, 3);
        form->RahmenPaintMouseDown(at.x(), at.y());
        QCOMPARE(form->lettering().settings.FrameStyle, i);
        QCOMPARE(form->RColorBtn->isEnabled(), colour[i]);
        QCOMPARE(form->RHochEd->isEnabled(), height[i]);
    }
    QCOMPARE(form->renderCount(), renders + 5);
    // A document or "Neu" leaves them as the gallery set them.
    const QPoint one = Cell(1, 3);
    form->RahmenPaintMouseDown(one.x(), one.y());
    form->lettering().settings.FrameStyle = 0;
    form->WriteControls();
    QVERIFY(form->RColorBtn->isEnabled());
}

void PresetGalleryTest::galleriesPaintTheirThumbnailsAndMarkTheirOwnSelection() {
    const Bitmap shadowStrip = FromQImage(LayoutImage("gallery-shadow.png"));
    const Bitmap edgeStrip = FromQImage(LayoutImage("gallery-edge.png"));
    const QPoint three = Cell(3, 2);
    form->SchattenPaintMouseDown(three.x(), three.y());
    form->SchattenPaintPaint();
    form->KantePaintPaint();
    QCOMPARE(form->SchattenPaint->width(), 260);
    QCOMPARE(form->KantePaint->width(), 390);
    const Bitmap& shadows = form->SchattenPaint->bitmap();
    const Bitmap& edges = form->KantePaint->bitmap();
    // Thumbnail 5 sits in column 2, row 1, as the strip holds it.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            QCOMPARE(shadows.Pixel(130 + x, 33 + y), shadowStrip.Pixel(5 * 64 + x, y));
    QCOMPARE(shadows.Pixel(64, 10), TColor(0x808080));  // the gap is the workspace grey
    // The dotted focus rectangle runs along the border of the selected cell only.
    auto markedTop = [](const Bitmap& box, QPoint cell, const Bitmap& strip, int i) {
        int marked = 0;
        for (int x = 0; x < 64; ++x)
            marked += box.Pixel(cell.x() + x, cell.y()) != strip.Pixel(i * 64 + x, 0);
        return marked;
    };
    QVERIFY(markedTop(shadows, {65, 33}, shadowStrip, 3) >= 30);
    QCOMPARE(markedTop(shadows, {0, 0}, shadowStrip, 0), 0);
    // The edge gallery keeps marking its own selection, preset 0.
    QVERIFY(markedTop(edges, {0, 0}, edgeStrip, 0) >= 30);
    QCOMPARE(markedTop(edges, {65, 33}, edgeStrip, 3), 0);
}

QTEST_MAIN(PresetGalleryTest)
#include "PresetGalleryTest.moc"
