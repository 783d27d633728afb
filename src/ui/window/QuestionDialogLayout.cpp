#include "ui/window/QuestionDialogLayout.h"

namespace QuestionDialogLayout {

namespace {

constexpr int WidthStep = 8;
constexpr int ButtonPadding = 20;
constexpr int ButtonTextMargin = 10;
constexpr int RightMargin = 8;

} // namespace

QSize textSize(const QFontMetrics& metrics, const QString& question, int width) {
    return metrics.boundingRect(QRect(0, 0, width, 100000), TextFlags, question).size();
}

Layout layoutFor(const QFontMetrics& metrics, const QString& question, const QString& yesCaption,
                 const QString& noCaption) {
    int width = DesignedText.width();
    QSize needed = textSize(metrics, question, width);
    while (needed.height() > DesignedText.height() && width < MaxTextWidth) {
        width = qMin(MaxTextWidth, width + WidthStep);
        needed = textSize(metrics, question, width);
    }
    // A single word longer than the area widens it beyond the limit rather than being cut.
    const int textWidth = qMax(width, needed.width());
    const int textHeight = qMax(DesignedText.height(), needed.height());
    const int wider = textWidth - DesignedText.width();
    const int taller = textHeight - DesignedText.height();

    const int captionWidth =
        qMax(metrics.horizontalAdvance(yesCaption), metrics.horizontalAdvance(noCaption));
    const QSize button(qMax(DesignedYes.width(), captionWidth + ButtonPadding),
                       qMax(DesignedYes.height(), metrics.height() + ButtonTextMargin));
    const int gap = DesignedNo.left() - DesignedYes.right() - 1;

    Layout layout;
    layout.text = QRect(DesignedText.left(), DesignedText.top(), textWidth, textHeight);
    layout.yes = QRect(QPoint(DesignedYes.left() + wider / 2, DesignedYes.top() + taller), button);
    layout.no = QRect(QPoint(layout.yes.right() + 1 + gap, layout.yes.top()), button);
    const int buttonsTaller = button.height() - DesignedYes.height();
    layout.dialog = QSize(qMax(DesignedSize.width() + wider, layout.no.right() + 1 + RightMargin),
                          DesignedSize.height() + taller + buttonsTaller);
    return layout;
}

} // namespace QuestionDialogLayout
