// The spin field: reading its text, bringing the value into range, stepping, and the change
// signal.

#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "platform/Catalogue.h"
#include "ui/SpinEdit.h"

using gw::SpinEdit;

class SpinEditTest : public QObject {
    Q_OBJECT

  private slots:
    void lettersReadAsTheMinimum();
    void typedValuesAreReadAsTypedUntilFocusLeaves();
    void wholeNumberFieldsTruncateAFraction();
    void decimalFieldShowsTwoDecimalsAndSteps();
    void leavingTheFieldShowsWhatItHolds();
    void stepsStopAtTheBounds();
    void everyValueChangeSignalsOnce();
    void programValuesAreBroughtIntoRange();
};

namespace {

SpinEdit* MakeField(QWidget* parent, double minimum, double maximum, int decimals = 0) {
    auto* spin = new SpinEdit(parent);
    spin->setDecimals(decimals);
    spin->setRange(minimum, maximum);
    return spin;
}

}  // namespace

void SpinEditTest::lettersReadAsTheMinimum() {
    QWidget parent;
    SpinEdit* strength = MakeField(&parent, 1, 100);
    SpinEdit* softness = MakeField(&parent, 0, 30);
    SpinEdit* angle = MakeField(&parent, -180, 180);
    for (SpinEdit* spin : {strength, softness, angle}) {
        spin->setValue(20);
        spin->setText(QStringLiteral("abc"));
    }
    QCOMPARE(strength->value(), 1.0);
    QCOMPARE(softness->value(), 0.0);
    QCOMPARE(angle->value(), -180.0);
    angle->setText(QString());
    QCOMPARE(angle->value(), -180.0);
    angle->setText(QStringLiteral("-"));
    QCOMPARE(angle->value(), -180.0);
}

void SpinEditTest::typedValuesAreReadAsTypedUntilFocusLeaves() {
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    SpinEdit* spin = MakeField(&window, 1, 100);
    auto* other = new QLineEdit(&window);
    layout->addWidget(spin);
    layout->addWidget(other);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    spin->setFocus();
    QTRY_VERIFY(spin->hasFocus());
    spin->selectAll();
    QTest::keyClicks(spin, QStringLiteral("250"));
    QCOMPARE(spin->text(), QStringLiteral("250"));
    QCOMPARE(spin->value(), 250.0);
    other->setFocus();
    QTRY_VERIFY(other->hasFocus());
    QCOMPARE(spin->value(), 100.0);
    QCOMPARE(spin->text(), QStringLiteral("100"));

    // Letters are no number and read as the minimum, which lies in range: the text stays.
    spin->setFocus();
    QTRY_VERIFY(spin->hasFocus());
    spin->setText(QStringLiteral("xy"));
    other->setFocus();
    QTRY_VERIFY(other->hasFocus());
    QCOMPARE(spin->value(), 1.0);

    spin->setFocus();
    QTRY_VERIFY(spin->hasFocus());
    spin->setText(QStringLiteral("-7"));
    other->setFocus();
    QTRY_VERIFY(other->hasFocus());
    QCOMPARE(spin->text(), QStringLiteral("1"));
}

void SpinEditTest::wholeNumberFieldsTruncateAFraction() {
    QWidget parent;
    SpinEdit* spin = MakeField(&parent, -100, 100);
    spin->setText(QStringLiteral("12,7"));
    QCOMPARE(spin->value(), 12.0);
    spin->setText(QStringLiteral("-12.7"));
    QCOMPARE(spin->value(), -12.0);
    spin->setText(QStringLiteral(" 42 "));
    QCOMPARE(spin->value(), 42.0);
}

void SpinEditTest::decimalFieldShowsTwoDecimalsAndSteps() {
    QWidget parent;
    SpinEdit* spiral = MakeField(&parent, 0.6, 10, 2);
    spiral->setSingleStep(0.1);
    spiral->setValue(1.5);
    QCOMPARE(spiral->text(), QStringLiteral("1,50"));
    spiral->stepBy(1);
    QCOMPARE(spiral->text(), QStringLiteral("1,60"));
    QCOMPARE(spiral->value(), 1.6);
    spiral->stepBy(-3);
    QCOMPARE(spiral->text(), QStringLiteral("1,30"));
    spiral->setText(QStringLiteral("2.25"));
    QCOMPARE(spiral->value(), 2.25);
}

// "3" typed into SpiralEd reads 3,00 (3.00 in English) once the field is left, as a value set by
// the program.
void SpinEditTest::leavingTheFieldShowsWhatItHolds() {
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    SpinEdit* spiral = MakeField(&window, 0.6, 10, 2);
    auto* other = new QLineEdit(&window);
    layout->addWidget(spiral);
    layout->addWidget(other);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    using L = gw::catalogue::Language;
    // Each language shows its own decimal separator and reads both.
    const struct {
        L language;
        const char* typed;
        const char* shown;
    } cases[] = {{L::German, "3", "3,00"},
                 {L::German, "2.255", "2,26"},
                 {L::German, "abc", "abc"},
                 {L::English, "1,5", "1.50"},
                 {L::English, "2.255", "2.26"}};
    for (const auto& c : cases) {
        gw::catalogue::UseLanguage(c.language);
        spiral->setFocus();
        QTRY_VERIFY(spiral->hasFocus());
        spiral->setText(QString::fromLatin1(c.typed));
        other->setFocus();
        QTRY_VERIFY(other->hasFocus());
        QCOMPARE(spiral->text(), QString::fromLatin1(c.shown));
    }
    gw::catalogue::UseLanguage(L::German);
}

void SpinEditTest::stepsStopAtTheBounds() {
    QWidget parent;
    SpinEdit* spin = MakeField(&parent, 0, 30);
    spin->setValue(29);
    spin->stepBy(5);
    QCOMPARE(spin->value(), 30.0);
    spin->setValue(1);
    spin->stepBy(-5);
    QCOMPARE(spin->value(), 0.0);
    // A value typed beyond the range steps back into it.
    spin->setText(QStringLiteral("80"));
    spin->stepBy(1);
    QCOMPARE(spin->value(), 30.0);
}

void SpinEditTest::everyValueChangeSignalsOnce() {
    QWidget parent;
    SpinEdit* spin = MakeField(&parent, 1, 100);
    spin->setValue(20);
    QSignalSpy changes(spin, &SpinEdit::valueChanged);
    spin->setValue(21);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.last().first().toDouble(), 21.0);
    spin->setValue(21);
    QCOMPARE(changes.count(), 1);
    spin->setText(QStringLiteral("21,0"));  // the same value in other words
    QCOMPARE(changes.count(), 1);
    spin->stepBy(1);
    QCOMPARE(changes.count(), 2);
    spin->setText(QStringLiteral("abc"));  // reads as 1
    QCOMPARE(changes.count(), 3);
    QCOMPARE(changes.last().first().toDouble(), 1.0);
}

void SpinEditTest::programValuesAreBroughtIntoRange() {
    QWidget parent;
    SpinEdit* spin = MakeField(&parent, -100, 100);
    spin->setValue(250);
    QCOMPARE(spin->value(), 100.0);
    spin->setValue(-7.9);
    QCOMPARE(spin->text(), QStringLiteral("-7"));
}

QTEST_MAIN(SpinEditTest)
#include "SpinEditTest.moc"
