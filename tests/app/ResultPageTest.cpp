// The commands of the result page: saving the picture as an image file, printing it, copying it
// to the clipboard; and the rules they follow for file types and the printed size.

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <vector>

#include "FormAccess.h"
#include "app/MainFUnit.h"
#include "document/LetteringFile.h"
#include "document/PictureSize.h"
#include "platform/System.h"
#include "raster/DibService.h"
#include "ui/Dialogs.h"
#include "ui/PictureExport.h"
#include "ui/QtBridge.h"

using namespace gw;

class ResultPageTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void saveWritesAReadablePng();
    void theChosenFilterDecidesWithoutAnExtension();
    void anAddedSuffixNamingAnExistingFileAsksFirst();
    void aFailedSaveIsReportedInGerman();
    void cancelledSaveWritesNothing();
    void copyPutsThePictureOnTheClipboard();
    void printPutsThePictureOnAPage();
    void printedSizeIsTheScreenSizeOrWhatFits();
    void theShownPageFollowsEveryRenderAndSize();

  private:
    std::vector<std::string> messages;
    std::vector<DialogRequest> requests;
    DialogAnswer answer;
    MsgResult reply = MsgResult::Ok;
    MessageBoxHandler previousBoxes;
    DialogHook previousDialogs;
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<TMainForm> form;

    QString Path(const char* name) const { return folder->filePath(QString::fromLatin1(name)); }
    // The picture the result view shows.
    QImage Picture() const { return DibToQImage(form->images().Picture); }
};

void ResultPageTest::init() {
    messages.clear();
    requests.clear();
    answer = DialogAnswer{};
    reply = MsgResult::Ok;
    previousBoxes = SetMessageBoxHandler(
        [this](std::string_view text, std::string_view caption, MsgIcon, MsgButtons) {
            messages.push_back(std::string(caption) + ": " + std::string(text));
            return reply;
        });
    previousDialogs = SetDialogHook([this](const DialogRequest& request) {
        requests.push_back(request);
        return answer;
    });
    folder = std::make_unique<QTemporaryDir>();
    form = std::make_unique<TMainForm>();
    Paint(*form, "PaintBox1");  // the first render
}

void ResultPageTest::cleanup() {
    form.reset();
    SetMessageBoxHandler(previousBoxes);
    SetDialogHook(previousDialogs);
}

void ResultPageTest::saveWritesAReadablePng() {
    QVERIFY(Find<QPushButton>(*form, "SaveAsButton")->isEnabled());
    answer = DialogAnswer{true, Path("bild.png"), 0, PictureSaveFilter().section(";;", 1, 1)};
    Find<QPushButton>(*form, "SaveAsButton")->click();
    QCOMPARE(requests.size(), std::size_t(1));
    QCOMPARE(requests[0].kind, DialogKind::Save);
    QCOMPARE(requests[0].filter,
             QStringLiteral("PNG-Bild (*.png);;JPEG-Bild (*.jpg *.jpeg);;Windows-Bitmap (*.bmp)"));
    QVERIFY(messages.empty());
    // The extension wins over the chosen JPEG filter; PNG keeps the exact pixels.
    const QImage saved(Path("bild.png"), "PNG");
    QVERIFY(!saved.isNull());
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB888),
             Picture().convertToFormat(QImage::Format_RGB888));
}

void ResultPageTest::theChosenFilterDecidesWithoutAnExtension() {
    answer = DialogAnswer{true, Path("bild"), 0, QStringLiteral("JPEG-Bild (*.jpg *.jpeg)")};
    Find<QPushButton>(*form, "SaveAsButton")->click();
    QVERIFY(QFile::exists(Path("bild.jpg")));
    QCOMPARE(QImage(Path("bild.jpg"), "JPEG").size(), QSize(450, 200));
    const ExportTarget bmp = ExportTargetFor(QStringLiteral("/a/b.BMP"), {});
    QCOMPARE(bmp.fileName, QStringLiteral("/a/b.BMP"));
    QCOMPARE(bmp.type, ImageFileType::Bmp);
    const ExportTarget dotted = ExportTargetFor(QStringLiteral("/a/v1.2"), {});
    QCOMPARE(dotted.fileName, QStringLiteral("/a/v1.2.png"));
    QCOMPARE(dotted.type, ImageFileType::Png);
}

void ResultPageTest::anAddedSuffixNamingAnExistingFileAsksFirst() {
    // The real dialog adds the chosen type's suffix itself before it checks for the file.
    QCOMPARE(FirstSuffixOfFilter(QStringLiteral("JPEG-Bild (*.jpg *.jpeg)")),
             QStringLiteral("jpg"));
    QCOMPARE(FirstSuffixOfFilter(QStringLiteral("Alle Dateien")), QString());

    QFile old(Path("bild.jpg"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("wertvoll");
    old.close();
    answer = DialogAnswer{true, Path("bild"), 0, QStringLiteral("JPEG-Bild (*.jpg *.jpeg)")};
    reply = MsgResult::Cancel;
    Find<QPushButton>(*form, "SaveAsButton")->click();
    QCOMPARE(messages.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(messages[0]),
             QStringLiteral("Bild speichern unter: Die Datei bild.jpg gibt es schon. Soll sie "
                            "ersetzt werden?"));
    QCOMPARE(QFileInfo(Path("bild.jpg")).size(), qint64(8));

    reply = MsgResult::Ok;
    Find<QPushButton>(*form, "SaveAsButton")->click();
    QCOMPARE(messages.size(), std::size_t(2));
    QCOMPARE(QImage(Path("bild.jpg"), "JPEG").size(), QSize(450, 200));
}

void ResultPageTest::aFailedSaveIsReportedInGerman() {
    answer = DialogAnswer{true, Path("fehlt/bild.png"), 0, {}};
    Find<QPushButton>(*form, "SaveAsButton")->click();
    QCOMPARE(messages.size(), std::size_t(1));
    QVERIFY2(QString::fromStdString(messages[0]).startsWith(QStringLiteral("Fehler: ")),
             messages[0].c_str());
    QVERIFY(!QFile::exists(Path("fehlt/bild.png")));
}

void ResultPageTest::cancelledSaveWritesNothing() {
    Find<QPushButton>(*form, "SaveAsButton")->click();
    QCOMPARE(requests.size(), std::size_t(1));
    QVERIFY(QDir(folder->path()).isEmpty());
    QVERIFY(messages.empty());
}

void ResultPageTest::copyPutsThePictureOnTheClipboard() {
    QGuiApplication::clipboard()->clear();
    Find<QPushButton>(*form, "CopyButton")->click();
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), QSize(450, 200));
    QCOMPARE(copied.convertToFormat(QImage::Format_RGB888),
             Picture().convertToFormat(QImage::Format_RGB888));
}

void ResultPageTest::printPutsThePictureOnAPage() {
    const QString pdf = Path("druck.pdf");
    const PrintHook previous = SetPrintHook([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    Find<QPushButton>(*form, "PrintButton")->click();
    SetPrintHook(previous);
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
    QVERIFY(file.size() > 1000);
    // Declining the printer dialog prints nothing.
    QFile::remove(pdf);
    const PrintHook declined = SetPrintHook([](QPrinter&) { return false; });
    Find<QPushButton>(*form, "PrintButton")->click();
    SetPrintHook(declined);
    QVERIFY(!QFile::exists(pdf));
}

void ResultPageTest::printedSizeIsTheScreenSizeOrWhatFits() {
    // 450 x 200 at 600 dpi: 2812.5 x 1250 printer pixels, centred on the area.
    const QRectF small = PrintRect({450, 200}, {4000, 6000}, 600);
    QCOMPARE(small.size(), QSizeF(2812.5, 1250));
    QCOMPARE(small.topLeft(), QPointF(593.75, 2375));
    // Too wide for the page: as wide as the area, aspect kept, centred vertically.
    const QRectF wide = PrintRect({3000, 1000}, {4000, 6000}, 600);
    QCOMPARE(wide, QRectF(0, (6000 - 4000.0 / 3) / 2, 4000, 4000.0 / 3));
    // Too high: as high as the area.
    const QRectF high = PrintRect({500, 4000}, {4000, 6000}, 600);
    QCOMPARE(high.height(), 6000.0);
    QCOMPARE(high.width(), 750.0);
    QVERIFY(PrintRect({0, 200}, {4000, 6000}, 600).isNull());
}

void ResultPageTest::theShownPageFollowsEveryRenderAndSize() {
    // Counts the paints of the result view, which shows the picture only as it paints.
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter;
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    Find<QTabWidget>(*form, "PageControl3")->setCurrentWidget(Find(*form, "TabSheet15"));
    TPaintBox* view = Find<TPaintBox>(*form, "ErgPaintBox");
    QVERIFY(QTest::qWaitFor([view] { return view->isVisible(); }));
    QCoreApplication::processEvents();
    view->installEventFilter(&counter);

    Find<QCheckBox>(*form, "KanteCheck")->click();
    QTRY_VERIFY(counter.paints > 0);

    Lettering bigger;
    InitStartState(bigger);
    ResizeLettering(bigger, 600, 300, true);
    QVERIFY(SaveLetteringFile(bigger, Path("gross.zgw").toStdString()).ok);
    counter.paints = 0;
    form->OpenFile(Path("gross.zgw"));
    QCOMPARE(view->size(), QSize(600, 300));
    QTRY_VERIFY(counter.paints > 0);
    QCOMPARE(view->grab().toImage().convertToFormat(QImage::Format_RGB888),
             Picture().convertToFormat(QImage::Format_RGB888));
}

QTEST_MAIN(ResultPageTest)
#include "ResultPageTest.moc"
