#include "widgets/DecimalSpinBox.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTimer>

#include <cmath>
#include <stdexcept>

DecimalSpinBox::DecimalSpinBox(QChar decimalSeparator, QWidget* parent)
    : QAbstractSpinBox(parent), m_separator(decimalSeparator) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setAccelerated(false);
    setValue(0);
}

void DecimalSpinBox::setMin(double min) {
    if (min > m_max)
        throw std::invalid_argument(minAboveMaxMessage);
    m_min = min;
    setValue(value());
}

void DecimalSpinBox::setMax(double max) {
    if (max < m_min)
        throw std::invalid_argument(maxBelowMinMessage);
    m_max = max;
    setValue(value());
}

void DecimalSpinBox::setDigits(int digits) {
    const double current = value();
    m_digits = qMax(0, digits);
    setValue(current);
}

void DecimalSpinBox::setMaxLength(int length) {
    lineEdit()->setMaxLength(length);
}

QString DecimalSpinBox::text() const {
    return lineEdit()->text();
}

QString DecimalSpinBox::format(double value) const {
    // + 0.0 keeps a negative zero from showing its sign.
    QString text = QString::number(value + 0.0, 'f', m_digits);
    text.replace(u'.', m_separator);
    return text;
}

std::optional<double> DecimalSpinBox::parse(const QString& text) const {
    if (text.isEmpty())
        return std::nullopt;
    for (QChar c : text) {
        if (!isAllowedCharacter(c))
            return std::nullopt;
    }
    QString normal = text;
    normal.replace(m_separator, u'.');
    // A number being typed: "12," is 12 and ",5" is 0.5, as the operator means them.
    if (normal.endsWith(u'.'))
        normal.append(u'0');
    if (normal.startsWith(u'.') || normal.startsWith(QStringLiteral("-.")))
        normal.insert(normal.indexOf(u'.'), u'0');
    bool ok = false;
    const double number = QLocale::c().toDouble(normal, &ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

double DecimalSpinBox::rawValue() const {
    const QString t = text();
    if (t.isEmpty() || t == QStringLiteral("-") || t == QString(m_separator))
        return 0;
    return parse(t).value_or(m_min);
}

double DecimalSpinBox::value() const {
    return qBound(m_min, rawValue(), m_max);
}

void DecimalSpinBox::setValue(double value) {
    lineEdit()->setText(format(qBound(m_min, value, m_max)));
}

bool DecimalSpinBox::isAllowedCharacter(QChar c) const {
    return c.isDigit() || c == u'-' || c == u'e' || (c == m_separator && m_digits > 0);
}

bool DecimalSpinBox::acceptsText(const QString& candidate) const {
    const std::optional<double> number = parse(candidate);
    if (!number || *number < m_min || *number > m_max)
        return false;
    const qsizetype separator = candidate.indexOf(m_separator);
    if (separator < 0)
        return true;
    qsizetype end = candidate.indexOf(u'e', separator);
    if (end < 0)
        end = candidate.size();
    return end - separator - 1 <= m_digits;
}

void DecimalSpinBox::typeCharacter(QChar character) {
    if (!isAllowedCharacter(character))
        return;
    QLineEdit* edit = lineEdit();
    QString candidate = edit->text();
    const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    const int length = edit->hasSelectedText() ? static_cast<int>(edit->selectedText().size()) : 0;
    candidate.replace(start, length, character);
    if (edit->maxLength() < candidate.size())
        return;
    // The two beginnings that are not numbers yet get a 0 the next key replaces.
    if (candidate == QStringLiteral("-")) {
        edit->setText(QStringLiteral("-0"));
        edit->setSelection(1, 1);
        return;
    }
    if (candidate == QString(m_separator)) {
        edit->setText(u'0' + QString(m_separator) + u'0');
        edit->setSelection(2, 1);
        return;
    }
    if (acceptsText(candidate))
        edit->insert(QString(character));
}

void DecimalSpinBox::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        // Back to the value from when the field was entered. The key ends there: an operator
        // taking back a typing slip must not lose the whole dialog with it.
        setValue(m_entered);
        selectAll();
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Swallowed: a number half typed is never confirmed by the dialog's default button.
        event->accept();
        return;
    default:
        break;
    }
    const QString typed = event->text();
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (!command && typed.size() == 1 && typed.at(0).isPrint()) {
        typeCharacter(typed.at(0));
        event->accept();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void DecimalSpinBox::focusInEvent(QFocusEvent* event) {
    m_entered = value();
    QAbstractSpinBox::focusInEvent(event);
}

void DecimalSpinBox::focusOutEvent(QFocusEvent* event) {
    const Qt::FocusReason reason = event->reason();
    const bool leftByOperator = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                                reason == Qt::MouseFocusReason || reason == Qt::OtherFocusReason;
    const double raw = rawValue();
    if (leftByOperator && (raw < m_min || raw > m_max)) {
        setValue(m_entered);
        selectAll();
        // Taken back once the focus change that is under way has finished.
        QTimer::singleShot(0, this, [this] {
            if (!isVisible() || !isEnabled())
                return;
            setFocus(Qt::OtherFocusReason);
            selectAll();
        });
    }
    QAbstractSpinBox::focusOutEvent(event);
}

void DecimalSpinBox::stepBy(int steps) {
    setValue(value() + steps * m_step);
    selectAll();
}

QAbstractSpinBox::StepEnabled DecimalSpinBox::stepEnabled() const {
    if (isReadOnly())
        return StepNone;
    const double current = value();
    StepEnabled enabled = StepNone;
    if (current < m_max)
        enabled |= StepUpEnabled;
    if (current > m_min)
        enabled |= StepDownEnabled;
    return enabled;
}

QValidator::State DecimalSpinBox::validate(QString& input, int&) const {
    // Pasted text is held to the characters a key may type; the range is checked on leaving.
    for (QChar c : input) {
        if (!isAllowedCharacter(c))
            return QValidator::Invalid;
    }
    return QValidator::Acceptable;
}

QSize DecimalSpinBox::sizeHint() const {
    ensurePolished();
    const QFontMetrics metrics = fontMetrics();
    const int width =
        qMax(metrics.horizontalAdvance(format(m_min)), metrics.horizontalAdvance(format(m_max))) +
        metrics.horizontalAdvance(u'0') + 2;
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option,
                                     QSize(width, lineEdit()->sizeHint().height()), this);
}

QSize DecimalSpinBox::minimumSizeHint() const {
    return sizeHint();
}
