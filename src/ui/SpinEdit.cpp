#include "ui/SpinEdit.h"

#include "document/SettingsTable.h"
#include "platform/Catalogue.h"

#include <QLineEdit>
#include <algorithm>
#include <cmath>

namespace gw {

SpinEdit::SpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    // The value follows the text ourselves; the base class has no value type of its own.
    setKeyboardTracking(false);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    lineEdit()->setText(TextOfValue(0));
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] { TextChanged(); });
}

void SpinEdit::setRule(const SpinRule& rule) {
    rule_ = rule;
    rule_.maximum = std::max(rule.minimum, rule.maximum);
    rule_.decimals = std::clamp(rule.decimals, 0, 6);
    TextChanged();
}

void SpinEdit::setRange(double minimum, double maximum) {
    setRule({minimum, maximum, rule_.decimals});
}

void SpinEdit::setDecimals(int decimals) {
    setRule({rule_.minimum, rule_.maximum, decimals});
}

double SpinEdit::ValueOfText(const QString& text) const {
    return SpinValueFromText(rule_, text.toStdString());
}

QString SpinEdit::TextOfValue(double value) const {
    if (rule_.decimals == 0) return QString::number(static_cast<long long>(std::trunc(value)));
    // The language's decimal separator: a comma in German, a point in English. Reading takes
    // either in both.
    QString text = QString::number(value, 'f', rule_.decimals);
    if (catalogue::CurrentLanguage() == catalogue::Language::German)
        text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

double SpinEdit::value() const {
    return ValueOfText(text());
}

void SpinEdit::setValue(double value) {
    lineEdit()->setText(TextOfValue(ClampSpinValue(rule_, value)));
}

void SpinEdit::setText(const QString& text) {
    lineEdit()->setText(text);
}

void SpinEdit::TextChanged() {
    const double v = value();
    if (v == value_) return;
    value_ = v;
    emit valueChanged(v);
}

void SpinEdit::stepBy(int steps) {
    setValue(value() + steps * step_);
    selectAll();
}

QValidator::State SpinEdit::validate(QString&, int&) const {
    // Anything may be typed; what is no number reads as the minimum.
    return QValidator::Intermediate;
}

void SpinEdit::fixup(QString&) const {}

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const {
    if (isReadOnly()) return StepNone;
    const double v = value();
    StepEnabled enabled = StepNone;
    if (v < rule_.maximum) enabled |= StepUpEnabled;
    if (v > rule_.minimum) enabled |= StepDownEnabled;
    return enabled;
}

void SpinEdit::focusOutEvent(QFocusEvent* event) {
    QAbstractSpinBox::focusOutEvent(event);
    // Leaving the field shows the number as the field holds it ("3" becomes "3,00"); a text that
    // is no number stays as typed and reads as the minimum.
    double typed;
    if (!ParseSettingNumber(text().toStdString(), typed)) return;
    setValue(value());
}

QSize SpinEdit::sizeHint() const {
    const QFontMetrics fm(font());
    const int w =
        fm.horizontalAdvance(TextOfValue(-std::max(std::abs(rule_.minimum), rule_.maximum)));
    QSize hint = QAbstractSpinBox::sizeHint();
    hint.setWidth(std::max(hint.width(), w + 36));
    return hint;
}

QSize SpinEdit::minimumSizeHint() const {
    return sizeHint();
}

}  // namespace gw
