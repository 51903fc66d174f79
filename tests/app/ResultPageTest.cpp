// The commands of the result page: saving the picture as an image file with the export options,
// printing it and its preview, copying it to the clipboard; and the rules they follow for file
// types, the printed size and the render scale of a print.

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
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
#include "ui/PrintSize.h"
#include "ui/QtBridge.h"
#include "ui/RenderProgress.h"

using namespace gw;

class ResultPageTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void saveWritesAReadablePng();
    void exportWritesWhatTheRendererWrites();
    void aForeignExtensionIsAskedAbout();
    void refusedOrCancelledExportsWriteNothing();
    void theChosenFilterDecidesWithoutAnExtension();
    void anAddedSuffixNamingAnExistingFileAsksFirst();
    void aFailedSaveIsReportedInGerman();
    void cancelledSaveWritesNothing();
    void copyPutsThePictureOnTheClipboard();
    void printPutsThePictureOnAPageAtItsResolution();
    void printedSizeIsTheScreenSizeOrWhatFits();
    void theShownPageFollowsEveryRenderAndSize();

  private:
    std::vector<std::string> messages;
    std::vector<DialogRequest> requests;
    ExportOptions chosenOptions;                // what the options row of a save dialog answers
    std::vector<ExportChoices> offeredChoices;  // what the save dialogs started with
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
    offeredChoices.clear();
    chosenOptions = ExportOptions{};
    answer = DialogAnswer{};
    reply = MsgResult::Ok;
    previousBoxes = SetMessageBoxHandler(
        [this](std::string_view text, std::string_view caption, MsgIcon, MsgButtons) {
            messages.push_back(std::string(caption) + ": " + std::string(text));
            return reply;
        });
    previousDialogs = SetDialogHook([this](const DialogRequest& request) {
        requests.push_back(request);
        if (request.exportChoices) offeredChoices.push_back(*request.exportChoices);
        if (request.exportChoices && answer.accepted)
            request.exportChoices->Choose(
                ExportTargetFor(answer.fileName, answer.selectedFilter).type, chosenOptions);
        return answer;
    });
    folder = std::make_unique<QTemporaryDir>();
    form = std::make_unique<TMainForm>();
    Paint(*form, "PaintBox1");  // the first render
}

void ResultPageTest::cleanup() {
    // A cancelled render finishes in the background before the window goes.
    QThreadPool::globalInstance()->waitForDone();
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
             QStringLiteral("PNG-Bild (*.png);;JPEG-Bild (*.jpg *.jpeg);;WebP-Bild (*.webp);;"
                            "Windows-Bitmap (*.bmp);;PDF-Dokument (*.pdf);;SVG-Grafik (*.svg)"));
    QVERIFY(messages.empty());
    // The extension wins over the chosen JPEG filter; PNG keeps the exact pixels.
    const QImage saved(Path("bild.png"), "PNG");
    QVERIFY(!saved.isNull());
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB888),
             Picture().convertToFormat(QImage::Format_RGB888));
}

void ResultPageTest::exportWritesWhatTheRendererWrites() {
    struct Case {
        const char* file;
        ExportOptions options;
        ImageFileType type;
    };
    const Case cases[] = {
        {"gross.png", {2, false, false, 300}, ImageFileType::Png},
        {"glatt.jpg", {1, true, false, 0}, ImageFileType::Jpeg},
        {"logo.pdf", {1, true, true, 150}, ImageFileType::Pdf},
        {"logo.png", {3, false, true, 0}, ImageFileType::Png},
        {"bild.bmp", {1, false, false, 0}, ImageFileType::Bmp},
        {"klein.jpg", {1, false, false, 0, 30}, ImageFileType::Jpeg},
        {"klein.webp", {1, false, false, 0, 30, true}, ImageFileType::Webp},
        {"fein.webp", {1, false, false, 0, 30, false}, ImageFileType::Webp},
        {"logo.svg", {1, false, false, 0}, ImageFileType::Svg},
        {"schnitt.svg", {2, true, false, 0, 92, false, true}, ImageFileType::Svg},
        {"vektor.pdf", {1, false, false, 150, 92, false, false, true}, ImageFileType::Pdf},
        {"bild.jpg", {1, false, false, 72}, ImageFileType::Jpeg},  // the window's own picture
    };
    for (const Case& c : cases) {
        answer = DialogAnswer{true, Path(c.file), 0, {}};
        chosenOptions = c.options;
        Find<QPushButton>(*form, "SaveAsButton")->click();
        QVERIFY2(messages.empty(), messages.empty() ? "" : messages[0].c_str());
        QFile file(Path(c.file));
        QVERIFY2(file.open(QIODevice::ReadOnly), c.file);
        std::vector<std::uint8_t> bytes;
        std::string error;
        QVERIFY(EncodeExport(form->lettering(), c.options, c.type, bytes, error));
        // A PDF carries the second it was made in, an SVG the count of drawing surfaces the
        // process has made.
        const auto timeless = [](QByteArray data) {
            const qsizetype at = data.indexOf("/CreationDate (D:");
            if (at >= 0) data.remove(at, data.indexOf(')', at) - at);
            return QString::fromLatin1(data).remove(QRegularExpression("id=\"surface\\d+\""));
        };
        const QByteArray expected(reinterpret_cast<const char*>(bytes.data()),
                                  qsizetype(bytes.size()));
        QVERIFY2(timeless(file.readAll()) == timeless(expected), c.file);
    }
    // The quality reaches the encoder: lossy at 30 is smaller than JPEG's usual 92, and WebP is
    // lossy only when asked.
    QVERIFY(QFileInfo(Path("klein.jpg")).size() < QFileInfo(Path("bild.jpg")).size());
    const auto chunk = [this](const char* name) {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.read(16).mid(12) : QByteArray();
    };
    QCOMPARE(chunk("klein.webp"), QByteArray("VP8 "));
    QCOMPARE(chunk("fein.webp"), QByteArray("VP8L"));
    // The vector files hold the letters as paths: the plain start-up lettering needs no image,
    // and the cut file is hairlines in millimetres whatever scale and smoothing were kept.
    const auto content = [this](const char* name) {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    for (const char* name : {"logo.svg", "schnitt.svg"})
        QVERIFY2(content(name).contains("<path") && !content(name).contains("<image") &&
                     !content(name).contains("<text"),
                 name);
    QVERIFY(content("schnitt.svg").contains("mm\"") && !content("logo.svg").contains("mm\""));
    QVERIFY(content("logo.pdf").contains("/Subtype /Image"));
    QVERIFY(!content("vektor.pdf").contains("/Subtype /Image"));
    // The next dialog starts with the type saved last, and each type keeps its own options.
    offeredChoices.clear();
    answer = DialogAnswer{};
    Find<QPushButton>(*form, "SaveAsButton")->click();
    QCOMPARE(offeredChoices.size(), std::size_t(1));
    QCOMPARE(offeredChoices[0].lastType, ImageFileType::Jpeg);
    QCOMPARE(offeredChoices[0].For(ImageFileType::Jpeg).dpi, 72);
    QVERIFY(offeredChoices[0].For(ImageFileType::Png).transparent);
    QCOMPARE(requests.back().pictureWidth, 450);
    QCOMPARE(ExportSizeText(450, 200, {4, false, false, 300}),
             QStringLiteral("1800 × 800 Pixel, 15,24 × 6,77 cm bei 300 dpi"));
}

void ResultPageTest::aForeignExtensionIsAskedAbout() {
    answer = DialogAnswer{true, Path("bild.gif"), 0, QStringLiteral("PDF-Dokument (*.pdf)")};
    reply = MsgResult::Cancel;
    Find<QPushButton>(*form, "SaveAsButton")->click();
    QCOMPARE(messages.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(messages[0]),
             QStringLiteral("Bild speichern unter: Die Endung .gif gehört zu keinem der "
                            "angebotenen Formate. Soll das Bild als PDF unter bild.gif.pdf "
                            "gespeichert werden?"));
    QVERIFY(QDir(folder->path()).isEmpty());
    reply = MsgResult::Ok;
    Find<QPushButton>(*form, "SaveAsButton")->click();
    QFile pdf(Path("bild.gif.pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    // A name without any extension takes the chosen type's without a question.
    QVERIFY(!HasForeignExtension(QStringLiteral("/a/bild")));
    QVERIFY(!HasForeignExtension(QStringLiteral("/a/bild.JPEG")));
}

void ResultPageTest::refusedOrCancelledExportsWriteNothing() {
    struct Case {
        const char* file;
        ExportOptions options;
        std::int32_t width;  // of the picture
        bool cancel;
        const char* message;  // the start of what the user is told
    };
    const Case cases[] = {
        {"riesig.png",
         {8, false, false, 0},
         4000,
         false,
         "Fehler: Das Bild wäre mit Skalierung 8 zu groß (höchstens 16384 Pixel je Seite und 256 "
         "Millionen Pixel); möglich ist höchstens Skalierung 4."},
        {"durchsichtig.jpg",
         {1, false, true, 0},
         450,
         false,
         "Fehler: Ein transparenter Hintergrund geht nur mit PNG, PDF und WebP"},
        {"abgebrochen.png", {2, true, false, 0}, 450, true, nullptr},
        {"riesig.svg",
         {8, false, false, 0},
         4000,
         false,
         "Fehler: Das Bild wäre mit Skalierung 8 zu groß"},
        {"abgebrochen.svg", {}, 450, true, nullptr},
    };
    for (const Case& c : cases) {
        messages.clear();
        ChangeLettering(
            *form, [&c](Lettering& l) { l.width = c.width; }, Change::SpiralEd);
        answer = DialogAnswer{true, Path(c.file), 0, {}};
        chosenOptions = c.options;
        int dialogs = 0;
        const ProgressHook previous = SetProgressHook([&](QProgressDialog& progress) {
            ++dialogs;
            if (c.cancel) progress.cancel();
        });
        Find<QPushButton>(*form, "SaveAsButton")->click();
        SetProgressHook(previous);
        QThreadPool::globalInstance()->waitForDone();
        QVERIFY2(QDir(folder->path()).isEmpty(), c.file);
        if (c.message) {
            QCOMPARE(messages.size(), std::size_t(1));
            QVERIFY2(QString::fromStdString(messages[0]).startsWith(QString::fromUtf8(c.message)),
                     messages[0].c_str());
        } else {
            QVERIFY(messages.empty());
            QCOMPARE(dialogs, 1);
        }
    }
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
    // WebP is offered, takes transparency and has no place for a resolution.
    answer = DialogAnswer{true, Path("logo"), 0, QStringLiteral("WebP-Bild (*.webp)")};
    Find<QPushButton>(*form, "SaveAsButton")->click();
    QFile webp(Path("logo.webp"));
    QVERIFY(webp.open(QIODevice::ReadOnly));
    QCOMPARE(webp.read(16).mid(8), QByteArray("WEBPVP8L"));
    QVERIFY(TypeTakesTransparency(ImageFileType::Webp));
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
    // The PNG beside the ordinary image follows "Hintergrund transparent" as last saved with a
    // type that takes it; a JPEG in between changes nothing.
    const struct {
        const char* file;  // exported before the copy with transparency chosen or not
        bool transparent, pngHasAlpha;
    } cases[] = {{"", false, false},
                 {"logo.png", true, true},
                 {"foto.jpg", false, true},
                 {"logo.webp", false, false}};
    for (const auto& c : cases) {
        answer = DialogAnswer{*c.file != 0, Path(c.file), 0, {}};
        chosenOptions = ExportOptions{1, false, c.transparent, 0};
        Find<QPushButton>(*form, "SaveAsButton")->click();
        QGuiApplication::clipboard()->clear();
        Find<QPushButton>(*form, "CopyButton")->click();
        QVERIFY(messages.empty());
        const QImage copied = QGuiApplication::clipboard()->image();
        QCOMPARE(copied.convertToFormat(QImage::Format_RGB888),
                 Picture().convertToFormat(QImage::Format_RGB888));
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        const QImage png = QImage::fromData(data->data(QStringLiteral("image/png")), "PNG")
                               .convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(png.size(), QSize(450, 200));
        // Where the lettering is opaque it is the picture the window shows.
        int clear = 0;
        int differing = 0;
        for (int y = 0; y < png.height(); ++y)
            for (int x = 0; x < png.width(); ++x) {
                const QRgb p = png.pixel(x, y), shown = copied.pixel(x, y);
                clear += qAlpha(p) == 0;
                differing += qAlpha(p) == 255 && (std::abs(qRed(p) - qRed(shown)) > 3 ||
                                                  std::abs(qGreen(p) - qGreen(shown)) > 3 ||
                                                  std::abs(qBlue(p) - qBlue(shown)) > 3);
            }
        QVERIFY2((clear > 0) == c.pngHasAlpha, c.file);
        QCOMPARE(differing, 0);
    }
}

void ResultPageTest::printPutsThePictureOnAPageAtItsResolution() {
    // A blue background shows where the picture lies on the page.
    ChangeLettering(
        *form, [](Lettering& l) { l.settings.SurfaceFrame2.color = RGB(0, 0, 255); },
        Change::SpiralEd);
    const QString pdf = Path("druck.pdf");
    const auto toPdf = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setResolution(150);
    };
    const auto run = [](const QString& command) {
        QProcess process;
        process.start(QStringLiteral("sh"), {QStringLiteral("-c"), command});
        process.waitForFinished(60000);
        return QString::fromUtf8(process.readAllStandardOutput());
    };
    struct Case {
        int exportDpi;    // never carried over into the print
        double printDpi;  // chosen in the print size dialog; 0: as it was offered
        bool preview;
        QSize printed;   // at 72 dpi, one pixel a point
        QSize rendered;  // the picture in the PDF: smooth at the scale the printer asks for
    };
    const Case cases[] = {
        {300, 0, false, {338, 150}, {900, 400}},  // 96 dpi: 150 / 96 rounds up to 2
        {0, 300, true, {108, 48}, {450, 200}},
        {0, 0, false, {108, 48}, {450, 200}},  // the print's size stays for the session
    };
    std::vector<double> offered;
    for (const Case& c : cases) {
        QFile::remove(pdf);
        const auto previousPrint = SetPrintHook([&](QPrinter& printer) {
            toPdf(printer);
            return true;
        });
        const auto previousPreview =
            SetPreviewHook([&](QPrinter& printer, const PrintPainter& paint) {
                toPdf(printer);
                paint(printer);
            });
        const auto previousSize =
            SetPrintSizeHook([&](std::int32_t width, std::int32_t, double& dpi) {
                offered.push_back(width == 450 ? dpi : -1);
                if (c.printDpi > 0) dpi = c.printDpi;
                return true;
            });
        answer = DialogAnswer{true, Path("export.png"), 0, {}};
        chosenOptions = ExportOptions{1, false, false, c.exportDpi};
        Find<QPushButton>(*form, "SaveAsButton")->click();
        Find<QPushButton>(*form, c.preview ? "PreviewButton" : "PrintButton")->click();
        SetPrintHook(previousPrint);
        SetPreviewHook(previousPreview);
        SetPrintSizeHook(previousSize);
        QVERIFY(QFile::exists(pdf));
        const QString info = run("pdfinfo " + pdf);
        QVERIFY2(info.contains(QStringLiteral("(A4)")), qPrintable(info));
        const QStringList image =
            run("pdfimages -list " + pdf + " | tail -1").split(' ', Qt::SkipEmptyParts);
        QVERIFY(image.size() > 4);
        QCOMPARE(QSize(image[3].toInt(), image[4].toInt()), c.rendered);
        QCOMPARE(image[8], QStringLiteral("image"));  // stored without loss, not as a JPEG
        run("pdftoppm -r 72 -png -singlefile " + pdf + " " + Path("seite"));
        const QImage page(Path("seite.png"));
        QCOMPARE(page.size(), QSize(595, 842));
        QRect blue;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) {
                const QColor p = page.pixelColor(x, y);
                if (p.blue() > 200 && p.red() < 60 && p.green() < 60) blue |= QRect(x, y, 1, 1);
            }
        QVERIFY2(std::abs(blue.width() - c.printed.width()) <= 2 &&
                     std::abs(blue.height() - c.printed.height()) <= 2,
                 qPrintable(QStringLiteral("%1 x %2").arg(blue.width()).arg(blue.height())));
        QVERIFY(std::abs(blue.center().x() - 297) <= 2);
    }
    QCOMPARE(offered, (std::vector<double>{96, 96, 300}));
    // Declining the print size or the printer dialog prints nothing.
    QFile::remove(pdf);
    const PrintHook declined = SetPrintHook([&](QPrinter& printer) {
        toPdf(printer);
        return false;
    });
    for (const bool sizeDeclined : {true, false}) {
        const PrintSizeHook size =
            SetPrintSizeHook([&](std::int32_t, std::int32_t, double&) { return !sizeDeclined; });
        Find<QPushButton>(*form, sizeDeclined ? "PreviewButton" : "PrintButton")->click();
        SetPrintSizeHook(size);
    }
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
    // At 300 dpi the picture is a third as large as at 96.
    QCOMPARE(PrintRect({450, 200}, {4000, 6000}, 600, 300).size(), QSizeF(900, 400));

    // The print renders smooth at the printed pixels per picture pixel, rounded up, at most 8,
    // and no larger than the lettering can be smoothed.
    Lettering l;
    l.settings = form->lettering().settings;
    l.height = form->lettering().height;
    const struct {
        std::int32_t width;
        double ratio;
        std::int32_t scale;
    } scales[] = {{450, 600 / 96.0, 7}, {450, 1200 / 96.0, 8}, {450, 0.5, 1},
                  {450, 2.0, 2},        {2000, 8.0, 2},        {5000, 4.0, 0}};
    for (const auto& s : scales) {
        l.width = s.width;
        QCOMPARE(PrintScale(l, s.ratio), s.scale);
    }
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
