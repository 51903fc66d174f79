// The envelope, edge, shadow and frame galleries of the main window: what a click applies, that
// it renders exactly once, the enabled states the frame gallery sets, and what the galleries
// paint.

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "FormAccess.h"
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
    Paint(*form, "PaintBox1");  // the first render
    renders = form->renderCount();
}

void PresetGalleryTest::envelopeClickTakesThePresetForThePictureSize() {
    QCOMPARE(Find<TPaintBox>(*form, "VFormPaint")->height(), 125);
    Mouse(Find<TPaintBox>(*form, "VFormPaint"), QEvent::MouseButtonPress, 64,
          98);  // the gaps right of and below thumbnail 2
    QCOMPARE(Find<TGalleryBox>(*form, "ScrollBox2")->selected(), 2);
    QCOMPARE(form->renderCount(), renders + 1);
    const Lettering& l = form->lettering();
    QCOMPARE(l.EnvelopeLines[0].Points(), (std::vector<TPoint>{{22, 60}, {428, 10}}));
    QCOMPARE(l.EnvelopeLines[1].Points(), (std::vector<TPoint>{{22, 190}, {428, 50}}));
    // Clicking it again recomputes the lines, undoing a change of them.
    ChangeLettering(
        *form, [](Lettering& l) { l.EnvelopeLines[0].SetPoint(0, 1, 1); }, Change::SpiralEd);
    Mouse(Find<TPaintBox>(*form, "VFormPaint"), QEvent::MouseButtonPress, 10, 70);
    QCOMPARE(l.EnvelopeLines[0].GetPoint(0), (TPoint{22, 60}));
    QCOMPARE(form->renderCount(), renders + 2);
    QCOMPARE(Find<TPaintBox>(*form, "VFormPaint")->width(), 585);
}

void PresetGalleryTest::clickBelowTheLastRowChangesNothing() {
    const std::vector<TPoint> upper = form->lettering().EnvelopeLines[0].Points();
    Mouse(Find<TPaintBox>(*form, "VFormPaint"), QEvent::MouseButtonPress, 10, 99);
    Mouse(Find<TPaintBox>(*form, "KantePaint"), QEvent::MouseButtonPress, 5 * 65 + 10,
          40);  // beyond the last cell of the last column
    Mouse(Find<TPaintBox>(*form, "RahmenPaint"), QEvent::MouseButtonPress, 10, 100);
    QCOMPARE(form->renderCount(), renders);
    QCOMPARE(Find<TGalleryBox>(*form, "ScrollBox2")->selected(), 0);
    QCOMPARE(Find<TGalleryBox>(*form, "ScrollBox3")->selected(), 0);
    QCOMPARE(form->lettering().EnvelopeLines[0].Points(), upper);
    QVERIFY(!Find<QPushButton>(*form, "RColorBtn")->isEnabled());
}

void PresetGalleryTest::edgePresetShowsInTheControlsAndRendersOnce() {
    QCOMPARE(Find<TPaintBox>(*form, "KantePaint")->height(), 94);
    const QPoint at = Cell(1, 2);
    Mouse(Find<TPaintBox>(*form, "KantePaint"), QEvent::MouseButtonPress, at.x(), at.y());
    QCOMPARE(Find<TGalleryBox>(*form, "ScrollBox3")->selected(), 1);
    QCOMPARE(form->renderCount(), renders + 1);
    QVERIFY(!timer()->isActive());
    QVERIFY(Find<QCheckBox>(*form, "KanteCheck")->isChecked());
    QVERIFY(Find<QCheckBox>(*form, "KFixedWCheck")->isChecked());
    QVERIFY(!Find<QCheckBox>(*form, "KQualCheck")->isChecked());
    QCOMPARE(Find<SpinEdit>(*form, "KBreiteEd")->value(), 50.0);
    QCOMPARE(form->lettering().settings.KBreiteEd, 50.0);
    // The next preset sets the common values first: the width is back at 100.
    const QPoint eight = Cell(8, 2);
    Mouse(Find<TPaintBox>(*form, "KantePaint"), QEvent::MouseButtonPress, eight.x(), eight.y());
    QCOMPARE(form->renderCount(), renders + 2);
    QCOMPARE(Find<SpinEdit>(*form, "KBreiteEd")->value(), 100.0);
    QCOMPARE(Find<QComboBox>(*form, "Profil1Box")->currentText(), QStringLiteral("Konkav"));
    QVERIFY(Find<QCheckBox>(*form, "BkGnd1")->isChecked());
    QVERIFY(Find<QCheckBox>(*form, "BkGnd2")->isChecked());
    QVERIFY(!Find<QCheckBox>(*form, "KFixedWCheck")->isChecked());
}

void PresetGalleryTest::edgePresetZeroSwitchesTheBevelOff() {
    Find<QCheckBox>(*form, "KanteCheck")->setChecked(true);
    Find<SpinEdit>(*form, "KWinkEd")->setValue(30);
    Find<SpinEdit>(*form, "KLichtEd")->setValue(250);
    QVERIFY(timer()->isActive());
    renders = form->renderCount();
    Mouse(Find<TPaintBox>(*form, "KantePaint"), QEvent::MouseButtonPress, 5, 5);
    QCOMPARE(form->renderCount(), renders + 1);
    QVERIFY(!timer()->isActive());
    QVERIFY(!Find<QCheckBox>(*form, "KanteCheck")->isChecked());
    QCOMPARE(Find<SpinEdit>(*form, "KWinkEd")->value(), -45.0);
    QCOMPARE(Find<SpinEdit>(*form, "KLichtEd")->value(), 100.0);
    QCOMPARE(form->lettering().settings.KLichtEd, 100.0);
}

void PresetGalleryTest::shadowPresetShowsInTheControlsAndRendersOnce() {
    const QPoint six = Cell(6, 2);
    Mouse(Find<TPaintBox>(*form, "SchattenPaint"), QEvent::MouseButtonPress, six.x(), six.y());
    QCOMPARE(Find<TGalleryBox>(*form, "ScrollBox4")->selected(), 6);
    QCOMPARE(form->renderCount(), renders + 1);
    QVERIFY(!timer()->isActive());
    QVERIFY(Find<QCheckBox>(*form, "SchattenCheck")->isChecked());
    QCOMPARE(Find<TShape>(*form, "SColorShape")->brushColor(), clWhite);
    QCOMPARE(Find<SpinEdit>(*form, "SDeckEd")->value(), 100.0);
    QCOMPARE(Find<SpinEdit>(*form, "SWeichEd")->value(), 15.0);
    QCOMPARE(Find<SpinEdit>(*form, "SRightEd")->value(), 0.0);
    const QPoint seven = Cell(7, 2);
    Mouse(Find<TPaintBox>(*form, "SchattenPaint"), QEvent::MouseButtonPress, seven.x(), seven.y());
    QCOMPARE(form->renderCount(), renders + 2);
    QCOMPARE(Find<TShape>(*form, "SColorShape")->brushColor(), clBlack);
    QCOMPARE(Find<QComboBox>(*form, "SRichtBox")->currentText(), QStringLiteral("45°"));
    QCOMPARE(form->lettering().settings.SRichtBox, 2);
    QCOMPARE(Find<SpinEdit>(*form, "SDeckEd")->value(), 15.0);
}

void PresetGalleryTest::frameGallerySetsTheEnabledStates() {
    QCOMPARE(Find<TPaintBox>(*form, "RahmenPaint")->height(), 125);
    const bool colour[] = {false, true, false, false, false};
    const bool height[] = {false, false, false, false, true};
    for (int i : {1, 4, 2, 0, 3}) {
        const QPoint at = Cell(i, 3);
        Mouse(Find<TPaintBox>(*form, "RahmenPaint"), QEvent::MouseButtonPress, at.x(), at.y());
        QCOMPARE(form->lettering().settings.FrameStyle, i);
        QCOMPARE(Find<QPushButton>(*form, "RColorBtn")->isEnabled(), colour[i]);
        QCOMPARE(Find<SpinEdit>(*form, "RHochEd")->isEnabled(), height[i]);
    }
    QCOMPARE(form->renderCount(), renders + 5);
    // A document or "Neu" leaves them as the gallery set them.
    const QPoint one = Cell(1, 3);
    Mouse(Find<TPaintBox>(*form, "RahmenPaint"), QEvent::MouseButtonPress, one.x(), one.y());
    ChangeLettering(
        *form, [](Lettering& l) { l.settings.FrameStyle = 0; }, Change::SpiralEd);
    Find<QToolButton>(*form, "SpeedButton1")->click();  // "Neu" writes every control
    QVERIFY(Find<QPushButton>(*form, "RColorBtn")->isEnabled());
}

void PresetGalleryTest::galleriesPaintTheirThumbnailsAndMarkTheirOwnSelection() {
    const Bitmap shadowStrip = FromQImage(LayoutImage("gallery-shadow.png"));
    const Bitmap edgeStrip = FromQImage(LayoutImage("gallery-edge.png"));
    const QPoint three = Cell(3, 2);
    Mouse(Find<TPaintBox>(*form, "SchattenPaint"), QEvent::MouseButtonPress, three.x(), three.y());
    Paint(*form, "SchattenPaint");
    Paint(*form, "KantePaint");
    QCOMPARE(Find<TPaintBox>(*form, "SchattenPaint")->width(), 260);
    QCOMPARE(Find<TPaintBox>(*form, "KantePaint")->width(), 390);
    const Bitmap& shadows = Find<TPaintBox>(*form, "SchattenPaint")->bitmap();
    const Bitmap& edges = Find<TPaintBox>(*form, "KantePaint")->bitmap();
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
