// New, Open, Save and Save As on the main window: questions, dialogs, the caption, and the
// controls after a document was opened.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <fstream>
#include <string>
#include <vector>

#include "FormAccess.h"
#include "app/MainFUnit.h"
#include "document/EnvelopePresets.h"
#include "platform/System.h"
#include "raster/DibService.h"
#include "ui/Dialogs.h"
#include "ui/PaintBox.h"
#include "ui/SpinEdit.h"
#include "ui/SurfFrUnit.h"

using namespace gw;

class DocumentCommandTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void saveWithoutANameAsksForOne();
    void openingRestoresTheControls();
    void cancelledQuestionOrDialogChangesNothing();
    void refusedFileChangesNothing();
    void newResetsTheStartValuesAndKeepsTheRest();
    void openedPictureSizeResizesTheView();
    void largeDocumentAsksBeforeSaving();

  private:
    struct Message {
        std::string text;
        std::string caption;
    };
    std::vector<Message> messages;
    std::vector<DialogRequest> dialogs;
    MsgResult answer = MsgResult::Ok;
    DialogAnswer dialogAnswer;
    MessageBoxHandler previousBoxes;
    DialogHook previousDialogs;
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<TMainForm> form;

    QString Path(const char* name) const { return folder->filePath(QString::fromLatin1(name)); }
    void Answer(bool accepted, const QString& file = {}) {
        dialogAnswer = DialogAnswer{accepted, file, 0, {}};
    }
};

void DocumentCommandTest::init() {
    messages.clear();
    dialogs.clear();
    answer = MsgResult::Ok;
    Answer(false);
    previousBoxes = SetMessageBoxHandler(
        [this](std::string_view text, std::string_view caption, MsgIcon, MsgButtons) {
            messages.push_back({std::string(text), std::string(caption)});
            return answer;
        });
    previousDialogs = SetDialogHook([this](const DialogRequest& request) {
        dialogs.push_back(request);
        return dialogAnswer;
    });
    folder = std::make_unique<QTemporaryDir>();
    QVERIFY(folder->isValid());
    form = std::make_unique<TMainForm>();
    Paint(*form, "PaintBox1");  // the first render
}

void DocumentCommandTest::cleanup() {
    form.reset();
    SetDialogHook(previousDialogs);
    SetMessageBoxHandler(previousBoxes);
}

void DocumentCommandTest::saveWithoutANameAsksForOne() {
    Answer(true, Path("Logo.zgw"));
    Find<QToolButton>(*form, "SaveBtn")->click();
    QCOMPARE(dialogs.size(), size_t(1));
    QCOMPARE(dialogs[0].kind, DialogKind::Save);
    QCOMPARE(dialogs[0].filter, QStringLiteral("Schriftzug-Dateien (*.zgw)"));
    QCOMPARE(dialogs[0].defaultSuffix, QStringLiteral("zgw"));
    QVERIFY(QFile::exists(Path("Logo.zgw")));
    QCOMPARE(form->windowTitle(), QStringLiteral("ZEF-LOR Zarbo-Glyphwerk 2.1 - [Logo.zgw]"));
    QVERIFY(messages.empty());

    // Now Save writes to that file without a dialog.
    QFile::remove(Path("Logo.zgw"));
    Find<QToolButton>(*form, "SaveBtn")->click();
    QCOMPARE(dialogs.size(), size_t(1));
    QVERIFY(QFile::exists(Path("Logo.zgw")));

    // Save As always asks.
    Answer(true, Path("Zweites.zgw"));
    Find<QToolButton>(*form, "SaveAsBtn")->click();
    QCOMPARE(dialogs.size(), size_t(2));
    QCOMPARE(form->windowTitle(), QStringLiteral("ZEF-LOR Zarbo-Glyphwerk 2.1 - [Zweites.zgw]"));
}

void DocumentCommandTest::openingRestoresTheControls() {
    Find<QPlainTextEdit>(*form, "Memo1")->setPlainText(QStringLiteral("Erste\nZweite\nDritte"));
    form->findChild<QCheckBox*>(QStringLiteral("KanteCheck"))->click();
    form->findChild<SpinEdit*>(QStringLiteral("KWinkEd"))->setValue(-120);
    form->findChild<SpinEdit*>(QStringLiteral("SRightEd"))->setValue(-30);
    form->findChild<QRadioButton*>(QStringLiteral("RandDeform"))->click();
    form->findChild<SpinEdit*>(QStringLiteral("SpiralEd"))->setValue(2.3);
    Find<TSurfaceFrame>(*form, "SurfaceFrame2")->Texture0Check->click();
    const LetteringSettings saved = form->lettering().settings;
    Answer(true, Path("Alles.zgw"));
    Find<QToolButton>(*form, "SaveAsBtn")->click();

    Find<QToolButton>(*form, "SpeedButton1")->click();
    QCOMPARE(Find<QPlainTextEdit>(*form, "Memo1")->toPlainText(), QStringLiteral("ZEF-LOR\nGbR"));
    Find<QPlainTextEdit>(*form, "Memo1")->setPlainText(QStringLiteral("Verworfen"));
    const int before = form->renderCount();
    Find<QToolButton>(*form, "SpeedButton2")->click();
    QCOMPARE(messages.back().caption, std::string("Datei/Öffnen"));
    QCOMPARE(dialogs.back().kind, DialogKind::Open);
    QVERIFY(form->renderCount() > before);
    QCOMPARE(form->windowTitle(), QStringLiteral("ZEF-LOR Zarbo-Glyphwerk 2.1 - [Alles.zgw]"));
    QCOMPARE(Find<QPlainTextEdit>(*form, "Memo1")->toPlainText(),
             QStringLiteral("Erste\nZweite\nDritte"));
    QVERIFY(form->findChild<QCheckBox*>(QStringLiteral("KanteCheck"))->isChecked());
    QCOMPARE(form->findChild<SpinEdit*>(QStringLiteral("KWinkEd"))->value(), -120.0);
    QCOMPARE(form->findChild<SpinEdit*>(QStringLiteral("SRightEd"))->value(), -30.0);
    QVERIFY(form->findChild<QRadioButton*>(QStringLiteral("RandDeform"))->isChecked());
    QCOMPARE(form->findChild<SpinEdit*>(QStringLiteral("SpiralEd"))->text(),
             QStringLiteral("2,30"));
    QVERIFY(Find<TSurfaceFrame>(*form, "SurfaceFrame2")->Texture0Check->isChecked());
    QVERIFY(form->lettering().settings == saved);
}

void DocumentCommandTest::cancelledQuestionOrDialogChangesNothing() {
    Answer(true, Path("Da.zgw"));
    Find<QToolButton>(*form, "SaveAsBtn")->click();
    Find<QPlainTextEdit>(*form, "Memo1")->setPlainText(QStringLiteral("Bleibt"));
    const LetteringSettings before = form->lettering().settings;

    answer = MsgResult::Cancel;
    Find<QToolButton>(*form, "SpeedButton2")->click();
    QCOMPARE(dialogs.size(), size_t(1));  // no open dialog after Cancel
    answer = MsgResult::Ok;
    Answer(false);
    Find<QToolButton>(*form, "SpeedButton2")->click();
    QCOMPARE(dialogs.size(), size_t(2));
    QVERIFY(form->lettering().settings == before);
    // The text typed after saving is still unsaved.
    QCOMPARE(form->windowTitle(), QStringLiteral("ZEF-LOR Zarbo-Glyphwerk 2.1 - [Da.zgw] *"));
}

void DocumentCommandTest::refusedFileChangesNothing() {
    {
        std::ofstream bad(Path("Kaputt.zgw").toStdString(), std::ios::binary);
        bad << "ZEF-LOR Zarbo-Glyphwerk 2.0 and then some more bytes";
    }
    Find<QPlainTextEdit>(*form, "Memo1")->setPlainText(QStringLiteral("Bleibt"));
    const LetteringSettings before = form->lettering().settings;
    const int renders = form->renderCount();
    Answer(true, Path("Kaputt.zgw"));
    Find<QToolButton>(*form, "SpeedButton2")->click();
    QCOMPARE(messages.back().text,
             std::string("Die Datei ist keine gültige Zarbo-Glyphwerk Datei!"));
    QCOMPARE(messages.back().caption, std::string("Fehler"));
    QVERIFY(form->lettering().settings == before);
    QCOMPARE(form->renderCount(), renders);
    QVERIFY(form->currentFileName().isEmpty());
}

void DocumentCommandTest::newResetsTheStartValuesAndKeepsTheRest() {
    Find<QToolButton>(*form, "FettBtn")->click();
    form->findChild<SpinEdit*>(QStringLiteral("KWinkEd"))->setValue(12);
    form->findChild<QCheckBox*>(QStringLiteral("SchattenCheck"))->click();
    Find<TSurfaceFrame>(*form, "SurfaceFrame1")->TextureCheck->click();
    ChangeLettering(*form, [](Lettering& l) { l.settings.FrameStyle = 3; });
    Find<QToolButton>(*form, "SpeedButton1")->click();
    const LetteringSettings& s = form->lettering().settings;
    QVERIFY(s.Font.bold);
    QVERIFY(Find<QToolButton>(*form, "FettBtn")->isChecked());
    QCOMPARE(s.KWinkEd, 12.0);
    QVERIFY(!s.SchattenCheck);
    QVERIFY(!form->findChild<QCheckBox*>(QStringLiteral("SchattenCheck"))->isChecked());
    QCOMPARE(s.FrameStyle, 0);
    QVERIFY(Find<TSurfaceFrame>(*form, "SurfaceFrame1")->ColorCheck->isChecked());
    QCOMPARE(s.SurfaceFrame1.kind, SurfaceKind::Color);
    QCOMPARE(form->lettering().EnvelopeLines[0].GetPoint(0), (TPoint{22, 10}));
    QCOMPARE(form->lettering().EnvelopeLines[1].GetPoint(1), (TPoint{428, 190}));
}

void DocumentCommandTest::openedPictureSizeResizesTheView() {
    ChangeLettering(*form, [](Lettering& l) {
        l.width = 600;
        l.height = 300;
        ResetBoundaryLines(l);
    });
    Answer(true, Path("Gross.zgw"));
    Find<QToolButton>(*form, "SaveAsBtn")->click();
    form->session().Undo();
    Find<QToolButton>(*form, "SpeedButton2")->click();
    QCOMPARE(Find<TPaintBox>(*form, "PaintBox1")->size(), QSize(600, 300));
    QCOMPARE(DibWidth(form->images().Picture), 600);
    QCOMPARE(DibHeight(form->images().Picture), 300);
    QCOMPARE(form->lettering().EnvelopeLines[0].GetPoint(0), (TPoint{30, 15}));
}

void DocumentCommandTest::largeDocumentAsksBeforeSaving() {
    // A texture of a little over 100 MB decoded, which the document stores as it is.
    ChangeLettering(*form, [](Lettering& l) { newdib(l.TextTexture, 5800, 5800, 24, nullptr, 0); });
    const struct {
        MsgResult answer;
        bool written;
    } cases[] = {{MsgResult::Cancel, false}, {MsgResult::Ok, true}};
    for (const auto& c : cases) {
        messages.clear();
        answer = c.answer;
        Answer(true, Path("Gross.zgw"));
        Find<QToolButton>(*form, "SaveAsBtn")->click();
        QCOMPARE(messages.size(), size_t(1));
        QCOMPARE(messages[0].caption, std::string("Datei/Speichern"));
        QVERIFY(messages[0].text.find("101 MB") != std::string::npos);
        QVERIFY(messages[0].text.find("Texturen") != std::string::npos);
        QCOMPARE(QFile::exists(Path("Gross.zgw")), c.written);
        QCOMPARE(form->currentFileName().isEmpty(), !c.written);
    }
}

QTEST_MAIN(DocumentCommandTest)
#include "DocumentCommandTest.moc"
