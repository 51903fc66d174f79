// The export options under the save dialog's file list and the print size dialog: what each
// file type offers, what each keeps for the session, what the note says is written, the row's
// steady width, and the printed size set by width or by resolution.

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
    void eachTypeOffersWhatItCanWrite();
    void eachTypeKeepsItsOwnOptions();
    void theNoteSaysWhatIsWritten();
    void theRowKeepsItsWidth();
    void thePrintedSizeIsSetByWidthOrResolution();
};

void ExportOptionsRowTest::eachTypeOffersWhatItCanWrite() {
    const struct {
        ImageFileType type;
        bool lossy;  // asked for before the type is shown
        bool transparency, dpi, quality, lossyBox, lossyShown;
    } cases[] = {
        {ImageFileType::Png, true, true, true, false, false, false},
        {ImageFileType::Jpeg, false, false, true, true, false, true},
        {ImageFileType::Webp, false, true, false, false, true, false},
        {ImageFileType::Webp, true, true, false, true, true, true},
        {ImageFileType::Bmp, false, false, false, false, false, false},
        {ImageFileType::Pdf, false, true, true, false, false, false},
    };
    for (const auto& c : cases) {
        TExportOptionsRow row;
        ExportChoices choices;
        choices.options[c.type].lossy = c.lossy;
        row.SetChoices(choices);
        row.SetType(c.type);
        const QString name = PictureTypeName(c.type);
        QVERIFY2(row.TransparentCheck->isEnabled() == c.transparency, qPrintable(name));
        QVERIFY2(row.DpiEd->isEnabled() == c.dpi, qPrintable(name));
        QVERIFY2(row.QualityEd->isEnabled() == c.quality, qPrintable(name));
        QVERIFY2(row.LossyCheck->isEnabled() == c.lossyBox, qPrintable(name));
        QVERIFY2(row.LossyCheck->isChecked() == c.lossyShown, qPrintable(name));
        QCOMPARE(EncoderQuality(row.Options(), c.type), c.quality ? kDefaultQuality : 0);
    }
}

void ExportOptionsRowTest::eachTypeKeepsItsOwnOptions() {
    // PNG with transparency, then JPEG, BMP and WebP, and PNG again: still transparent.
    TExportOptionsRow row;
    row.SetType(ImageFileType::Png);
    row.TransparentCheck->setChecked(true);
    row.DpiEd->setValue(300);
    row.SetType(ImageFileType::Jpeg);
    QVERIFY(!row.Options().transparent);
    row.QualityEd->setValue(40);
    row.SetType(ImageFileType::Bmp);
    row.SetType(ImageFileType::Webp);
    QVERIFY(!row.TransparentCheck->isChecked());
    row.LossyCheck->setChecked(true);
    row.SetType(ImageFileType::Png);
    QVERIFY(row.Options().transparent);
    QCOMPARE(row.Options().dpi, 300);

    // Saved as a WebP while PNG was shown: the shown options become WebP's.
    const ExportChoices saved = row.Choices(ImageFileType::Webp);
    QCOMPARE(saved.lastType, ImageFileType::Webp);
    QVERIFY(saved.transparent);
    QVERIFY(saved.For(ImageFileType::Webp).transparent);
    QCOMPARE(saved.For(ImageFileType::Jpeg).quality, 40);
    QVERIFY(saved.For(ImageFileType::Png).transparent);
    // The next dialog starts where this one ended; a JPEG never turns the clipboard opaque.
    ExportChoices next = saved;
    next.Choose(ImageFileType::Jpeg, saved.For(ImageFileType::Jpeg));
    QVERIFY(next.transparent);
    next.Choose(ImageFileType::Png, {});
    QVERIFY(!next.transparent);
}

void ExportOptionsRowTest::theNoteSaysWhatIsWritten() {
    const struct {
        ImageFileType type;
        ExportOptions options;
        const char* note;
    } cases[] = {
        {ImageFileType::Png, {2, false, false, 300}, "900 × 400 Pixel, 7,62 × 3,39 cm bei 300 dpi"},
        {ImageFileType::Jpeg,
         {},
         "450 × 200 Pixel, keine Auflösung in der Datei (11,91 × 5,29 cm bei 96 dpi)"},
        {ImageFileType::Bmp,
         {1, false, false, 300},
         "450 × 200 Pixel, 15,88 × 7,06 cm bei 72 dpi (fest in BMP-Dateien)"},
        {ImageFileType::Webp,
         {1, false, false, 300},
         "450 × 200 Pixel, keine Auflösung in WebP-Dateien (11,91 × 5,29 cm bei 96 dpi)"},
        {ImageFileType::Pdf, {}, "450 × 200 Pixel, Seite 11,91 × 5,29 cm bei 96 dpi"},
    };
    for (const auto& c : cases) {
        QCOMPARE(ExportSizeText(450, 200, c.options, c.type), QString::fromUtf8(c.note));
        // The row shows the same for the type it is set to.
        TExportOptionsRow row;
        row.SetPictureSize(450, 200);
        ExportChoices choices;
        choices.options[c.type] = c.options;
        row.SetChoices(choices);
        row.SetType(c.type);
        QCOMPARE(row.SizeLabel->text(), QString::fromUtf8(c.note));
    }
}

void ExportOptionsRowTest::theRowKeepsItsWidth() {
    // The dialog widens when the row's least width grows: no type nor value may change it.
    TExportOptionsRow row;
    row.SetPictureSize(450, 200);
    const int width = row.minimumSizeHint().width();
    for (const ImageFileType type : {ImageFileType::Jpeg, ImageFileType::Bmp, ImageFileType::Webp,
                                     ImageFileType::Pdf, ImageFileType::Png}) {
        row.SetType(type);
        for (const int dpi : {0, 72, 10000}) {
            row.DpiEd->setValue(dpi);
            row.ScaleEd->setValue(dpi ? 8 : 1);
            QCOMPARE(row.minimumSizeHint().width(), width);
        }
    }
}

void ExportOptionsRowTest::thePrintedSizeIsSetByWidthOrResolution() {
    const struct {
        double startDpi;
        double typedDpi;  // 0: the width is typed instead
        double typedCm;
        double dpi;  // what the print takes
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
        QCOMPARE(dialog.WidthEd->value(), std::round(PrintedCm(450, dialog.Dpi()) * 100) / 100);
    }
}

QTEST_MAIN(ExportOptionsRowTest)
#include "ExportOptionsRowTest.moc"
