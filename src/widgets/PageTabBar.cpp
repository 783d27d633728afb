#include "widgets/PageTabBar.h"

#include <QPainter>
#include <QStyleOptionTab>
#include <QStylePainter>

PageTabBar::PageTabBar(QWidget* parent) : QTabBar(parent) {
    setCursor(Qt::PointingHandCursor);
    setDrawBase(true);
    setExpanding(false);
    // The window's small dialog font: four tabs and the edit box fit the designed width.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
}

QPoint PageTabBar::captionOrigin(const QRect& tab, int textWidth) {
    return QPoint(tab.left() + (tab.width() - textWidth) / 2, tab.top() + 4);
}

QSize PageTabBar::tabSizeHint(int index) const {
    // Room for the bold caption so the shown tab does not clip its own text.
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    // The designed captions start with blanks that are never drawn; they take no room either.
    const QSize base = QTabBar::tabSizeHint(index);
    const int width = metrics.horizontalAdvance(tabText(index).trimmed()) + 12;
    return QSize(width, qMax(base.height(), metrics.height() + 10));
}

void PageTabBar::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    for (int i = 0; i < count(); ++i) {
        QStyleOptionTab option;
        initStyleOption(&option, i);
        option.text.clear();
        option.icon = QIcon();
        const QRect tab = tabRect(i);
        const bool active = i == currentIndex();
        if (!active)
            painter.drawControl(QStyle::CE_TabBarTabShape, option);
        QFont captionFont = font();
        if (active) {
            painter.setPen(QColor(ActiveFill));
            painter.setBrush(QColor(ActiveFill));
            painter.drawRect(tab.adjusted(0, 0, -1, -1));
            captionFont.setBold(true);
        }
        painter.setFont(captionFont);
        const bool enabled = isTabEnabled(i) && isEnabled();
        painter.setPen(enabled ? QColor(Qt::black) : QColor(DisabledText));
        const QString caption = tabText(i).trimmed();
        const QFontMetrics metrics(captionFont);
        const QPoint origin = captionOrigin(tab, metrics.horizontalAdvance(caption));
        painter.drawText(origin.x(), origin.y() + metrics.ascent(), caption);
    }
}
