// Big pictures render beside the window: the window takes keys meanwhile, a newer change
// supersedes the running render, Esc drops it, and only the newest settings' picture is shown.

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

#include "FormAccess.h"
#include "app/BackgroundRender.h"
#include "app/MainFUnit.h"
#include "app/RenderSchedule.h"
#include "document/LetteringFile.h"
#include "document/PictureSize.h"
#include "raster/DibService.h"

using namespace gw;

// A wait for a render on the worker, not a limit on its speed: under the sanitizers on a busy
// machine a big render takes many seconds.
constexpr int kRenderWait = 300'000;

class BackgroundRenderTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void keysArriveBeforeTheBigPicture();
    void onlyTheNewestSettingsAreShown();
    void aCancelledPictureIsSaidStaleAndDrawnBeforeCopying();

  private:
    QTemporaryDir folder;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<QSignalSpy> rendered;

    QString Status() const { return Find<QStatusBar>(*form, "StatusBar1")->currentMessage(); }
    // Whether the window shows the picture of the lettering as it is now.
    bool ShowsTheLettering() const {
        const Lettering snapshot = RenderSnapshot(form->lettering());
        RenderImages images;
        MakeWhitePicture(snapshot, images.Picture);
        RenderLettering(snapshot, images);
        const DibImage& shown = form->images().Picture;
        return DibWidth(shown) == DibWidth(images.Picture) &&
               DibHeight(shown) == DibHeight(images.Picture) &&
               std::memcmp(shown.Bits.get(), images.Picture.Bits.get(),
                           DibImageSize(images.Picture)) == 0;
    }
};

void BackgroundRenderTest::init() {
    form = std::make_unique<TMainForm>();
    Paint(*form, "PaintBox1");  // the first render, small and at once
    rendered = std::make_unique<QSignalSpy>(form.get(), &TMainForm::rendered);
    Lettering big;
    InitStartState(big);
    ResizeLettering(big, 1200, 800, true);
    QVERIFY(std::int64_t(big.width) * big.height >= kBackgroundRenderPixels);
    const QString file = folder.filePath(QStringLiteral("gross.zgw"));
    QVERIFY(SaveLetteringFile(big, file.toStdString()).ok);
    form->OpenFile(file);  // renders before it returns
    QCOMPARE(DibWidth(form->images().Picture), 1200);
    rendered->clear();
}

void BackgroundRenderTest::cleanup() {
    rendered.reset();
    form.reset();
}

void BackgroundRenderTest::keysArriveBeforeTheBigPicture() {
    const int renders = form->renderCount();
    Find<QCheckBox>(*form, "KanteCheck")->click();
    QCOMPARE(form->renderCount(), renders + 1);  // started
    QVERIFY(Status().startsWith(QStringLiteral("Das Bild wird berechnet")));
    auto* memo = Find<QPlainTextEdit>(*form, "Memo1");
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, QStringLiteral("xyz"));
    Schedule(*form)->StopCountdown();
    QVERIFY(form->lettering().settings.Memo1.back().ends_with("xyz"));
    QVERIFY(rendered->isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(rendered->size(), 1, kRenderWait);
    QVERIFY(!Status().startsWith(QStringLiteral("Das Bild wird berechnet")));
}

void BackgroundRenderTest::onlyTheNewestSettingsAreShown() {
    Find<QCheckBox>(*form, "SchattenCheck")->click();
    Find<QCheckBox>(*form, "KanteCheck")->click();  // supersedes the shadow's render
    QTRY_COMPARE_WITH_TIMEOUT(rendered->size(), 1, kRenderWait);
    QVERIFY(ShowsTheLettering());

    Find<QCheckBox>(*form, "SchattenCheck")->click();  // off again
    PressShortcut(*form, QKeySequence(Qt::Key_Escape));
    QVERIFY(!Status().startsWith(QStringLiteral("Das Bild wird berechnet")));
    Find<QCheckBox>(*form, "KanteCheck")->click();
    QTRY_COMPARE_WITH_TIMEOUT(rendered->size(), 2, kRenderWait);
    QVERIFY(ShowsTheLettering());
}

void BackgroundRenderTest::aCancelledPictureIsSaidStaleAndDrawnBeforeCopying() {
    // Ctrl+Z while the picture is on its way cancels it and undoes.
    Find<QCheckBox>(*form, "KanteCheck")->click();
    PressShortcut(*form, QKeySequence(Qt::CTRL | Qt::Key_Z));
    QVERIFY(!form->lettering().settings.KanteCheck);
    QTRY_COMPARE_WITH_TIMEOUT(rendered->size(), 1, kRenderWait);
    QVERIFY(ShowsTheLettering());

    Find<QCheckBox>(*form, "SchattenCheck")->click();
    PressShortcut(*form, QKeySequence(Qt::Key_Escape));
    QVERIFY(Status().contains(QStringLiteral("F5")));
    QVERIFY(!ShowsTheLettering());
    Find<QPushButton>(*form, "CopyButton")->click();
    QVERIFY(ShowsTheLettering());
    QVERIFY(!Status().contains(QStringLiteral("F5")));
}

QTEST_MAIN(BackgroundRenderTest)
#include "BackgroundRenderTest.moc"
