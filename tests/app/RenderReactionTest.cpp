// When the main window renders: at once, after the one-second countdown, or not at all.
// The countdown is driven by calling its expiry handler, never by waiting.

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "app/MainFUnit.h"
#include "ui/PaintBox.h"
#include "ui/SpinEdit.h"
#include "ui/SurfFrUnit.h"

using namespace gw;

class RenderReactionTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void nothingRendersBeforeTheFirstPaint();
    void theFirstPaintRenders();
    void tenQuickTextChangesRenderOnce();
    void edgeAngleWaitsForTheEdge();
    void spiralTurnsNeverRender();
    void frameOverTextNeedsAFrame();
    void surfaceKindRendersOnlyBetweenColourAndTexture();
    void programSetSpinFieldsRestartTheCountdown();
    void countdownStaysArmedWhileLoading();
    void renderWhileArmedLeavesTheCountdownArmed();
    void suppressedRendersDoNothing();
    void deformValuesDeferOnlyWithADeformation();
    void newRendersWithTheStartText();

  private:
    std::unique_ptr<TMainForm> form;
    QTimer* timer() { return form->findChild<QTimer*>(QStringLiteral("Timer1")); }
    // The state after the first paint of the window.
    void FirstRender() {
        form->PaintBox1Paint();
        QCOMPARE(form->renderCount(), 1);
    }
};

void RenderReactionTest::init() {
    form = std::make_unique<TMainForm>();
}

void RenderReactionTest::nothingRendersBeforeTheFirstPaint() {
    QCOMPARE(form->renderCount(), 0);
    QVERIFY(!form->FirstRenderDone);
    QVERIFY(timer());
    QVERIFY(!timer()->isActive());
    QCOMPARE(timer()->interval(), 1000);
}

void RenderReactionTest::theFirstPaintRenders() {
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QTRY_COMPARE(form->renderCount(), 1);
    QVERIFY(form->FirstRenderDone);
    // Later paints only show the picture.
    form->PaintBox1->repaint();
    QCOMPARE(form->renderCount(), 1);
}

void RenderReactionTest::tenQuickTextChangesRenderOnce() {
    FirstRender();
    form->Memo1->moveCursor(QTextCursor::End);
    QTest::keyClicks(form->Memo1, QStringLiteral(" ist da!!!"));
    QCOMPARE(form->lettering().settings.Memo1.back(), std::string("GbR ist da!!!"));
    QCOMPARE(form->renderCount(), 1);
    QVERIFY(timer()->isActive());
    form->Timer1Timer();
    QCOMPARE(form->renderCount(), 2);
    QVERIFY(!timer()->isActive());
}

void RenderReactionTest::edgeAngleWaitsForTheEdge() {
    FirstRender();
    SpinEdit* angle = form->findChild<SpinEdit*>(QStringLiteral("KWinkEd"));
    QVERIFY(angle);
    angle->setValue(30);
    QCOMPARE(form->renderCount(), 1);
    QVERIFY(!timer()->isActive());
    QCOMPARE(form->lettering().settings.KWinkEd, 30.0);
    form->findChild<QCheckBox*>(QStringLiteral("KanteCheck"))->click();
    QCOMPARE(form->renderCount(), 2);
    QVERIFY(form->lettering().settings.KanteCheck);
    QCOMPARE(form->lettering().settings.KWinkEd, 30.0);
    // With the edge on, the angle defers.
    angle->setValue(31);
    QCOMPARE(form->renderCount(), 2);
    QVERIFY(timer()->isActive());
}

void RenderReactionTest::spiralTurnsNeverRender() {
    FirstRender();
    SpinEdit* spiral = form->findChild<SpinEdit*>(QStringLiteral("SpiralEd"));
    spiral->setValue(3.5);
    spiral->stepBy(2);
    QCOMPARE(form->renderCount(), 1);
    QVERIFY(!timer()->isActive());
    QCOMPARE(form->lettering().settings.SpiralEd, 3.7);
}

void RenderReactionTest::frameOverTextNeedsAFrame() {
    FirstRender();
    QCheckBox* overText = form->findChild<QCheckBox*>(QStringLiteral("RTextcheck"));
    overText->click();
    QCOMPARE(form->renderCount(), 1);
    QVERIFY(form->lettering().settings.RTextcheck);
    form->findChild<SpinEdit*>(QStringLiteral("RBreitEd"))->setValue(30);
    QVERIFY(!timer()->isActive());
    form->lettering().settings.FrameStyle = 2;
    overText->click();
    QCOMPARE(form->renderCount(), 2);
    // The height waits only for style 4.
    form->findChild<SpinEdit*>(QStringLiteral("RHochEd"))->setValue(50);
    QVERIFY(!timer()->isActive());
    form->lettering().settings.FrameStyle = 4;
    form->findChild<SpinEdit*>(QStringLiteral("RHochEd"))->setValue(51);
    QVERIFY(timer()->isActive());
}

void RenderReactionTest::surfaceKindRendersOnlyBetweenColourAndTexture() {
    FirstRender();
    TSurfaceFrame* letters = form->findChild<TSurfaceFrame*>(QStringLiteral("SurfaceFrame1"));
    QVERIFY(letters);
    letters->Texture0Check->click();
    QCOMPARE(form->renderCount(), 2);
    QCOMPARE(form->lettering().settings.SurfaceFrame1.kind, SurfaceKind::BuiltinTexture);
    letters->TextureCheck->click();
    QCOMPARE(form->renderCount(), 2);
    QCOMPARE(form->lettering().settings.SurfaceFrame1.kind, SurfaceKind::OwnTexture);
    letters->Texture0Check->click();
    QCOMPARE(form->renderCount(), 2);
    letters->ColorCheck->click();
    QCOMPARE(form->renderCount(), 3);
    QCOMPARE(form->lettering().settings.SurfaceFrame1.kind, SurfaceKind::Color);
}

void RenderReactionTest::programSetSpinFieldsRestartTheCountdown() {
    FirstRender();
    form->findChild<QCheckBox*>(QStringLiteral("SchattenCheck"))->setChecked(true);
    QCOMPARE(form->renderCount(), 2);  // a check box set by the program runs its handler
    QVERIFY(!timer()->isActive());
    form->findChild<SpinEdit*>(QStringLiteral("SWeichEd"))->setValue(4);
    QVERIFY(timer()->isActive());
    QCOMPARE(form->renderCount(), 2);
    form->Timer1Timer();
    QCOMPARE(form->renderCount(), 3);
}

void RenderReactionTest::countdownStaysArmedWhileLoading() {
    FirstRender();
    form->RestartCountdown();
    form->LoadingSettings = true;
    form->Timer1Timer();
    QVERIFY(timer()->isActive());
    QCOMPARE(form->renderCount(), 1);
    form->LoadingSettings = false;
    form->Timer1Timer();
    QVERIFY(!timer()->isActive());
    QCOMPARE(form->renderCount(), 2);
}

void RenderReactionTest::renderWhileArmedLeavesTheCountdownArmed() {
    FirstRender();
    form->Memo1->appendPlainText(QStringLiteral("Neu"));
    QVERIFY(timer()->isActive());
    form->findChild<QCheckBox*>(QStringLiteral("KanteCheck"))->click();
    QCOMPARE(form->renderCount(), 2);
    QVERIFY(timer()->isActive());
}

void RenderReactionTest::suppressedRendersDoNothing() {
    FirstRender();
    form->SuppressRender = true;
    form->findChild<QCheckBox*>(QStringLiteral("KanteCheck"))->click();
    form->SettingsUpdated();
    QCOMPARE(form->renderCount(), 1);
    form->SuppressRender = false;
    form->SettingsUpdated();
    QCOMPARE(form->renderCount(), 2);
}

void RenderReactionTest::deformValuesDeferOnlyWithADeformation() {
    FirstRender();
    SpinEdit* strength = form->findChild<SpinEdit*>(QStringLiteral("StarkEd"));
    strength->setValue(40);
    QVERIFY(!timer()->isActive());
    form->findChild<QRadioButton*>(QStringLiteral("SinDeform"))->click();
    QCOMPARE(form->renderCount(), 2);
    QCOMPARE(form->lettering().settings.deform, DeformMode::SinDeform);
    strength->setValue(41);
    QVERIFY(timer()->isActive());
    QCOMPARE(form->lettering().settings.StarkEd, 41.0);
}

void RenderReactionTest::newRendersWithTheStartText() {
    FirstRender();
    form->Memo1->setPlainText(QStringLiteral("Hallo"));
    form->Timer1Timer();
    form->findChild<QCheckBox*>(QStringLiteral("KanteCheck"))->click();
    const int before = form->renderCount();
    form->NewBtnClick();  // no message handler: the question answers OK
    QVERIFY(form->renderCount() > before);
    QVERIFY(!form->LoadingSettings);
    QVERIFY(form->FirstRenderDone);
    QCOMPARE(form->Memo1->toPlainText(), QStringLiteral("ZEF-LOR\nGbR"));
    QVERIFY(!form->findChild<QCheckBox*>(QStringLiteral("KanteCheck"))->isChecked());
    QVERIFY(!form->lettering().settings.KanteCheck);
    // The text set by "Neu" arms no countdown.
    QVERIFY(!timer()->isActive());
}

QTEST_MAIN(RenderReactionTest)
#include "RenderReactionTest.moc"
