#pragma once

#include <QFontMetrics>
#include <QRect>
#include <QSize>
#include <QString>

// Where the parts of the yes/no question go: the designed 222 x 94 dialog as long as the
// question fits its 169 x 49 text area word-wrapped in the dialog's font; a question that
// does not fit widens the area first (up to MaxTextWidth), then makes it taller, and the
// buttons move with it.
namespace QuestionDialogLayout {

constexpr QSize DesignedSize{222, 94};
constexpr QRect DesignedText{46, 6, 169, 49};
constexpr QRect DesignedIcon{8, 8, 32, 32};
constexpr QRect DesignedYes{40, 62, 70, 25};
constexpr QRect DesignedNo{118, 62, 70, 25};
constexpr int MaxTextWidth = 320;
constexpr int TextFlags = int(Qt::AlignCenter) | int(Qt::TextWordWrap);

struct Layout {
    QSize dialog;
    QRect text;
    QRect yes;
    QRect no;
};

Layout layoutFor(const QFontMetrics& metrics, const QString& question,
                 const QString& yesCaption = QStringLiteral("Ja"),
                 const QString& noCaption = QStringLiteral("Nein"));

// The size the question takes word-wrapped into that width.
QSize textSize(const QFontMetrics& metrics, const QString& question, int width);

} // namespace QuestionDialogLayout
