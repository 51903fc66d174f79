// The shell of the main window: layout and names, the exit question, the image buttons of the
// bottom bar, the about box, the caption and the placement of the editing view.

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <string>
#include <vector>

#include "FormAccess.h"
#include "app/AboutBoxUnit.h"
#include "app/LanguageSetting.h"
#include "app/MainFUnit.h"
#include "platform/System.h"
#include "ui/Image.h"
#include "ui/PaintBox.h"
#include "ui/SpinEdit.h"

using namespace gw;

class ShellTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void everyNamedControlIsThere();
    void toolBarAndTabs();
    void startValuesOfTheControls();
    void cancelOnTheExitQuestionKeepsEverything();
    void okOnTheExitQuestionCloses();
    void endPressedMovedOffAndReleasedKeepsRunning();
    void endPressedAndReleasedAsksToLeave();
    void aboutBoxShowsTheCurrentYear();
    void aboutBoxKeepsTheLanguageForTheNextStart();
    void aboutButtonOpensOneBoxAtATime();
    void captionNamesTheDocument();
    void editingViewIsCentredOrAtTheOrigin();
    void leavingTheEnvelopeTabEndsDrawing();
    void helpOpensTheHelpFile();
    void missingHelpFileIsReportedInTheHelpWindow();
    void aSingleAmpersandIsExplainedInTheStatusBar();

  private:
    struct Question {
        std::string text;
        std::string caption;
    };
    std::vector<Question> questions;
    MsgResult answer = MsgResult::Ok;
    MessageBoxHandler previous;
    std::unique_ptr<TMainForm> form;
};

void ShellTest::init() {
    questions.clear();
    answer = MsgResult::Ok;
    previous = SetMessageBoxHandler(
        [this](std::string_view text, std::string_view caption, MsgIcon, MsgButtons) {
            questions.push_back({std::string(text), std::string(caption)});
            return answer;
        });
    form = std::make_unique<TMainForm>();
}

void ShellTest::cleanup() {
    form.reset();
    SetMessageBoxHandler(previous);
}

void ShellTest::everyNamedControlIsThere() {
    const char* const names[] = {
        "Panel25",       "SpeedButton1",  "OpenBtn",      "SpeedButton2",  "SaveBtn",
        "SaveAsBtn",     "PageControl3",  "TabSheet1",    "Panel6",        "ScrollBox1",
        "PaintBox1",     "PageControl1",  "TabSheet2",    "TabSheet3",     "TabSheet4",
        "TabSheet5",     "TabSheet6",     "TabSheet7",    "TabSheet8",     "TabSheet15",
        "Panel16",       "Panel41",       "Panel17",      "SaveAsButton",  "PrintButton",
        "CopyButton",    "ErgScrollBox",  "ErgPaintBox",  "Panel7",        "wwwBtn",
        "Panel8",        "ueberbtn",      "ueberBtn2",    "EndeBtn",       "EndeBtnDown",
        "StatusBar1",    "Timer1",        "Memo1",        "FontList",      "FettBtn",
        "KursivBtn",     "AusrichtBox",   "PageControl2", "TabSheet9",     "TabSheet10",
        "SurfaceFrame1", "SurfaceFrame2", "MoveCheck",    "EdPointsCheck", "DrawFace",
        "SpiralEd",      "VFormPaint",    "NoDeform",     "SinDeform",     "RandDeform",
        "StarkEd",       "AnzahlEd",      "KantePaint",   "KanteCheck",    "KWinkEd",
        "KBreiteEd",     "KLichtEd",      "Profil1Box",   "BkGnd1",        "Profil2Box",
        "BkGnd2",        "Invers1Check",  "KFixedWCheck", "KQualCheck",    "SchattenPaint",
        "SchattenCheck", "SColorShape",   "SColorBtn",    "SDeckEd",       "SWeichEd",
        "SRichtBox",     "SRightEd",      "SBottomEd",    "RahmenPaint",   "RTextcheck",
        "RBreitEd",      "RHochEd",       "RColorShape",  "RColorBtn"};
    for (const char* name : names)
        QVERIFY2(form->findChild<QObject*>(QString::fromLatin1(name)), name);
    QCOMPARE(form->width(), 648);
    QCOMPARE(form->height(), 577);
}

void ShellTest::toolBarAndTabs() {
    const std::pair<const char*, const char*> buttons[] = {
        {"SpeedButton1", "&Neu"},
        {"OpenBtn", "&Bildgröße ändern..."},
        {"SpeedButton2", "Ö&ffnen..."},
        {"SaveBtn", "&Speichern"},
        {"SaveAsBtn", "Speichern &unter..."},
    };
    for (auto [name, caption] : buttons) {
        auto* button = form->findChild<QToolButton*>(QString::fromLatin1(name));
        QVERIFY(button);
        QCOMPARE(button->text(), QString::fromUtf8(caption));
        QCOMPARE(button->size(), QSize(121, 25));
    }
    QVERIFY(Find<QToolButton>(*form, "OpenBtn")->isEnabled());
    QCOMPARE(Find<QToolButton>(*form, "SpeedButton1")->toolTip(),
             QStringLiteral("Neuen Schriftzug erstellen (Strg+N)"));
    const QStringList tabs = {QStringLiteral("Text"),      QStringLiteral("Oberfläche"),
                              QStringLiteral("Verformen"), QStringLiteral("Umriß"),
                              QStringLiteral("3D-Kante"),  QStringLiteral("Schatten"),
                              QStringLiteral("Rahmen")};
    QCOMPARE(Find<QTabWidget>(*form, "PageControl1")->count(), 7);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(Find<QTabWidget>(*form, "PageControl1")->tabText(i), tabs[i]);
    QCOMPARE(Find<QTabWidget>(*form, "PageControl1")->currentIndex(), 0);
    QCOMPARE(Find<QTabWidget>(*form, "PageControl1")->height(), 158);
    QCOMPARE(Find<QTabWidget>(*form, "PageControl3")->tabText(0),
             QStringLiteral("Schriftzug erstellen"));
    QCOMPARE(Find<QTabWidget>(*form, "PageControl3")->tabText(1),
             QStringLiteral("Ergebnis verarbeiten"));
    QCOMPARE(Find<QTabWidget>(*form, "PageControl3")->currentIndex(), 0);
    QCOMPARE(Find<TImage>(*form, "ueberbtn")->size(), QSize(101, 30));
    QCOMPARE(Find<TImage>(*form, "ueberbtn")->geometry(),
             Find<TImage>(*form, "ueberBtn2")->geometry());
    QCOMPARE(Find<TImage>(*form, "EndeBtn")->geometry(),
             Find<TImage>(*form, "EndeBtnDown")->geometry());
    QCOMPARE(Find<TImage>(*form, "EndeBtn")->toolTip(),
             QStringLiteral("Hiermit verlassen Sie das Programm (Strg+Q)"));
    QCOMPARE(Find<QToolButton>(*form, "wwwBtn")->toolTip(),
             QStringLiteral("Auf zur ZEF-LOR Homepage..."));
}

void ShellTest::startValuesOfTheControls() {
    QCOMPARE(Find<QPlainTextEdit>(*form, "Memo1")->toPlainText(), QStringLiteral("ZEF-LOR\nGbR"));
    QCOMPARE(form->lettering().settings.Font.name, std::string("Arial Black"));
    QCOMPARE(Find<QComboBox>(*form, "AusrichtBox")->currentIndex(), 0);
    QCOMPARE(Find<QComboBox>(*form, "Profil1Box")->currentIndex(), 2);
    QCOMPARE(Find<QComboBox>(*form, "Profil2Box")->currentText(), QStringLiteral("Konvex"));
    QCOMPARE(Find<QComboBox>(*form, "SRichtBox")->currentIndex(), 0);
    QVERIFY(Find<QRadioButton>(*form, "MoveCheck")->isChecked());
    QVERIFY(Find<QRadioButton>(*form, "NoDeform")->isChecked());
    QVERIFY(Find<QCheckBox>(*form, "KQualCheck")->isChecked());
    QVERIFY(!Find<QCheckBox>(*form, "KanteCheck")->isChecked());
    QCOMPARE(Find<SpinEdit>(*form, "SpiralEd")->text(), QStringLiteral("1,50"));
    const std::pair<const char*, double> spins[] = {
        {"StarkEd", 20},   {"AnzahlEd", 5},  {"KWinkEd", -45}, {"KBreiteEd", 100},
        {"KLichtEd", 100}, {"SDeckEd", 15},  {"SWeichEd", 0},  {"SRightEd", 10},
        {"SBottomEd", 10}, {"RBreitEd", 20}, {"RHochEd", 75}};
    for (auto [name, value] : spins)
        QCOMPARE(form->findChild<SpinEdit*>(QString::fromLatin1(name))->value(), value);
    QVERIFY(!Find<SpinEdit>(*form, "RHochEd")->isEnabled());
    QVERIFY(!Find<QPushButton>(*form, "RColorBtn")->isEnabled());
    QCOMPARE(Find<TPaintBox>(*form, "PaintBox1")->size(), QSize(450, 200));
    // No installed font is named "Arial Black" here: the list shows an entry of its own while
    // the lettering keeps its font.
    if (Find<QComboBox>(*form, "FontList")->findText(QStringLiteral("Arial Black")) < 0)
        QCOMPARE(Find<QComboBox>(*form, "FontList")->currentIndex(), 0);
}

void ShellTest::cancelOnTheExitQuestionKeepsEverything() {
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    Find<QPlainTextEdit>(*form, "Memo1")->setPlainText(QStringLiteral("Bleibt"));
    const LetteringSettings before = form->lettering().settings;
    answer = MsgResult::Cancel;
    QVERIFY(!form->close());
    QCOMPARE(questions.size(), size_t(1));
    QCOMPARE(questions[0].text,
             std::string("Hiermit beenden Sie das Programm. Alle nicht gespeicherten "
                         "Einstellungen gehen verloren."));
    QCOMPARE(questions[0].caption, std::string("Beenden"));
    QVERIFY(form->isVisible());
    QVERIFY(form->lettering().settings == before);
    QCOMPARE(Find<QPlainTextEdit>(*form, "Memo1")->toPlainText(), QStringLiteral("Bleibt"));
}

void ShellTest::okOnTheExitQuestionCloses() {
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    Find<QCheckBox>(*form, "KanteCheck")->click();  // only a change is asked about
    QVERIFY(form->close());
    QVERIFY(!form->isVisible());
    QCOMPARE(questions.size(), size_t(1));
}

void ShellTest::endPressedMovedOffAndReleasedKeepsRunning() {
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    questions.clear();
    QTest::mousePress(Find<TImage>(*form, "EndeBtn"), Qt::LeftButton, {}, QPoint(50, 15));
    QVERIFY(Find<TImage>(*form, "EndeBtn")->property("pressed").toBool());
    QVERIFY(Find<TImage>(*form, "EndeBtnDown")->isVisible());
    QVERIFY(!Find<TImage>(*form, "EndeBtn")->isVisible());
    QTest::mouseMove(Find<TImage>(*form, "EndeBtnDown"), QPoint(60, 20));
    QVERIFY(Find<TImage>(*form, "EndeBtnDown")->isVisible());
    QTest::mouseMove(Find<TImage>(*form, "EndeBtnDown"), QPoint(120, 20));  // off to the right
    QVERIFY(Find<TImage>(*form, "EndeBtn")->isVisible());
    QVERIFY(!Find<TImage>(*form, "EndeBtnDown")->isVisible());
    QTest::mouseRelease(Find<TImage>(*form, "EndeBtn"), Qt::LeftButton, {}, QPoint(120, 20));
    QVERIFY(questions.empty());
    QVERIFY(form->isVisible());
    QVERIFY(Find<TImage>(*form, "EndeBtn")->isVisible());
    QVERIFY(!Find<TImage>(*form, "EndeBtnDown")->isVisible());
    QVERIFY(!Find<TImage>(*form, "EndeBtn")->property("pressed").toBool());
}

void ShellTest::endPressedAndReleasedAsksToLeave() {
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    questions.clear();
    answer = MsgResult::Cancel;
    Find<QCheckBox>(*form, "KanteCheck")->click();
    QTest::mousePress(Find<TImage>(*form, "EndeBtn"), Qt::LeftButton, {}, QPoint(50, 15));
    QTest::mouseRelease(Find<TImage>(*form, "EndeBtnDown"), Qt::LeftButton, {}, QPoint(50, 15));
    QCOMPARE(questions.size(), size_t(1));
    QCOMPARE(questions[0].caption, std::string("Beenden"));
    QVERIFY(form->isVisible());
    QVERIFY(Find<TImage>(*form, "EndeBtn")->isVisible());
    QVERIFY(!Find<TImage>(*form, "EndeBtnDown")->isVisible());
}

void ShellTest::aboutBoxShowsTheCurrentYear() {
    QCOMPARE(InsertYear(QStringLiteral("(c) XXXX ZEF-LOR, XXXX"), 2031),
             QStringLiteral("(c) 2031 ZEF-LOR, XXXX"));
    QCOMPARE(InsertYear(QStringLiteral("ohne Jahr"), 2031), QStringLiteral("ohne Jahr"));
    TAboutBox box;
    const QString year = QString::number(QDate::currentDate().year());
    QVERIFY(Find<QLabel>(box, "Copyright")->text().contains(year));
    QVERIFY(!Find<QLabel>(box, "Copyright")->text().contains(QStringLiteral("XXXX")));
    QCOMPARE(box.windowTitle(), QStringLiteral("Info"));
    QCOMPARE(box.size(), QSize(664, 453));
    QCOMPARE(Find<QPushButton>(box, "BitBtn1")->size(), QSize(181, 37));
    QCOMPARE(Find<QLabel>(box, "ProductName")->text(),
             QStringLiteral("Garantiert ein Original ZEF-LOR Programm"));
}

void ShellTest::aboutBoxKeepsTheLanguageForTheNextStart() {
    const struct {
        int item;
        catalogue::Language start;
    } cases[] = {
        {2, catalogue::Language::English},
        {1, catalogue::Language::German},
        {0, catalogue::LanguageFromEnvironment()},
    };
    for (const auto& c : cases) {
        TAboutBox chosen;
        Find<QComboBox>(chosen, "LanguageBox")->activated(c.item);
        QCOMPARE(WindowLanguage(), c.start);
        // A box opened later shows the stored choice.
        TAboutBox later;
        QCOMPARE(Find<QComboBox>(later, "LanguageBox")->currentIndex(), c.item);
    }
}

void ShellTest::aboutButtonOpensOneBoxAtATime() {
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    int boxes = 0;
    bool overlapping = false;
    // Each time a box is open, count the boxes alive and close it.
    std::function<void()> closeBox = [&] {
        auto* box = qobject_cast<TAboutBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, closeBox);
            return;
        }
        ++boxes;
        overlapping |= form->findChildren<TAboutBox*>().size() != 1;
        Find<QPushButton>(*box, "BitBtn1")->click();
    };
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(0, closeBox);
        QTest::mouseClick(Find<TImage>(*form, "ueberbtn"), Qt::LeftButton, {}, QPoint(20, 10));
        QVERIFY(Find<TImage>(*form, "ueberbtn")->isVisible());
        QVERIFY(!Find<TImage>(*form, "ueberbtn")->property("pressed").toBool());
    }
    QCOMPARE(boxes, 2);
    QVERIFY(!overlapping);
    QVERIFY(form->findChildren<TAboutBox*>().isEmpty());
}

void ShellTest::captionNamesTheDocument() {
    QCOMPARE(form->windowTitle(), QStringLiteral("ZEF-LOR Zarbo-Glyphwerk 2.1 - [Unbenannt.zgw]"));
    form->session().Saved("/tmp/irgendwo/Logo.zgw");
    QCOMPARE(form->windowTitle(), QStringLiteral("ZEF-LOR Zarbo-Glyphwerk 2.1 - [Logo.zgw]"));
    QCOMPARE(form->currentFileName(), QStringLiteral("/tmp/irgendwo/Logo.zgw"));
    Find<QPlainTextEdit>(*form, "Memo1")->setPlainText(QStringLiteral("Geändert"));
    Find<QToolButton>(*form, "SpeedButton1")->click();
    QCOMPARE(questions.back().caption, std::string("Datei|Neu"));
    QCOMPARE(form->windowTitle(), QStringLiteral("ZEF-LOR Zarbo-Glyphwerk 2.1 - [Unbenannt.zgw]"));
    QVERIFY(form->currentFileName().isEmpty());

    // Cancelling "Neu" changes nothing.
    form->session().Saved("/tmp/Logo.zgw");
    Find<QPlainTextEdit>(*form, "Memo1")->setPlainText(QStringLiteral("Bleibt"));
    answer = MsgResult::Cancel;
    Find<QToolButton>(*form, "SpeedButton1")->click();
    QCOMPARE(Find<QPlainTextEdit>(*form, "Memo1")->toPlainText(), QStringLiteral("Bleibt"));
    QCOMPARE(form->currentFileName(), QStringLiteral("/tmp/Logo.zgw"));
}

void ShellTest::editingViewIsCentredOrAtTheOrigin() {
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QScrollArea* scroll = Find<QScrollArea>(*form, "ScrollBox1");
    QTRY_VERIFY(scroll->viewport()->width() > 450);
    const QSize client = scroll->viewport()->size();
    QCOMPARE(Find<TPaintBox>(*form, "PaintBox1")->pos(),
             QPoint((client.width() - 450) / 2, (client.height() - 200) / 2));
    // Lower than the view: it sits at the top, reached by scrolling, still centred across.
    form->resize(648, 380);
    QTRY_VERIFY(scroll->viewport()->height() < 200);
    QTRY_COMPARE(Find<TPaintBox>(*form, "PaintBox1")->y(), 0);
    QTRY_VERIFY(scroll->verticalScrollBar()->maximum() > 0);
    QTRY_COMPARE(Find<TPaintBox>(*form, "PaintBox1")->x(), (scroll->viewport()->width() - 450) / 2);
    // It fits across beside the vertical bar: nothing to scroll sideways.
    QCOMPARE(scroll->horizontalScrollBar()->maximum(), 0);
    form->resize(900, 700);
    QTRY_VERIFY(scroll->viewport()->width() > 800);
    QTRY_COMPARE(Find<TPaintBox>(*form, "PaintBox1")->x(), (scroll->viewport()->width() - 450) / 2);
}

void ShellTest::leavingTheEnvelopeTabEndsDrawing() {
    Find<QTabWidget>(*form, "PageControl1")->setCurrentWidget(Find<QWidget>(*form, "TabSheet4"));
    QVERIFY(form->envelopeEditor().TabActive);
    Find<QRadioButton>(*form, "DrawFace")->click();
    QCOMPARE(form->lettering().settings.editMode, EditMode::DrawFace);
    Find<QTabWidget>(*form, "PageControl1")->setCurrentWidget(Find<QWidget>(*form, "TabSheet7"));
    QVERIFY(Find<QRadioButton>(*form, "MoveCheck")->isChecked());
    QCOMPARE(form->lettering().settings.editMode, EditMode::MoveCheck);
    QVERIFY(!form->envelopeEditor().TabActive);
}

void ShellTest::helpOpensTheHelpFile() {
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    // Each language's page, with topics the window has grown since the first page.
    const struct {
        const char* file;
        std::vector<const char*> topics;
    } pages[] = {
        {"zarbox.html",
         {"Verformen", "Ergebnis verarbeiten", "Rückgängig", "Zuletzt geöffnet", "Verwerfen",
          "Effekte mitskalieren", "Druckvorschau", "Esc", "&&"}},
        {"zarbox-en.html",
         {"Warp", "Use the result", "Undo", "Recently opened", "Discard", "Scale the effects too",
          "Print preview", "Esc", "&&"}},
    };
    for (const auto& page : pages) {
        form->SetHelpFile(QStringLiteral(GLYPHWERK_SOURCE_DIR "/data/") +
                          QString::fromLatin1(page.file));
        QTest::keyClick(form.get(), Qt::Key_F1);
        QTextBrowser* help = HelpWindow();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        for (const char* topic : page.topics)
            QVERIFY2(help->toPlainText().contains(QString::fromUtf8(topic)), topic);
    }
    form.reset();  // the help closes with the window
}

void ShellTest::missingHelpFileIsReportedInTheHelpWindow() {
    form->SetHelpFile(QStringLiteral("/nirgends/zarbox.html"));
    PressShortcut(*form, QKeySequence(Qt::Key_F1));
    QVERIFY(HelpWindow()->toPlainText().contains(QStringLiteral("nicht gefunden")));
}

void ShellTest::aSingleAmpersandIsExplainedInTheStatusBar() {
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    const struct {
        std::vector<std::string> lines;
        bool explained;
    } cases[] = {{{"&Hallo"}, true}, {{"Ende&"}, true},   {{"eins", "zw&ei"}, true},
                 {{"&&&x"}, true},   {{"A && B"}, false}, {{"ZEF-LOR", "GbR"}, false}};
    for (const auto& c : cases) {
        ChangeLettering(*form, [&c](Lettering& l) { l.settings.Memo1 = c.lines; });
        Schedule(*form)->SettingsUpdated();
        const QString status = Find<QStatusBar>(*form, "StatusBar1")->currentMessage();
        QVERIFY2(status.contains(QStringLiteral("&&")) == c.explained, c.lines.back().c_str());
    }
}

QTEST_MAIN(ShellTest)
#include "ShellTest.moc"
