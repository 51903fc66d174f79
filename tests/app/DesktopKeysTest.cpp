// The window's keys: Ctrl keys for the document commands and the result page, named in the tool
// tips, and an Alt letter two captions of the page share running the page's command.

#include <QClipboard>
#include <QPrinter>
#include <QTest>

#include "FormAccess.h"
#include "platform/System.h"
#include "ui/Dialogs.h"
#include "ui/PrintSize.h"

using namespace gw;

class DesktopKeysTest : public QObject {
    Q_OBJECT

  private slots:
    void keysRunTheirCommands();
};

void DesktopKeysTest::keysRunTheirCommands() {
    std::vector<DialogRequest> dialogs;
    std::vector<std::string> questions;
    int prints = 0;
    const DialogHook previousDialogs = SetDialogHook([&](const DialogRequest& request) {
        dialogs.push_back(request);
        return DialogAnswer{};
    });
    const PrintHook previousPrint = SetPrintHook([&](QPrinter&) {
        ++prints;
        return false;
    });
    const PrintSizeHook previousSize =
        SetPrintSizeHook([](std::int32_t, std::int32_t, double&) { return true; });
    const MessageBoxHandler previousBoxes =
        SetMessageBoxHandler([&](std::string_view, std::string_view caption, MsgIcon, MsgButtons) {
            questions.emplace_back(caption);
            return caption == "Beenden" ? MsgResult::Cancel : MsgResult::Ok;
        });
    {
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // The splash window came and went at the first showing; the window takes the keys again.
        form.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &form);
        Paint(form, "PaintBox1");
        const auto press = [&form](Qt::Key key, Qt::KeyboardModifiers modifiers) {
            QTest::keyClick(&form, key, modifiers);
        };
        // Document commands from every page; untitled, Save asks for a name.
        press(Qt::Key_O, Qt::ControlModifier);
        press(Qt::Key_S, Qt::ControlModifier);
        press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(dialogs.size(), size_t(3));
        QCOMPARE(dialogs[0].name, QStringLiteral("OpenDialog1"));
        QCOMPARE(dialogs[1].kind, DialogKind::Save);
        QCOMPARE(dialogs[2].name, QStringLiteral("SaveDialog2"));
        QCOMPARE(Find<QToolButton>(form, "SpeedButton2")->toolTip(),
                 QStringLiteral("Schriftzug öffnen... (Strg+O)"));
        QCOMPARE(Find<QToolButton>(form, "SaveAsBtn")->toolTip(),
                 QStringLiteral("Schriftzug speichern unter... (Strg+Umschalt+S)"));
        QCOMPARE(Find<QPushButton>(form, "PrintButton")->toolTip(),
                 QStringLiteral("Bild drucken... (Strg+P)"));

        // Print and copy only on the result page.
        press(Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(prints, 0);
        Find<QTabWidget>(form, "PageControl3")->setCurrentIndex(1);
        QGuiApplication::clipboard()->clear();
        press(Qt::Key_P, Qt::ControlModifier);
        press(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(prints, 1);
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(450, 200));

        // Alt+S: "&Speichern" and "Bild &speichern unter...": the picture is saved.
        dialogs.clear();
        press(Qt::Key_S, Qt::AltModifier);
        QCOMPARE(dialogs.size(), size_t(1));
        QCOMPARE(dialogs[0].name, QStringLiteral("SaveDialog1"));
        // Alt+F: "Ö&ffnen..." and the shadow's "&Farbe festlegen": the colour is chosen.
        Find<QTabWidget>(form, "PageControl3")->setCurrentIndex(0);
        Find<QTabWidget>(form, "PageControl1")->setCurrentIndex(5);
        Find<QTabWidget>(form, "PageControl5")->setCurrentIndex(1);
        press(Qt::Key_F, Qt::AltModifier);
        QCOMPARE(dialogs.size(), size_t(2));
        QCOMPARE(dialogs[1].kind, DialogKind::Color);

        Find<QCheckBox>(form, "KanteCheck")->click();
        press(Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(questions.back(), std::string("Beenden"));
        QVERIFY(form.isVisible());
    }
    SetMessageBoxHandler(previousBoxes);
    SetPrintHook(previousPrint);
    SetPrintSizeHook(previousSize);
    SetDialogHook(previousDialogs);
}

QTEST_MAIN(DesktopKeysTest)
#include "DesktopKeysTest.moc"
