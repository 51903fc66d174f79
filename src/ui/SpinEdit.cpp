#include "ui/SpinEdit.h"

#include "document/SettingsTable.h"

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

void SpinEdit::setRange(double minimum, double maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    TextChanged();
}

void SpinEdit::setDecimals(int decimals) {
    decimals_ = std::clamp(decimals, 0, 6);
    TextChanged();
}

double SpinEdit::ValueOfText(const QString& text) const {
    double v = 0;
    if (!ParseSettingNumber(text.toStdString(), v)) return minimum_;
    return decimals_ == 0 ? std::trunc(v) : v;
}

QString SpinEdit::TextOfValue(double value) const {
    if (decimals_ == 0) return QString::number(static_cast<long long>(std::trunc(value)));
    // German number format: the decimal comma.
    QString text = QString::number(value, 'f', decimals_);
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

double SpinEdit::value() const {
    return ValueOfText(text());
}

double SpinEdit::Bounded(double value) const {
    if (std::isnan(value)) return minimum_;
    value = std::clamp(value, minimum_, maximum_);
    if (decimals_ == 0) return std::trunc(value);
    const double scale = std::pow(10.0, decimals_);
    return std::nearbyint(value * scale) / scale;
}

void SpinEdit::setValue(double value) {
    lineEdit()->setText(TextOfValue(Bounded(value)));
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
    if (v < maximum_) enabled |= StepUpEnabled;
    if (v > minimum_) enabled |= StepDownEnabled;
    return enabled;
}

void SpinEdit::focusOutEvent(QFocusEvent* event) {
    QAbstractSpinBox::focusOutEvent(event);
    const double v = value();
    if (v < minimum_ || v > maximum_) setValue(v);
}

QSize SpinEdit::sizeHint() const {
    const QFontMetrics fm(font());
    const int w = fm.horizontalAdvance(TextOfValue(-std::max(std::abs(minimum_), maximum_)));
    QSize hint = QAbstractSpinBox::sizeHint();
    hint.setWidth(std::max(hint.width(), w + 36));
    return hint;
}

QSize SpinEdit::minimumSizeHint() const {
    return sizeHint();
}

}  // namespace gw
