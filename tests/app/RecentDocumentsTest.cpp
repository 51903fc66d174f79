// "Zuletzt geöffnet" on the Öffnen button and the file dialogs' start folders, both kept in the
// settings between runs (here in a folder of the test's own).

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "../MessageRecorder.h"
#include "FormAccess.h"
#include "app/RecentDocuments.h"
#include "ui/Dialogs.h"

using namespace gw;

class RecentDocumentsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void menuOpensTheLastEightAndDropsMissingOnes();
    void fileDialogsStartInPicturesThenWhereTheyWere();

  private:
    QTemporaryDir settings;
};

void RecentDocumentsTest::initTestCase() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QCoreApplication::setOrganizationName(QStringLiteral("GlyphwerkTest"));
}

void RecentDocumentsTest::menuOpensTheLastEightAndDropsMissingOnes() {
    QTemporaryDir folder;
    const auto file = [&folder](int n) {
        return folder.filePath(QStringLiteral("Nr%1.zgw").arg(n));
    };
    TMainForm form;
    for (int n = 1; n <= 10; ++n) {
        Find<SpinEdit>(form, "KWinkEd")->setValue(n);
        form.SaveFile(file(n));
    }
    form.OpenFile(file(5));  // to the top, once
    QCOMPARE(RecentDocuments(), (QStringList{file(5), file(10), file(9), file(8), file(7), file(6),
                                             file(4), file(3)}));

    auto* menu = Find<QToolButton>(form, "SpeedButton2")->menu();
    QVERIFY(menu);
    const auto entry = [menu](const QString& document) -> QAction* {
        emit menu->aboutToShow();
        for (QAction* action : menu->actions())
            if (action->data().toString() == document) return action;
        return nullptr;
    };
    QCOMPARE(entry(file(10))->text(), QStringLiteral("&2 Nr10.zgw"));
    entry(file(8))->trigger();
    QCOMPARE(form.currentFileName(), file(8));
    QCOMPARE(form.lettering().settings.KWinkEd, 8.0);

    MessageRecorder messages;
    QFile::remove(file(9));
    entry(file(9))->trigger();
    QCOMPARE(messages.messages.size(), size_t(1));
    QCOMPARE(messages.messages[0].caption, std::string("Zuletzt geöffnet"));
    QVERIFY(!RecentDocuments().contains(file(9)));
    QVERIFY(!entry(file(9)));
    QCOMPARE(form.currentFileName(), file(8));
}

void RecentDocumentsTest::fileDialogsStartInPicturesThenWhereTheyWere() {
    // The pictures folder where there is one, else the home folder: never a name that is none.
    const QString picturesFolder =
        QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString pictures = QFileInfo(picturesFolder).isDir() ? picturesFolder : QDir::homePath();
    QVERIFY(QFileInfo(pictures).isDir());
    QCOMPARE(FileDialogStart(QStringLiteral("OpenDialog1")), pictures);
    auto folder = std::make_unique<QTemporaryDir>();
    const QString chosen = folder->filePath(QStringLiteral("Logo.zgw"));
    RememberFileDialog(QStringLiteral("OpenDialog1"), chosen);
    QCOMPARE(FileDialogStart(QStringLiteral("OpenDialog1")), chosen);
    QCOMPARE(FileDialogStart(QStringLiteral("SaveDialog1")), pictures);
    QSettings().sync();  // as the next run reads it
    QCOMPARE(QSettings().value(QStringLiteral("fileDialogs/OpenDialog1")).toString(), chosen);
    folder.reset();
    QCOMPARE(FileDialogStart(QStringLiteral("OpenDialog1")), pictures);
}

QTEST_MAIN(RecentDocumentsTest)
#include "RecentDocumentsTest.moc"
