// How the window looks: its smallest size cuts nothing, its place is kept on the screens, a font
// that is not installed keeps its name in the font list, the file filters list their patterns
// once, and a gallery drawn for a finer screen holds its thumbnails at that screen's pixels.

#include <QComboBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "FormAccess.h"
#include "app/MainFUnit.h"
#include "app/WindowPlacement.h"
#include "raster/DibService.h"
#include "ui/EnvelopeThumbnails.h"
#include "ui/QtBridge.h"
#include "ui/ThumbnailGallery.h"

using namespace gw;

class WindowLooksTest : public QObject {
    Q_OBJECT

  private slots:
    void smallestWindowCutsNothing();
    void placementStaysOnTheScreens();
    void missingFontKeepsItsName();
    void fileFiltersListTheirPatternsOnce();
    void galleryDrawsAtThePixelScale();
};

void WindowLooksTest::smallestWindowCutsNothing() {
    TMainForm form;
    form.show();
    form.resize(1, 1);
    for (int page : {0, 1}) {
        Find<QTabWidget>(form, "PageControl3")->setCurrentIndex(page);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        for (const char* name :
             {"SpeedButton1", "OpenBtn", "SpeedButton2", "SaveBtn", "SaveAsBtn", "UndoBtn",
              "RedoBtn", "Panel8", "PageControl1", "Image2", "CopyButton", "PreviewButton"}) {
            QWidget* widget = Find(form, name);
            if (!widget->isVisible()) continue;
            QVERIFY2(widget->parentWidget()->rect().contains(widget->geometry()), name);
            QVERIFY2(form.rect().contains(QRect(widget->mapTo(&form, QPoint()), widget->size())),
                     name);
        }
    }
    // Every caption whole: the row of tabs is as wide as its captions ask.
    for (const char* name : {"PageControl1", "PageControl3"}) {
        QTabBar* tabs = Find<QTabWidget>(form, name)->tabBar();
        QVERIFY2(tabs->width() >= tabs->sizeHint().width(), name);
    }
}

void WindowLooksTest::placementStaysOnTheScreens() {
    const QSize minimum(653, 447);
    const QSize fallback(700, 600);
    const QList<QRect> one = {QRect(0, 0, 1920, 1080)};
    const QList<QRect> two = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const QRect centred(610, 240, 700, 600);
    const struct {
        QRect saved;
        QList<QRect> screens;
        QRect placed;
    } cases[] = {
        {QRect(100, 80, 800, 650), one, QRect(100, 80, 800, 650)},     // as it was
        {QRect(2000, 50, 800, 650), two, QRect(2000, 50, 800, 650)},   // on the second screen
        {QRect(2000, 50, 800, 650), one, centred},                     // that screen is gone
        {QRect(1900, 50, 800, 650), one, centred},                     // too little to grip
        {QRect(), one, centred},                                       // nothing saved
        {QRect(1500, -100, 800, 650), one, QRect(1120, 0, 800, 650)},  // moved onto the screen
        {QRect(50, 50, 4000, 3000), two, QRect(0, 0, 1920, 1080)},     // no larger than it
        {QRect(0, 0, 800, 650), {QRect(0, 0, 600, 400)}, QRect(QPoint(0, 0), minimum)},
    };
    for (const auto& c : cases)
        QCOMPARE(PlacedWindow(c.saved, minimum, c.screens, fallback), c.placed);
}

void WindowLooksTest::missingFontKeepsItsName() {
    QTemporaryDir folder;
    const QString document = folder.filePath(QStringLiteral("Schrift.zgw"));
    TMainForm form;
    auto* list = Find<QComboBox>(form, "FontList");
    const QString installed = list->itemData(list->count() - 1).toString();
    const struct {
        QString family;
        QString shown;
    } cases[] = {
        {QStringLiteral("Nirgendwo Grotesk"), QStringLiteral("Nirgendwo Grotesk (fehlt)")},
        {installed, list->itemText(list->count() - 1)},  // the mark goes with another font
    };
    for (const auto& c : cases) {
        ChangeLettering(form, [&c](Lettering& l) { l.settings.Font.name = ToStdString(c.family); });
        form.SaveFile(document);
        form.OpenFile(document);
        QCOMPARE(list->currentText(), c.shown);
        QCOMPARE(list->findText(QStringLiteral("(fehlt)"), Qt::MatchEndsWith) >= 0,
                 c.shown != list->itemText(list->count() - 1));
        emit list->activated(list->currentIndex());  // chosen again, the name stays
        QCOMPARE(QString::fromStdString(form.lettering().settings.Font.name), c.family);
    }
}

void WindowLooksTest::fileFiltersListTheirPatternsOnce() {
    const struct {
        const char* pipe;
        const char* qt;
    } cases[] = {
        {"Bilder (*.gif;*.png)|*.gif;*.png|Alle (*.*)|*.*", "Bilder (*.gif *.png);;Alle (*.*)"},
        {"Texte|*.txt;*.text", "Texte (*.txt *.text)"},
        {"Bilder (*.gif *.png)|*.gif;*.png", "Bilder (*.gif *.png)"},
    };
    for (const auto& c : cases)
        QCOMPARE(QtFileFilter(c.pipe), QString::fromUtf8(c.qt));
    QVERIFY(QtFileFilter(GetDIBOpenFilter())
                .startsWith(QStringLiteral("Alle Bilddateien (*.gif *.png *.jpg *.jpeg *.bmp);;")));
}

void WindowLooksTest::galleryDrawsAtThePixelScale() {
    for (int scale : {1, 2}) {
        const TImageList images = MakeEnvelopeThumbnails(scale);
        TPaintBox box;
        box.resize(10, 67);  // two rows
        PaintGallery(box, images, -1);
        QCOMPARE(box.bitmap().Width(), box.width() * scale);
        // Cell 3 is the second column's second row; a thumbnail pixel lands on its own pixel.
        const Bitmap& thumb = images.Image(3);
        QCOMPARE(thumb.Width(), 64 * scale);
        for (QPoint p : {QPoint(5, 7), QPoint(thumb.Width() - 3, thumb.Height() - 2)})
            QCOMPARE(box.bitmap().Pixel(65 * scale + p.x(), 33 * scale + p.y()),
                     thumb.Pixel(p.x(), p.y()));
    }
}

QTEST_MAIN(WindowLooksTest)
#include "WindowLooksTest.moc"
