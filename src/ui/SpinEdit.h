#pragma once
// The spin field of every numeric setting.
//
// The field holds text; its value is what the text reads as at this moment, so a value typed
// beyond the range counts as typed until the field loses the focus, and then it is brought to
// the nearer bound. A text that is no number reads as the minimum. Whole-number fields read a
// typed fraction truncated toward zero. Every change of the value, typed, stepped or set by the
// program, emits valueChanged once; a change of the text alone (say "20" to "20,0") does not.

#include <QAbstractSpinBox>
#include <QString>

#include "document/SettingsTable.h"

namespace gw {

class SpinEdit : public QAbstractSpinBox {
    Q_OBJECT

  public:
    explicit SpinEdit(QWidget* parent = nullptr);

    // The field's rule: range and decimals (0 for a whole-number field; SpiralEd shows two).
    void setRule(const SpinRule& rule);
    void setRange(double minimum, double maximum);
    double minimum() const { return rule_.minimum; }
    double maximum() const { return rule_.maximum; }
    void setDecimals(int decimals);
    int decimals() const { return rule_.decimals; }
    void setSingleStep(double step) { step_ = step; }
    double singleStep() const { return step_; }

    // The value the current text reads as (not brought into range).
    double value() const;
    // Shows the value brought into range (and truncated for a whole-number field).
    void setValue(double value);
    // Puts text into the field as if it had been typed.
    void setText(const QString& text);

    // What a text reads as in this field.
    double ValueOfText(const QString& text) const;
    QString TextOfValue(double value) const;

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    void valueChanged(double value);

  protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void TextChanged();

    SpinRule rule_{0, 99, 0};
    double step_ = 1;
    double value_ = 0;  // the value last announced
};

}  // namespace gw
