// `glyphwerk FILE.zgw`: the document named on the command line opens once the window stands; one
// that cannot be read is reported and the start-up lettering stays.

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "../MessageRecorder.h"
#include "FormAccess.h"
#include "app/StartDocument.h"

using namespace gw;

class StartDocumentTest : public QObject {
    Q_OBJECT

  private slots:
    void documentArgument();
    void opensTheDocumentOrKeepsTheStartLettering();
};

void StartDocumentTest::documentArgument() {
    const std::pair<QStringList, QString> cases[] = {
        {{"glyphwerk"}, {}},
        {{"glyphwerk", "Logo.zgw"}, "Logo.zgw"},
        {{"glyphwerk", "--verbose", "Logo.zgw", "Zweites.zgw"}, "Logo.zgw"},
        {{"glyphwerk", "--", "-Strich.zgw"}, "-Strich.zgw"},
    };
    for (const auto& [arguments, document] : cases)
        QCOMPARE(StartDocument(arguments), document);
}

void StartDocumentTest::opensTheDocumentOrKeepsTheStartLettering() {
    QTemporaryDir folder;
    const QString saved = folder.filePath(QStringLiteral("Logo.zgw"));
    {
        TMainForm writer;
        Find<QPlainTextEdit>(writer, "Memo1")->setPlainText(QStringLiteral("Vom Aufruf"));
        writer.SaveFile(saved);
    }
    {
        std::ofstream bad(folder.filePath(QStringLiteral("Kaputt.zgw")).toStdString());
        bad << "kein Schriftzug";
    }
    // Relative to the folder the program was started in, as a file manager passes it.
    QVERIFY(QDir::setCurrent(folder.path()));
    MessageRecorder messages;
    TMainForm form;
    const LetteringSettings start = form.lettering().settings;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    OpenStartDocument(form, {QStringLiteral("glyphwerk"), QStringLiteral("Kaputt.zgw")});
    QTRY_COMPARE(messages.messages.size(), size_t(1));
    QCOMPARE(messages.messages[0].caption, std::string("Fehler"));
    QVERIFY(form.lettering().settings == start);
    QVERIFY(form.currentFileName().isEmpty());

    OpenStartDocument(form, {QStringLiteral("glyphwerk"), QStringLiteral("Logo.zgw")});
    QTRY_COMPARE(form.currentFileName(), saved);
    QCOMPARE(Find<QPlainTextEdit>(form, "Memo1")->toPlainText(), QStringLiteral("Vom Aufruf"));
    QCOMPARE(messages.messages.size(), size_t(1));
}

QTEST_MAIN(StartDocumentTest)
#include "StartDocumentTest.moc"
