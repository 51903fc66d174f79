// The galleries and the texture picker at the keyboard: the arrow keys move a focus cell, Enter
// or Space picks it with the same result, render and undo step as a click on it; the preset
// galleries name their cells in tool tips.

#include <QHelpEvent>
#include <QTest>
#include <QToolTip>

#include "FormAccess.h"
#include "app/MainFUnit.h"
#include "document/LetteringFile.h"
#include "ui/PaintBox.h"
#include "ui/Tex0FrUnit.h"

using namespace gw;

namespace {

void Key(QWidget* box, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &press);
}

void FocusIn(QWidget* box) {
    QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &focus);
}

struct Outcome {
    std::vector<std::uint8_t> document;
    int renders;
    QString undo;
};

Outcome OutcomeOf(const TMainForm& form, int rendersBefore) {
    return {LetteringFileBytes(form.lettering()), form.renderCount() - rendersBefore,
            Find<QToolButton>(form, "UndoBtn")->toolTip()};
}

}  // namespace

class GalleryKeysTest : public QObject {
    Q_OBJECT

  private slots:
    void keysPickTheFocusCellAsAClickDoes();
    void focusCellIsDrawnWhileTheBoxHasTheFocus();
    void presetCellsShowTheirNamesAsToolTips();
};

void GalleryKeysTest::keysPickTheFocusCellAsAClickDoes() {
    struct Case {
        const char* box;
        std::vector<Qt::Key> keys;  // the last one picks
        int cell;
        int rows;
    };
    const Case cases[] = {
        {"VFormPaint", {Qt::Key_Right, Qt::Key_Down, Qt::Key_Enter}, 4, 3},
        {"KantePaint", {Qt::Key_Right, Qt::Key_Right, Qt::Key_Up, Qt::Key_Space}, 4, 2},
        {"SchattenPaint", {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}, 1, 2},
        {"RahmenPaint", {Qt::Key_Left, Qt::Key_Right, Qt::Key_Return}, 3, 3},
        {"Tex0Paint", {Qt::Key_Right, Qt::Key_Space}, -1, 0},  // the picker's own layout
    };
    for (const Case& c : cases) {
        TMainForm byKeys;
        TMainForm byClick;
        for (TMainForm* form : {&byKeys, &byClick}) {
            form->show();
            Paint(*form, "PaintBox1");
        }
        QPoint at((c.cell / std::max(c.rows, 1)) * 65 + 30,
                  (c.cell % std::max(c.rows, 1)) * 33 + 15);
        QWidget* keyBox = nullptr;
        QWidget* clickBox = nullptr;
        if (c.cell < 0) {
            // Three rows of textures, as the letters' picker shows them on its page.
            const auto picker = [](TMainForm& form) {
                auto* frame = Find<TTexture0Frame>(form, "Texture0Frame1");
                frame->Tex0Paint->resize(0, 99);
                return frame;
            };
            keyBox = picker(byKeys)->Tex0Paint;
            const TTexture0Frame* frame = picker(byClick);
            clickBox = frame->Tex0Paint;
            const GalleryLayout layout = frame->Layout();
            QVERIFY(layout.Rows() > 0);
            const TRect cell = layout.Cell(layout.Step(0, 1, 0));
            at = {cell.left + 5, cell.top + 5};
        } else {
            keyBox = Find<TPaintBox>(byKeys, c.box);
            clickBox = Find<TPaintBox>(byClick, c.box);
        }
        const int keyRenders = byKeys.renderCount();
        FocusIn(keyBox);
        for (Qt::Key key : c.keys)
            Key(keyBox, key);
        const int clickRenders = byClick.renderCount();
        Mouse(clickBox, QEvent::MouseButtonPress, at.x(), at.y());
        const Outcome keys = OutcomeOf(byKeys, keyRenders);
        const Outcome click = OutcomeOf(byClick, clickRenders);
        QVERIFY2(keys.document == click.document, c.box);
        QCOMPARE(keys.renders, click.renders);
        QCOMPARE(keys.undo, click.undo);
        QVERIFY2(keys.undo != QString::fromUtf8("Rückgängig"), c.box);
    }
}

void GalleryKeysTest::focusCellIsDrawnWhileTheBoxHasTheFocus() {
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    Find<QTabWidget>(form, "PageControl1")->setCurrentWidget(Find<QWidget>(form, "TabSheet4"));
    TPaintBox* box = Find<TPaintBox>(form, "VFormPaint");
    box->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(box->hasFocus());
    Key(box, Qt::Key_Down);
    Paint(form, "VFormPaint");
    const TColor frame = box->bitmap().Pixel(1, 33 + 16);  // the left edge of cell 1
    QCOMPARE(frame, RGB(0, 120, 215));
    QVERIFY(box->bitmap().Pixel(1, 16) != frame);  // cell 0 is not framed
    box->clearFocus();
    Paint(form, "VFormPaint");
    QVERIFY(box->bitmap().Pixel(1, 33 + 16) != frame);
}

void GalleryKeysTest::presetCellsShowTheirNamesAsToolTips() {
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    struct Case {
        const char* box;
        QPoint at;
        const char* name;
    };
    const Case cases[] = {
        {"VFormPaint", {65 * 2 + 30, 33 + 15}, "Welle"},
        {"KantePaint", {30, 33 + 15}, "Schmal"},
        {"SchattenPaint", {65 + 30, 15}, "Weich"},
        {"RahmenPaint", {65 + 30, 15}, "Kissen"},
    };
    for (const Case& c : cases) {
        TPaintBox* box = Find<TPaintBox>(form, c.box);
        QHelpEvent help(QEvent::ToolTip, c.at, box->mapToGlobal(c.at));
        QCoreApplication::sendEvent(box, &help);
        QCOMPARE(QToolTip::text(), QString::fromUtf8(c.name));
    }
}

QTEST_MAIN(GalleryKeysTest)
#include "GalleryKeysTest.moc"
