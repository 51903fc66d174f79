// The window in each language: under German and C every text is the German one of the code, as
// the catalogue's extraction finds it; under English no text is a German one the catalogue
// translates.

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <map>

#include "FormAccess.h"
#include "app/AboutBoxUnit.h"
#include "app/MessageBoxes.h"
#include "document/Lettering.h"
#include "platform/Catalogue.h"
#include "ui/Tr.h"

using namespace gw;

namespace {

// Every text a person reads on the widget and below it, in the widgets' order. The surface
// pickers and the dialogs of the widget layer have a table of their own; the status bar tells
// the notes of the render and of the views, which come translated from there.
QStringList Texts(QWidget* top) {
    QList<QWidget*> widgets = top->findChildren<QWidget*>();
    widgets.prepend(top);
    QStringList texts;
    for (QWidget* w : widgets) {
        bool elsewhere = false;
        for (QWidget* p = w; p && p != top; p = p->parentWidget())
            elsewhere |= qobject_cast<TSurfaceFrame*>(p) || qobject_cast<QDialog*>(p) ||
                         qobject_cast<QStatusBar*>(p);
        if (elsewhere) continue;
        texts << w->toolTip();
        // The main window's title names the document.
        if (w->isWindow() && !qobject_cast<TMainForm*>(w)) texts << w->windowTitle();
        if (auto* button = qobject_cast<QAbstractButton*>(w)) texts << button->text();
        if (auto* label = qobject_cast<QLabel*>(w)) texts << label->text();
        if (auto* group = qobject_cast<QGroupBox*>(w)) texts << group->title();
        if (auto* tabs = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i);
        // The font list holds the fonts' own names.
        if (auto* list = qobject_cast<QComboBox*>(w); list && list->objectName() != "FontList")
            for (int i = 0; i < list->count(); ++i)
                texts << list->itemText(i);
        if (auto* menu = qobject_cast<QMenu*>(w)) {
            texts << menu->title();
            for (const QAction* action : menu->actions())
                texts << action->text();
        }
    }
    return texts;
}

// The German texts the extraction finds in the sources, as the catalogue's build takes them.
QStringList ExtractedTexts() {
    QProcess shell;
    shell.setWorkingDirectory(QStringLiteral(GLYPHWERK_SOURCE_DIR));
    shell.start(QStringLiteral("bash"),
                {QStringLiteral("-c"),
                 QStringLiteral("find src -name '*.cpp' -o -name '*.h' | sort | xgettext -f - "
                                "-L C++ --from-code=UTF-8 -kTr -kQTr -kN_ -kTrN:1,2 -kQTrN:1,2 "
                                "-o - | msgen - | msgexec 0")});
    shell.waitForFinished(60'000);
    QStringList texts = QString::fromUtf8(shell.readAllStandardOutput()).split(QChar(0));
    texts.removeAll(QString());
    return texts.filter(QRegularExpression(QStringLiteral("^(?!Project-Id-Version)")));
}

}  // namespace

class WindowLanguageTest : public QObject {
    Q_OBJECT

  private slots:
    void everyTextIsTheLanguages();
};

void WindowLanguageTest::everyTextIsTheLanguages() {
    InstallQtMessageBoxes();
    const QStringList german = ExtractedTexts();

    // The desktop's locale as LANG gives it.
    const char* const locales[] = {"de_DE.UTF-8", "C", "en_US.UTF-8"};
    std::map<std::string, std::vector<QStringList>> shown;
    std::map<QString, QString> english;  // the German texts the catalogue translates
    for (const char* locale : locales) {
        const catalogue::Language language =
            catalogue::LanguageOf({nullptr, nullptr, nullptr, locale});
        catalogue::UseLanguage(language);
        std::vector<QStringList>& views = shown[locale];
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        Find<QCheckBox>(form, "KanteCheck")->click();  // an undo step for the tool tip
        views.push_back(Texts(&form));
        TAboutBox about(&form);
        views.push_back(Texts(&about));
        // Neu asks about the change; the question is read and answered with Esc.
        QTimer::singleShot(0, [&views] {
            QWidget* box = QApplication::activeModalWidget();
            views.push_back(Texts(box));
            QTest::keyClick(box, Qt::Key_Escape);
        });
        Find<QToolButton>(form, "SpeedButton1")->click();
        QCOMPARE(views.size(), size_t(3));
        if (language == catalogue::Language::English)
            for (const QString& text : german)
                if (const QString shownText = QTr(text.toUtf8().constData()); shownText != text)
                    english[text] = shownText;
    }
    QVERIFY2(!english.empty(), "the English catalogue translates nothing");

    // A pattern's places (and the about box's year) stand for any text.
    QStringList patterns;
    for (const QString& text : german)
        patterns << QRegularExpression::escape(text).replace(
            QRegularExpression(QStringLiteral("\\\\%[1-9]|XXXX")), QStringLiteral(".+"));
    const QRegularExpression fromSource(
        QStringLiteral("^(?:") + patterns.join(QLatin1Char('|')) + QStringLiteral(")$"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression words(QStringLiteral("\\p{L}{2,}"));
    for (size_t view = 0; view < shown["de_DE.UTF-8"].size(); ++view) {
        const QStringList& de = shown["de_DE.UTF-8"][view];
        QCOMPARE(shown["C"][view], de);
        for (qsizetype i = 0; i < de.size(); ++i) {
            const QString& en = shown["en_US.UTF-8"][view][i];
            const QString source = de[i].section(QLatin1Char('\t'), 0, 0);
            QVERIFY2(!words.match(source).hasMatch() || source == kHomePageCaption ||
                         fromSource.match(source).hasMatch(),
                     qPrintable(de[i]));
            QVERIFY2(!english.count(en), qPrintable(en));
            if (english.count(de[i])) QCOMPARE(en, english[de[i]]);
        }
    }
}

QTEST_MAIN(WindowLanguageTest)
#include "WindowLanguageTest.moc"
