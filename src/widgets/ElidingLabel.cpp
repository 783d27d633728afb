#include "widgets/ElidingLabel.h"

#include <QPainter>
#include <QStyle>

ElidingLabel::ElidingLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
}

void ElidingLabel::setFullText(const QString& text) {
    setText(text);
    setToolTip(text);
}

void ElidingLabel::setPreferredWidth(int width) {
    m_preferredWidth = width;
    updateGeometry();
}

QSize ElidingLabel::sizeHint() const {
    const QSize hint = QLabel::sizeHint();
    return m_preferredWidth < 0 ? hint : QSize(m_preferredWidth, hint.height());
}

QSize ElidingLabel::minimumSizeHint() const {
    const QSize hint = QLabel::minimumSizeHint();
    const int frame = width() - contentsRect().width();
    const int fewLetters = fontMetrics().horizontalAdvance(QStringLiteral("Es s…"));
    return QSize(qMin(hint.width(), fewLetters + frame + 2 * margin()), hint.height());
}

QString ElidingLabel::elided(const QFontMetrics& metrics, const QString& text, int width) {
    return metrics.elidedText(text, Qt::ElideRight, qMax(0, width));
}

QString ElidingLabel::shownText() const {
    const int room = contentsRect().width() - 2 * margin() - (indent() > 0 ? indent() : 0);
    return elided(fontMetrics(), text(), room);
}

void ElidingLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    const QString shown = shownText();
    // A text that has been cut starts at the left, so its beginning is what shows.
    const Qt::Alignment align =
        shown == text() ? alignment() : (alignment() & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft;
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, area, int(align), palette(), isEnabled(), shown,
                          foregroundRole());
}
