// When the main window renders: at once, after the one-second countdown, or not at all.
// The countdown is driven by calling its expiry handler, never by waiting.

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "FormAccess.h"
#include "app/MainFUnit.h"
#include "ui/ColorFrUnit.h"
#include "ui/Dialogs.h"
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
    void renderWhileArmedLeavesTheCountdownArmed();
    void suppressedRendersDoNothing();
    void deformValuesDeferOnlyWithADeformation();
    void newRendersWithTheStartText();
    void spinFieldsOfTheWindowReadLettersAsTheirMinimum();
    void edgeOptionsRenderOnlyWithTheEdge();
    void coloursRenderOnlyWhenTheirEffectIsOn();
    void textControlsRenderAtOnce();
    void listsSetByTheProgramRunNoHandler();
    void tabsAndModesOnlyRepaint();

  private:
    std::unique_ptr<TMainForm> form;
    QTimer* timer() { return form->findChild<QTimer*>(QStringLiteral("Timer1")); }
    // The state after the first paint of the window.
    void FirstRender() {
        Paint(*form, "PaintBox1");
        QCOMPARE(form->renderCount(), 1);
    }
};

void RenderReactionTest::init() {
    form = std::make_unique<TMainForm>();
}

void RenderReactionTest::nothingRendersBeforeTheFirstPaint() {
    QCOMPARE(form->renderCount(), 0);
    QVERIFY(!Schedule(*form)->FirstRenderDone());
    QVERIFY(timer());
    QVERIFY(!timer()->isActive());
    QCOMPARE(timer()->interval(), 1000);
}

void RenderReactionTest::theFirstPaintRenders() {
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QTRY_COMPARE(form->renderCount(), 1);
    QVERIFY(Schedule(*form)->FirstRenderDone());
    // Later paints only show the picture.
    Find<TPaintBox>(*form, "PaintBox1")->repaint();
    QCOMPARE(form->renderCount(), 1);
}

void RenderReactionTest::tenQuickTextChangesRenderOnce() {
    FirstRender();
    Find<QPlainTextEdit>(*form, "Memo1")->moveCursor(QTextCursor::End);
    QTest::keyClicks(Find<QPlainTextEdit>(*form, "Memo1"), QStringLiteral(" ist da!!!"));
    QCOMPARE(form->lettering().settings.Memo1.back(), std::string("GbR ist da!!!"));
    QCOMPARE(form->renderCount(), 1);
    QVERIFY(timer()->isActive());
    Schedule(*form)->Timer1Timer();
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
    ChangeLettering(
        *form, [](Lettering& l) { l.settings.FrameStyle = 2; }, Change::SpiralEd);
    overText->click();
    QCOMPARE(form->renderCount(), 2);
    // The height waits only for style 4.
    form->findChild<SpinEdit*>(QStringLiteral("RHochEd"))->setValue(50);
    QVERIFY(!timer()->isActive());
    ChangeLettering(
        *form, [](Lettering& l) { l.settings.FrameStyle = 4; }, Change::SpiralEd);
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
    Schedule(*form)->Timer1Timer();
    QCOMPARE(form->renderCount(), 3);
}

void RenderReactionTest::renderWhileArmedLeavesTheCountdownArmed() {
    FirstRender();
    Find<QPlainTextEdit>(*form, "Memo1")->appendPlainText(QStringLiteral("Neu"));
    QVERIFY(timer()->isActive());
    form->findChild<QCheckBox*>(QStringLiteral("KanteCheck"))->click();
    QCOMPARE(form->renderCount(), 2);
    QVERIFY(timer()->isActive());
}

void RenderReactionTest::suppressedRendersDoNothing() {
    FirstRender();
    Schedule(*form)->RestartCountdown();
    Schedule(*form)->WriteQuietly([this] {
        form->findChild<QCheckBox*>(QStringLiteral("KanteCheck"))->click();
        Schedule(*form)->SettingsUpdated();
    });
    QCOMPARE(form->renderCount(), 1);
    QVERIFY(!timer()->isActive());
    Schedule(*form)->SettingsUpdated();
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
    Find<QPlainTextEdit>(*form, "Memo1")->setPlainText(QStringLiteral("Hallo"));
    Schedule(*form)->Timer1Timer();
    form->findChild<QCheckBox*>(QStringLiteral("KanteCheck"))->click();
    const int before = form->renderCount();
    Find<QToolButton>(*form, "SpeedButton1")
        ->click();  // no message handler: the question answers OK
    QVERIFY(form->renderCount() > before);
    QVERIFY(Schedule(*form)->FirstRenderDone());
    QCOMPARE(Find<QPlainTextEdit>(*form, "Memo1")->toPlainText(), QStringLiteral("ZEF-LOR\nGbR"));
    QVERIFY(!form->findChild<QCheckBox*>(QStringLiteral("KanteCheck"))->isChecked());
    QVERIFY(!form->lettering().settings.KanteCheck);
    // The text set by "Neu" arms no countdown.
    QVERIFY(!timer()->isActive());
}

void RenderReactionTest::spinFieldsOfTheWindowReadLettersAsTheirMinimum() {
    FirstRender();
    const std::pair<const char*, double> fields[] = {
        {"StarkEd", 1}, {"SWeichEd", 0}, {"KWinkEd", -180}, {"SpiralEd", 0.6}};
    for (auto [name, minimum] : fields) {
        auto* spin = form->findChild<SpinEdit*>(QString::fromLatin1(name));
        spin->setText(QStringLiteral("abc"));
        QCOMPARE(spin->value(), minimum);
    }
    const LetteringSettings& s = form->lettering().settings;
    QCOMPARE(s.StarkEd, 1.0);
    QCOMPARE(s.SWeichEd, 0.0);
    QCOMPARE(s.KWinkEd, -180.0);
    QCOMPARE(s.SpiralEd, 0.6);
    // None of them has its effect on: nothing waits to render.
    QVERIFY(!timer()->isActive());
}

void RenderReactionTest::edgeOptionsRenderOnlyWithTheEdge() {
    FirstRender();
    form->findChild<QCheckBox*>(QStringLiteral("BkGnd1"))->click();
    form->findChild<QCheckBox*>(QStringLiteral("KQualCheck"))->click();
    QCOMPARE(form->renderCount(), 1);
    QVERIFY(form->lettering().settings.BkGnd1);
    QVERIFY(!form->lettering().settings.KQualCheck);
    form->findChild<QCheckBox*>(QStringLiteral("KanteCheck"))->click();
    QCOMPARE(form->renderCount(), 2);
    form->findChild<QCheckBox*>(QStringLiteral("Invers1Check"))->click();
    QCOMPARE(form->renderCount(), 3);
    QComboBox* profile = form->findChild<QComboBox*>(QStringLiteral("Profil2Box"));
    emit profile->activated(0);  // the user picks "Flach"
    QCOMPARE(form->lettering().settings.Profil2Box, 0);
    QCOMPARE(form->renderCount(), 4);
}

void RenderReactionTest::coloursRenderOnlyWhenTheirEffectIsOn() {
    FirstRender();
    const DialogHook previous = SetDialogHook([](const DialogRequest&) {
        return DialogAnswer{true, {}, 0x0000FF, {}};
    });
    form->findChild<QPushButton*>(QStringLiteral("SColorBtn"))->click();
    QCOMPARE(form->lettering().settings.SColorShape, TColor(0x0000FF));
    QCOMPARE(form->renderCount(), 1);
    form->findChild<QCheckBox*>(QStringLiteral("SchattenCheck"))->click();
    form->findChild<QPushButton*>(QStringLiteral("SColorBtn"))->click();
    QCOMPARE(form->renderCount(), 3);
    // The button is enabled by the frame gallery only; here it is asked without a frame.
    auto* frameColour = form->findChild<QPushButton*>(QStringLiteral("RColorBtn"));
    frameColour->setEnabled(true);
    frameColour->click();
    QCOMPARE(form->lettering().settings.RColorShape, TColor(0x0000FF));
    QCOMPARE(form->renderCount(), 3);
    ChangeLettering(
        *form, [](Lettering& l) { l.settings.FrameStyle = 1; }, Change::SpiralEd);
    frameColour->click();
    QCOMPARE(form->renderCount(), 4);
    // A surface colour renders always.
    Find<TSurfaceFrame>(*form, "SurfaceFrame1")->ColorFrame1->ColorBtnClick();
    QCOMPARE(form->lettering().settings.SurfaceFrame1.color, TColor(0x0000FF));
    QCOMPARE(form->renderCount(), 5);
    SetDialogHook(previous);
}

void RenderReactionTest::textControlsRenderAtOnce() {
    FirstRender();
    Find<QToolButton>(*form, "FettBtn")->click();
    QCOMPARE(form->renderCount(), 2);
    QVERIFY(form->lettering().settings.Font.bold);
    Find<QToolButton>(*form, "KursivBtn")->click();
    QCOMPARE(form->renderCount(), 3);
    QVERIFY(form->lettering().settings.Font.italic);
    QVERIFY(form->lettering().settings.Font.bold);
    emit Find<QComboBox>(*form, "AusrichtBox")->activated(2);
    QCOMPARE(form->lettering().settings.AusrichtBox, 2);
    QCOMPARE(form->renderCount(), 4);
    if (Find<QComboBox>(*form, "FontList")->count() > 1) {
        emit Find<QComboBox>(*form, "FontList")->activated(1);
        QCOMPARE(form->lettering().settings.Font.name,
                 Find<QComboBox>(*form, "FontList")->itemData(1).toString().toStdString());
        QCOMPARE(form->renderCount(), 5);
    }
    QVERIFY(!timer()->isActive());
}

void RenderReactionTest::listsSetByTheProgramRunNoHandler() {
    FirstRender();
    form->findChild<QCheckBox*>(QStringLiteral("KanteCheck"))->click();
    const int renders = form->renderCount();
    Find<QComboBox>(*form, "Profil1Box")->setCurrentIndex(0);
    Find<QComboBox>(*form, "SRichtBox")->setCurrentIndex(1);
    Find<QComboBox>(*form, "FontList")
        ->setCurrentIndex(Find<QComboBox>(*form, "FontList")->count() - 1);
    QCOMPARE(form->renderCount(), renders);
    QCOMPARE(form->lettering().settings.Profil1Box, 2);
    QCOMPARE(form->lettering().settings.Font.name, std::string("Arial Black"));
}

void RenderReactionTest::tabsAndModesOnlyRepaint() {
    FirstRender();
    Find<QTabWidget>(*form, "PageControl1")->setCurrentWidget(Find<QWidget>(*form, "TabSheet4"));
    Find<QRadioButton>(*form, "EdPointsCheck")->click();
    Find<QTabWidget>(*form, "PageControl1")->setCurrentWidget(Find<QWidget>(*form, "TabSheet5"));
    Find<QTabWidget>(*form, "PageControl1")->setCurrentWidget(Find<QWidget>(*form, "TabSheet6"));
    QCOMPARE(form->renderCount(), 1);
    QVERIFY(!timer()->isActive());
    QCOMPARE(form->lettering().settings.editMode, EditMode::EdPointsCheck);
}

QTEST_MAIN(RenderReactionTest)
#include "RenderReactionTest.moc"
