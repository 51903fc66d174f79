// The text box holds back a text whose lines it cannot lay out fast, and shows it when asked.

#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include "platform/System.h"
#include "ui/LongTextBox.h"

using namespace gw;

class LongTextBoxTest : public QObject {
    Q_OBJECT

  private slots:
    void longLinesAreHeldBackAndNothingIsWrittenBack();
    void theHeldTextIsShownWhenTheUserAsks();
};

namespace {

QString Marks(qsizetype count) {
    return QStringLiteral("a") + QString(count, QChar(0x0301));
}

}  // namespace

void LongTextBoxTest::longLinesAreHeldBackAndNothingIsWrittenBack() {
    QPlainTextEdit box;
    QSignalSpy changes(&box, &QPlainTextEdit::textChanged);
    struct Case {
        QString text;
        bool held;
    };
    // One box through every case in turn, so that each follows a held and a shown text.
    const Case cases[] = {
        {QStringLiteral("Hallo\nWelt"), false},
        {QString(kLongestTextBoxLine, QLatin1Char('x')), false},
        {Marks(kLongestTextBoxLine), true},
        {QStringLiteral("Zeile\n") + QString(kLongestTextBoxLine + 1, QLatin1Char('x')), true},
        {Marks(524'287), true},  // a mebibyte of UTF-8 on one letter
        {QStringLiteral("kurz"), false},
    };
    for (const Case& c : cases) {
        changes.clear();
        ShowInTextBox(&box, c.text);
        QCOMPARE(HoldsTextBack(&box), c.held);
        QCOMPARE(box.isReadOnly(), c.held);
        if (c.held) {
            QVERIFY(box.toPlainText().isEmpty());
            QVERIFY(box.placeholderText().contains(QString::number(LongestLine(c.text))));
            QCOMPARE(changes.count(), 0);
        } else {
            QCOMPARE(box.toPlainText(), c.text);
            QVERIFY(box.placeholderText().isEmpty());
        }
        // The same text again changes nothing.
        changes.clear();
        ShowInTextBox(&box, c.text);
        QCOMPARE(changes.count(), 0);
    }
}

void LongTextBoxTest::theHeldTextIsShownWhenTheUserAsks() {
    QPlainTextEdit box;
    const QString text = QStringLiteral("Titel\n") + Marks(5000);
    ShowInTextBox(&box, text);
    QSignalSpy changes(&box, &QPlainTextEdit::textChanged);
    MsgResult answer = MsgResult::Cancel;
    int asked = 0;
    const MessageBoxHandler previous =
        SetMessageBoxHandler([&](std::string_view, std::string_view, MsgIcon, MsgButtons) {
            ++asked;
            return answer;
        });
    QTest::mouseDClick(box.viewport(), Qt::LeftButton);
    QCOMPARE(asked, 1);
    QVERIFY(HoldsTextBack(&box));
    answer = MsgResult::Ok;
    QTest::keyClick(&box, Qt::Key_Return);
    SetMessageBoxHandler(previous);
    QCOMPARE(asked, 2);
    QVERIFY(!HoldsTextBack(&box));
    QVERIFY(!box.isReadOnly());
    QCOMPARE(box.toPlainText(), text);
    // Shown, it is the text the window holds: nothing to write back.
    QCOMPARE(changes.count(), 0);
    ShowInTextBox(&box, text);
    QCOMPARE(box.toPlainText(), text);
}

QTEST_MAIN(LongTextBoxTest)
#include "LongTextBoxTest.moc"
