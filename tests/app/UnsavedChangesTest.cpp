// Unsaved changes: the caption's "*", undo back to the saved state, and the question of Neu,
// Öffnen and Ende, asked only when there is something to lose.

#include <QTemporaryDir>
#include <QTest>

#include "FormAccess.h"
#include "platform/System.h"
#include "ui/Dialogs.h"

using namespace gw;

class UnsavedChangesTest : public QObject {
    Q_OBJECT

  private slots:
    void captionFollowsTheChanges();
    void commandsAskOnlyAboutChanges();
};

void UnsavedChangesTest::captionFollowsTheChanges() {
    // What counts as a change is the session's; the caption follows its notices.
    QTemporaryDir folder;
    TMainForm form;
    const QString clean = QStringLiteral("ZEF-LOR Zarbo-Glyphwerk 2.1 - [Unbenannt.zgw]");
    QCOMPARE(form.windowTitle(), clean);
    Find<QCheckBox>(form, "KanteCheck")->click();
    QCOMPARE(form.windowTitle(), clean + QStringLiteral(" *"));
    form.SaveFile(folder.filePath(QStringLiteral("Logo.zgw")));
    QCOMPARE(form.windowTitle(), QStringLiteral("ZEF-LOR Zarbo-Glyphwerk 2.1 - [Logo.zgw]"));
}

void UnsavedChangesTest::commandsAskOnlyAboutChanges() {
    struct Command {
        const char* caption;
        std::string question;
        std::function<void(TMainForm&)> run;
        std::function<bool(TMainForm&)> ran;
    };
    std::vector<DialogRequest> dialogs;
    const auto opened = [&dialogs](TMainForm&) {
        return !dialogs.empty() && dialogs.back().kind == DialogKind::Open;
    };
    const Command commands[] = {
        {"Datei|Neu", "Alle nicht gespeicherten Einstellungen gehen verloren.",
         [](TMainForm& form) { Find<QToolButton>(form, "SpeedButton1")->click(); },
         [](TMainForm& form) { return !form.lettering().settings.KanteCheck; }},
        {"Datei/Öffnen", "Hiermit gehen alle nicht gespeicherten Informationen verloren.",
         [](TMainForm& form) { Find<QToolButton>(form, "SpeedButton2")->click(); }, opened},
        {"Beenden",
         "Hiermit beenden Sie das Programm. Alle nicht gespeicherten Einstellungen gehen "
         "verloren.",
         [](TMainForm& form) { form.close(); }, [](TMainForm& form) { return !form.isVisible(); }},
    };
    QTemporaryDir folder;
    std::vector<std::string> questions;
    MsgResult answer = MsgResult::Cancel;
    bool threeButtons = true;
    DialogAnswer saveAnswer;
    const MessageBoxHandler previousBoxes = SetMessageBoxHandler(
        [&](std::string_view text, std::string_view caption, MsgIcon, MsgButtons buttons) {
            threeButtons = threeButtons && buttons == MsgButtons::SaveDiscardCancel;
            questions.push_back(std::string(caption) + ": " + std::string(text));
            return answer;
        });
    const DialogHook previousDialogs = SetDialogHook([&](const DialogRequest& request) {
        dialogs.push_back(request);
        return request.kind == DialogKind::Save ? saveAnswer : DialogAnswer{};
    });
    for (const Command& command : commands) {
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        questions.clear();
        dialogs.clear();
        // Nothing to lose: no question.
        if (command.caption != std::string("Beenden")) {
            command.run(form);
            QVERIFY2(questions.empty(), command.caption);
            dialogs.clear();
        }
        Find<QCheckBox>(form, "KanteCheck")->click();
        // Abbrechen, and Speichern with its name dialog cancelled, leave the command undone.
        for (MsgResult refusal : {MsgResult::Cancel, MsgResult::Save}) {
            answer = refusal;
            saveAnswer = DialogAnswer{};
            command.run(form);
            QVERIFY2(!command.ran(form), command.caption);
        }
        QCOMPARE(questions.size(), size_t(2));
        QCOMPARE(questions[0], std::string(command.caption) + ": " + command.question);
        QCOMPARE(dialogs.size(), size_t(1));
        QCOMPARE(dialogs[0].kind, DialogKind::Save);
        // Speichern on the untitled document saves it under the chosen name, then goes on.
        const QString file = folder.filePath(
            QString::fromUtf8(command.caption).remove('|').remove('/') + QStringLiteral(".zgw"));
        saveAnswer = DialogAnswer{true, file, 0, {}};
        command.run(form);
        QVERIFY2(QFile::exists(file), command.caption);
        QVERIFY2(command.ran(form), command.caption);
    }
    // Verwerfen goes on without saving.
    TMainForm form;
    Find<QCheckBox>(form, "KanteCheck")->click();
    answer = MsgResult::Discard;
    Find<QToolButton>(form, "SpeedButton1")->click();
    QVERIFY(!form.lettering().settings.KanteCheck);
    QVERIFY(threeButtons);
    SetDialogHook(previousDialogs);
    SetMessageBoxHandler(previousBoxes);
}

QTEST_MAIN(UnsavedChangesTest)
#include "UnsavedChangesTest.moc"
