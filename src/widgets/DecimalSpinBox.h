#pragma once

#include <QAbstractSpinBox>
#include <QChar>
#include <optional>

// A number field with spin arrows for a floating-point value between Min and Max, shown
// right-aligned with Digits decimals. Only keys that keep the text a number in range with no
// more decimals are taken, so an operator cannot leave it holding something the program would
// have to guess at.
class DecimalSpinBox : public QAbstractSpinBox {
    Q_OBJECT
public:
    static inline const char* const minAboveMaxMessage =
        "Minimum value must not be greater than maximum value !";
    static inline const char* const maxBelowMinMessage =
        "Maximum value must not be less than minimum value !";

    // The separator is the system's in the program and injected in tests.
    explicit DecimalSpinBox(QChar decimalSeparator, QWidget* parent = nullptr);

    double minimum() const { return m_min; }
    double maximum() const { return m_max; }
    // Throw std::invalid_argument with the messages above when the range would turn over;
    // the value is brought into the new range.
    void setMin(double min);
    void setMax(double max);
    int digits() const { return m_digits; }
    void setDigits(int digits);
    double step() const { return m_step; }
    void setStep(double step) { m_step = step; }
    void setMaxLength(int length);

    // The text read as a number and clamped to [Min, Max]: empty, a lone "-" or a lone
    // separator read as 0, anything else that is not a number as Min.
    double value() const;
    // Stores the nearest limit for a value outside [Min, Max].
    void setValue(double value);

    QString text() const;
    QChar decimalSeparator() const { return m_separator; }

    // The text as a number when it is one (separator and exponent allowed), else nothing.
    std::optional<double> parse(const QString& text) const;
    // Whether a typed character turning the text into this one is taken.
    bool acceptsText(const QString& text) const;

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QString format(double value) const;
    // The text's number before clamping, as value() reads it.
    double rawValue() const;
    bool isAllowedCharacter(QChar character) const;
    void typeCharacter(QChar character);

    QChar m_separator;
    double m_min = 0;
    double m_max = 100;
    int m_digits = 0;
    double m_step = 1;
    double m_entered = 0;
};
