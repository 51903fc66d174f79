// The export options under the save dialog's file list and the print size dialog: what each
// file type offers and says it writes, what each keeps for the session at a steady width, and
// the printed size set by width or by resolution.

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QSpinBox>
#include <QTest>

#include "ui/ExportOptionsRow.h"
#include "ui/PrintSize.h"

using namespace gw;

class ExportOptionsRowTest : public QObject {
    Q_OBJECT

  private slots:
    void eachTypeOffersAndNotesWhatItWrites();
    void eachTypeKeepsItsOwnOptionsAtOneWidth();
    void thePrintedSizeIsSetByWidthOrResolution();
};

void ExportOptionsRowTest::eachTypeOffersAndNotesWhatItWrites() {
    const struct {
        ImageFileType type;
        ExportOptions options;
        bool transparency, dpi, quality, lossyBox, lossyShown, outlines, vector, scale;
        const char* note;
    } cases[] = {
        // clang-format off
        {ImageFileType::Png, {2, false, false, 300, 92, true}, true, true, false, false, false,
         false, false, true, "900 × 400 Pixel, 7,62 × 3,39 cm bei 300 dpi"},
        {ImageFileType::Jpeg, {}, false, true, true, false, true, false, false, true,
         "450 × 200 Pixel, keine Auflösung in der Datei (11,91 × 5,29 cm bei 96 dpi)"},
        {ImageFileType::Webp, {1, false, false, 300}, true, false, false, true, false, false,
         false, true,
         "450 × 200 Pixel, keine Auflösung in WebP-Dateien (11,91 × 5,29 cm bei 96 dpi)"},
        {ImageFileType::Webp, {1, false, false, 0, 92, true}, true, false, true, true, true,
         false, false, true,
         "450 × 200 Pixel, keine Auflösung in WebP-Dateien (11,91 × 5,29 cm bei 96 dpi)"},
        {ImageFileType::Bmp, {1, false, false, 300}, false, false, false, false, false, false,
         false, true, "450 × 200 Pixel, 15,88 × 7,06 cm bei 72 dpi (fest in BMP-Dateien)"},
        {ImageFileType::Pdf, {}, true, true, false, false, false, true, true, true,
         "450 × 200 Pixel, Seite 11,91 × 5,29 cm bei 96 dpi"},
        {ImageFileType::Pdf, {3, false, false, 300, 92, false, false, true}, true, true, false,
         false, false, true, true, true, "Vektorgrafik, Seite 3,81 × 1,69 cm bei 300 dpi"},
        {ImageFileType::Pdf, {2, true, true, 0, 92, false, true, true}, false, true, false, false,
         false, true, false, false, "Umrisse in mm bei 96 dpi, 119,1 × 52,9 mm"},
        {ImageFileType::Svg, {2, false, true}, true, true, false, false, false, true, false, true,
         "Vektorgrafik, 450 × 200 Pixel, keine Auflösung in der Datei (11,91 × 5,29 cm bei "
         "96 dpi)"},
        {ImageFileType::Svg, {1, false, false, 254, 92, false, true}, false, true, false, false, false,
         true, false, false, "Umrisse in mm bei 254 dpi, 45,0 × 20,0 mm"},
        // clang-format on
    };
    for (const auto& c : cases) {
        TExportOptionsRow row;
        row.SetPictureSize(450, 200);
        ExportChoices choices;
        choices.options[c.type] = c.options;
        row.SetChoices(choices);
        row.SetType(c.type);
        const char* name = c.note;
        QVERIFY2(row.TransparentCheck->isEnabled() == c.transparency, name);
        QVERIFY2(row.DpiEd->isEnabled() == c.dpi, name);
        QVERIFY2(row.QualityEd->isEnabled() == c.quality, name);
        QVERIFY2(row.LossyCheck->isEnabled() == c.lossyBox, name);
        QVERIFY2(row.LossyCheck->isChecked() == c.lossyShown, name);
        QVERIFY2(row.OutlinesCheck->isEnabled() == c.outlines, name);
        QVERIFY2(row.VectorCheck->isEnabled() == c.vector, name);
        QVERIFY2(row.ScaleEd->isEnabled() == c.scale && row.SmoothCheck->isEnabled() == c.scale,
                 name);
        // The outlines show the raster options off, and keep them for later.
        if (c.options.outlines)
            QVERIFY2(row.ScaleEd->value() == 1 && !row.SmoothCheck->isChecked() &&
                         !row.TransparentCheck->isChecked() &&
                         row.Options().scale == c.options.scale,
                     name);
        QCOMPARE(EncoderQuality(row.Options(), c.type), c.quality ? kDefaultQuality : 0);
        QCOMPARE(row.SizeLabel->text(), QString::fromUtf8(c.note));
    }
}

void ExportOptionsRowTest::eachTypeKeepsItsOwnOptionsAtOneWidth() {
    // PNG with transparency, then JPEG, BMP and WebP, and PNG again: still transparent. The
    // dialog widens when the row's least width grows, which no type nor value may do.
    TExportOptionsRow row;
    row.SetPictureSize(450, 200);
    row.SetType(ImageFileType::Png);
    const int width = row.minimumSizeHint().width();
    row.TransparentCheck->setChecked(true);
    row.DpiEd->setValue(300);
    row.SetType(ImageFileType::Jpeg);
    QVERIFY(!row.Options().transparent);
    row.QualityEd->setValue(40);
    row.ScaleEd->setValue(8);
    QCOMPARE(row.minimumSizeHint().width(), width);
    row.SetType(ImageFileType::Bmp);
    QCOMPARE(row.minimumSizeHint().width(), width);
    row.SetType(ImageFileType::Webp);
    QVERIFY(!row.TransparentCheck->isChecked());
    row.LossyCheck->setChecked(true);
    row.SetType(ImageFileType::Png);
    QVERIFY(row.Options().transparent);
    QCOMPARE(row.Options().dpi, 300);
    row.DpiEd->setValue(10000);
    QCOMPARE(row.minimumSizeHint().width(), width);

    // The outlines switch the raster options off for SVG alone, and give them back.
    row.SetType(ImageFileType::Svg);
    row.ScaleEd->setValue(3);
    row.OutlinesCheck->setChecked(true);
    QCOMPARE(row.ScaleEd->value(), 1);
    QCOMPARE(row.minimumSizeHint().width(), width);
    row.SetType(ImageFileType::Pdf);
    QVERIFY(!row.OutlinesCheck->isChecked());
    row.SetType(ImageFileType::Svg);
    QVERIFY(row.Options().outlines);
    row.OutlinesCheck->setChecked(false);
    QCOMPARE(row.Options().scale, 3);
    row.SetType(ImageFileType::Png);

    // Saved as a WebP while PNG was shown: the shown options become WebP's.
    const ExportChoices saved = row.Choices(ImageFileType::Webp);
    QCOMPARE(saved.lastType, ImageFileType::Webp);
    QVERIFY(saved.For(ImageFileType::Webp).transparent);
    QCOMPARE(saved.For(ImageFileType::Jpeg).quality, 40);
}

void ExportOptionsRowTest::thePrintedSizeIsSetByWidthOrResolution() {
    const struct {
        double startDpi, typedDpi, typedCm;  // 0: not typed
        double dpi;                          // what the print takes
        const char* note;
    } cases[] = {
        {96, 0, 0, 96, "450 × 200 Pixel werden 11,91 × 5,29 cm groß gedruckt."},
        {96, 300, 0, 300, "450 × 200 Pixel werden 3,81 × 1,69 cm groß gedruckt."},
        {300, 0, 10, 114.3, "450 × 200 Pixel werden 10,00 × 4,44 cm groß gedruckt."},
        {96, 0, 100000, 1, "450 × 200 Pixel werden 1.143,00 × 508,00 cm groß gedruckt."},
    };
    for (const auto& c : cases) {
        TPrintSizeDialog dialog(nullptr, 450, 200, c.startDpi);
        if (c.typedDpi > 0) dialog.DpiEd->setValue(c.typedDpi);
        if (c.typedCm > 0) dialog.WidthEd->setValue(c.typedCm);
        QVERIFY2(std::abs(dialog.Dpi() - c.dpi) < 0.05, c.note);
        QCOMPARE(dialog.SizeLabel->text(), QString::fromUtf8(c.note));
    }
}

QTEST_MAIN(ExportOptionsRowTest)
#include "ExportOptionsRowTest.moc"
