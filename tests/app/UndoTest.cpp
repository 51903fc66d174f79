// Undo and redo in the window: every kind of change goes back and comes again with the same
// settings and the same picture bytes, rendered once.

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <functional>

#include "FormAccess.h"
#include "app/MainFUnit.h"
#include "raster/DibImage.h"
#include "ui/Dialogs.h"
#include "ui/TextureFrUnit.h"

using namespace gw;

namespace {

std::vector<std::uint8_t> PictureBytes(const TMainForm& form) {
    const DibImage& picture = form.images().Picture;
    const std::uint8_t* bits = picture.Bits.get();
    return {bits, bits + DibImageSize(picture)};
}

}  // namespace

class UndoTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void eachKindOfChangeGoesBackAndComesAgain();
    void typingIsOneStepAPauseAndOpeningForgets();
    void theKeysUndoEvenInTheTextBox();

  private:
    std::unique_ptr<TMainForm> form;
    QToolButton* undo() { return Find<QToolButton>(*form, "UndoBtn"); }
    QToolButton* redo() { return Find<QToolButton>(*form, "RedoBtn"); }
};

void UndoTest::init() {
    form = std::make_unique<TMainForm>();
    Paint(*form, "PaintBox1");  // the first render
    QVERIFY(!undo()->isEnabled());
    QVERIFY(!redo()->isEnabled());
}

void UndoTest::eachKindOfChangeGoesBackAndComesAgain() {
    const DialogHook previous = SetDialogHook([](const DialogRequest&) {
        return DialogAnswer{true, {}, 0x00FF00, {}};
    });
    const QString texture = QStringLiteral(GLYPHWERK_BIN_DIR "/tex03-holz.gif");
    struct Case {
        const char* step;
        std::function<void()> change;
        std::function<void()> prepare = [] {};
    };
    // `prepare` runs before the state the undo must bring back is taken.
    const Case cases[] = {
        {"3D-Kante", [&] { Find<QCheckBox>(*form, "KanteCheck")->click(); }},
        {"Lichtwinkel",
         [&] {
             Find<SpinEdit>(*form, "KWinkEd")->setText(QStringLiteral("3"));
             Find<SpinEdit>(*form, "KWinkEd")->setText(QStringLiteral("30"));
             Schedule(*form)->Timer1Timer();
         }},
        {"Schatten", [&] { Find<QCheckBox>(*form, "SchattenCheck")->click(); }},
        {"Schattenfarbe", [&] { Find<QPushButton>(*form, "SColorBtn")->click(); }},
        {"Vorlage 3D-Kante",
         [&] { Mouse(Find<TPaintBox>(*form, "KantePaint"), QEvent::MouseButtonPress, 95, 15); }},
        {"Hülle bearbeiten",
         [&] {
             Find<QTabWidget>(*form, "PageControl1")->setCurrentIndex(2);
             TPaintBox* view = Find<TPaintBox>(*form, "PaintBox1");
             Mouse(view, QEvent::MouseMove, 60, 60);
             Mouse(view, QEvent::MouseButtonPress, 60, 60);
             Mouse(view, QEvent::MouseMove, 75, 40);
             Mouse(view, QEvent::MouseButtonRelease, 75, 40);
         }},
        {"Hintergrundtextur",
         [&] {
             QVERIFY(Find<TSurfaceFrame>(*form, "SurfaceFrame2")
                         ->TextureFrame1->OnTextureFile(texture));
         },
         [&] { Find<TSurfaceFrame>(*form, "SurfaceFrame2")->TextureCheck->click(); }},
        {"Bildgröße",
         [&] {
             QTimer::singleShot(0, form.get(), [this] {
                 TResizeForm* dialog = Find<TResizeForm>(*form, "ResizeForm");
                 dialog->BreitEdit->setValue(300);
                 dialog->accept();
             });
             Find<QToolButton>(*form, "OpenBtn")->click();
         }},
        {"Neu", [&] { Find<QToolButton>(*form, "SpeedButton1")->click(); }},
    };
    for (const Case& c : cases) {
        c.prepare();
        const LetteringSettings settingsBefore = form->lettering().settings;
        const std::vector<std::uint8_t> before = PictureBytes(*form);
        c.change();
        QCOMPARE(undo()->toolTip(), QStringLiteral("Rückgängig: ") + QString::fromUtf8(c.step));
        const LetteringSettings settingsAfter = form->lettering().settings;
        const std::vector<std::uint8_t> after = PictureBytes(*form);
        QVERIFY2(after != before, c.step);

        int renders = form->renderCount();
        undo()->click();
        QCOMPARE(form->renderCount(), renders + 1);
        QVERIFY2(PictureBytes(*form) == before, c.step);
        QVERIFY2(form->lettering().settings == settingsBefore, c.step);
        QCOMPARE(redo()->toolTip(), QStringLiteral("Wiederholen: ") + QString::fromUtf8(c.step));

        renders = form->renderCount();
        redo()->click();
        QCOMPARE(form->renderCount(), renders + 1);
        QVERIFY2(PictureBytes(*form) == after, c.step);
        QVERIFY2(form->lettering().settings == settingsAfter, c.step);
        QVERIFY(!redo()->isEnabled());
    }
    SetDialogHook(previous);
}

void UndoTest::typingIsOneStepAPauseAndOpeningForgets() {
    auto* memo = Find<QPlainTextEdit>(*form, "Memo1");
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, QStringLiteral("abc"));
    Schedule(*form)->Timer1Timer();
    QTest::keyClicks(memo, QStringLiteral("de"));
    undo()->click();  // the open step ends first
    QCOMPARE(memo->toPlainText(), QStringLiteral("ZEF-LOR\nGbRabc"));
    undo()->click();
    QCOMPARE(memo->toPlainText(), QStringLiteral("ZEF-LOR\nGbR"));
    QVERIFY(!undo()->isEnabled());
    redo()->click();
    QCOMPARE(memo->toPlainText(), QStringLiteral("ZEF-LOR\nGbRabc"));

    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("a.zgw"));
    form->SaveFile(file);
    form->OpenFile(file);
    QVERIFY(!undo()->isEnabled());
    QVERIFY(!redo()->isEnabled());
}

void UndoTest::theKeysUndoEvenInTheTextBox() {
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    // The splash window came and went at the first showing; the window takes the keys again.
    form->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), form.get());
    auto* memo = Find<QPlainTextEdit>(*form, "Memo1");
    memo->setFocus();
    QTRY_VERIFY(memo->hasFocus());
    Find<QCheckBox>(*form, "KanteCheck")->click();
    QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!form->lettering().settings.KanteCheck);
    QCOMPARE(memo->toPlainText(), QStringLiteral("ZEF-LOR\nGbR"));
    QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(form->lettering().settings.KanteCheck);
    QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(form->lettering().settings.KanteCheck);
}

QTEST_MAIN(UndoTest)
#include "UndoTest.moc"
