// The widgets' dialogs in both languages: under German every text on them is a German text of
// the catalogue (filled in where it has places), under English none is a German text that the
// English catalogue translates, nor a number with a decimal comma.

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTest>
#include <QtEndian>
#include <functional>
#include <map>
#include <vector>

#include "ui/ExportOptionsRow.h"
#include "ui/LongTextBox.h"
#include "ui/PictureExport.h"
#include "ui/PrintSize.h"
#include "ui/RenderProgress.h"
#include "ui/ResizeFUnit.h"
#include "ui/SurfFrUnit.h"
#include "ui/Tr.h"

using namespace gw;

namespace {

// German text to English text, read from the compiled English catalogue.
std::map<QString, QString> EnglishCatalogue() {
    QFile file(QString::fromStdString(catalogue::LocaleFolder()) +
               QStringLiteral("en/LC_MESSAGES/%1.mo").arg(QLatin1String(catalogue::kDomain)));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray mo = file.readAll();
    const auto word = [&mo](qsizetype at) {
        return at + 4 <= mo.size() ? qFromLittleEndian<quint32>(mo.constData() + at) : 0u;
    };
    // The first text of an entry (its singular), up to the nul that ends it.
    const auto text = [&](quint32 table, quint32 i) {
        const quint32 length = word(table + 8 * i), offset = word(table + 8 * i + 4);
        if (qsizetype(offset) + length > mo.size()) return QString();
        return QString::fromUtf8(mo.constData() + offset,
                                 qstrnlen(mo.constData() + offset, length));
    };
    std::map<QString, QString> entries;
    if (word(0) != 0x950412deu) return entries;
    for (quint32 i = 0; i < word(8); ++i)
        entries[text(word(12), i)] = text(word(16), i);
    return entries;
}

// A German text of the catalogue as a pattern that every filling of its places (%1 ... %9)
// matches, and whether English says it otherwise.
struct Source {
    QRegularExpression pattern;
    bool translated;
};

std::vector<Source> Sources(const std::map<QString, QString>& english) {
    const QRegularExpression place(QStringLiteral("%[1-9]"));
    std::vector<Source> sources;
    for (const auto& [german, translation] : english) {
        // A text of places and signs alone ("%1, %2") tells no language.
        if (!QString(german).remove(place).contains(QRegularExpression(QStringLiteral("\\p{L}"))))
            continue;
        QStringList pieces = german.split(place);
        for (QString& piece : pieces)
            piece = QRegularExpression::escape(piece);
        const QString pattern = pieces.join(QStringLiteral(".+"));
        sources.push_back({QRegularExpression(QRegularExpression::anchoredPattern(pattern)),
                           translation != german});
    }
    return sources;
}

QStringList TextsOf(const QWidget& widget) {
    QStringList texts{widget.windowTitle(), widget.toolTip()};
    for (const QWidget* w : widget.findChildren<QWidget*>()) {
        texts << w->toolTip();
        if (auto* label = qobject_cast<const QLabel*>(w)) texts << label->text();
        if (auto* button = qobject_cast<const QAbstractButton*>(w)) texts << button->text();
        if (auto* spin = qobject_cast<const QAbstractSpinBox*>(w))
            texts << spin->specialValueText();
        if (auto* edit = qobject_cast<const QPlainTextEdit*>(w)) texts << edit->placeholderText();
    }
    texts.removeAll(QString());
    return texts;
}

}  // namespace

class DialogLanguageTest : public QObject {
    Q_OBJECT

  private slots:
    void eachDialogShowsTheChosenLanguage();
};

void DialogLanguageTest::eachDialogShowsTheChosenLanguage() {
    const std::vector<Source> sources = Sources(EnglishCatalogue());
    QVERIFY2(!sources.empty(), "no English catalogue in the build");
    const struct {
        const char* name;
        std::function<QStringList()> texts;
    } dialogs[] = {
        {"resize", [] { return TextsOf(TResizeForm()); }},
        {"print size", [] { return TextsOf(TPrintSizeDialog(nullptr, 450, 200, 96)); }},
        {"export options",
         [] {
             TExportOptionsRow row;
             row.SetPictureSize(450, 200);
             QStringList texts;
             for (ImageFileType type :
                  {ImageFileType::Png, ImageFileType::Bmp, ImageFileType::Svg}) {
                 row.SetType(type);
                 texts << TextsOf(row);
             }
             return texts;
         }},
        {"surface", [] { return TextsOf(TSurfaceFrame()); }},
        {"long text",
         [] {
             QPlainTextEdit box;
             ShowInTextBox(&box, QString(kLongestTextBoxLine + 1, QLatin1Char('x')));
             return TextsOf(box);
         }},
        {"progress",
         [] {
             QStringList texts;
             const ProgressHook before = SetProgressHook([&texts](QProgressDialog& dialog) {
                 texts = TextsOf(dialog);
                 dialog.cancel();
             });
             RunWithProgress(nullptr, QStringLiteral("x"), [] {});
             SetProgressHook(before);
             // The label is the caller's, the title the program's name in every language.
             texts.removeAll(QStringLiteral("x"));
             texts.removeAll(QStringLiteral("Zarbo Glyphwerk"));
             return texts;
         }},
        {"file filters", [] { return PictureSaveFilter().split(QStringLiteral(";;")); }},
    };
    const QRegularExpression patterns(QStringLiteral(" \\(\\*[^()]*\\)$"));
    const QRegularExpression decimalComma(QStringLiteral("\\d,\\d"));
    for (const catalogue::Language language :
         {catalogue::Language::German, catalogue::Language::English}) {
        catalogue::UseLanguage(language);
        for (const auto& dialog : dialogs) {
            for (const QString& text : dialog.texts()) {
                // A file filter shows its patterns after its description.
                const QString bare = QString(text).remove(patterns);
                bool german = false, translated = false;
                for (const Source& source : sources) {
                    if (!source.pattern.match(text).hasMatch() &&
                        !source.pattern.match(bare).hasMatch())
                        continue;
                    german = true;
                    translated = translated || source.translated;
                }
                const QString what =
                    QStringLiteral("%1: \"%2\"").arg(QLatin1String(dialog.name), text);
                if (language == catalogue::Language::German)
                    QVERIFY2(german, qPrintable(what + QStringLiteral(" is no German source")));
                else
                    QVERIFY2(!translated && !text.contains(decimalComma),
                             qPrintable(what + QStringLiteral(" stays German in English")));
            }
        }
    }
    catalogue::UseLanguage(catalogue::Language::German);
}

QTEST_MAIN(DialogLanguageTest)
#include "DialogLanguageTest.moc"
