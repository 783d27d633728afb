#include "timing/widgets/TimePanel.h"

#include "timing/widgets/SegmentDigit.h"
#include "widgets/CaptionFit.h"

#include <QLabel>

namespace {

const QColor black(0, 0, 0);

QColor fromRgb(quint32 rgb) {
    return QColor(QRgb(rgb));
}

SegmentDigit* makeDigit(QWidget* parent, const char* name, int x, int y, int h, int separation,
                        quint32 colorOn) {
    auto* digit = new SegmentDigit(parent);
    digit->setObjectName(QString::fromLatin1(name));
    // The size first: the thickness is accepted only when it fits the digit.
    digit->setGeometry(x, y, 52, h);
    digit->setColor(black);
    digit->setColorOff(black);
    digit->setThickness(5);
    digit->setSeparation(separation);
    digit->setColorOn(fromRgb(colorOn));
    digit->setValueBinary(SegmentDigit::SegmentTable[0]);
    return digit;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry,
                  const QString& family, int pixelSize, quint32 colour) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    label->setFont(CaptionFit::font(font, text, geometry.width()));
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(false);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, fromRgb(colour));
    label->setPalette(palette);
    return label;
}

void setTextColour(QLabel* label, quint32 colour) {
    const QColor wanted = fromRgb(colour);
    if (label->palette().color(QPalette::WindowText) == wanted)
        return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, wanted);
    label->setPalette(palette);
}

} // namespace

TimePanel::TimePanel(QWidget* parent) : QWidget(parent) {
    setFixedSize(320, 202);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, black);
    setPalette(palette);

    constexpr quint32 dim = 0x404040;
    constexpr quint32 lime = 0x00FF00;
    m_upper = {makeDigit(this, "Digit4", 8, 9, 92, 1, dim),
               makeDigit(this, "Digit5", 64, 9, 92, 1, dim),
               makeDigit(this, "Digit6", 120, 9, 92, 1, lime),
               makeDigit(this, "Digit7", 200, 9, 92, 1, lime),
               makeDigit(this, "Digit8", 256, 9, 92, 1, lime)};
    m_lower = {makeDigit(this, "Digit16", 8, 128, 65, 0, dim),
               makeDigit(this, "Digit18", 64, 128, 65, 0, dim),
               makeDigit(this, "Digit19", 120, 128, 65, 0, dim),
               makeDigit(this, "Digit21", 200, 128, 65, 0, dim),
               makeDigit(this, "Digit22", 256, 128, 65, 0, dim)};
    const QString times = QStringLiteral("Times New Roman");
    const QString arial = QStringLiteral("Arial");
    m_labSec =
        makeLabel(this, "LabSec", QStringLiteral(","), QRect(172, 40, 16, 73), times, 64, lime);
    m_labSek =
        makeLabel(this, "Lab_sek", QStringLiteral("Sek."), QRect(70, 103, 40, 22), arial, 19, lime);
    m_lab100 = makeLabel(this, "Lab_100", QStringLiteral("1/100"), QRect(230, 103, 49, 22), arial,
                         19, lime);
    m_labSec2 =
        makeLabel(this, "LabSec2", QStringLiteral(","), QRect(172, 132, 28, 81), times, 64, dim);
}

SegmentDigit* TimePanel::digit(DisplayRow row, int position) const {
    if (position < 0 || position > 4)
        return nullptr;
    return row == DisplayRow::Upper ? m_upper[position] : m_lower[position];
}

QLabel* TimePanel::comma(DisplayRow row) const {
    return row == DisplayRow::Upper ? m_labSec : m_labSec2;
}

void TimePanel::applyRow(DisplayRow row, const DisplayRowState& state) {
    const auto& digits = row == DisplayRow::Upper ? m_upper : m_lower;
    for (int i = 0; i < 5; ++i) {
        digits[i]->setValue(state.digits[i].value);
        digits[i]->setColorOn(fromRgb(state.digits[i].colour));
    }
    setTextColour(comma(row), state.commaColour);
    if (row == DisplayRow::Upper) {
        setTextColour(m_labSek, state.commaColour);
        setTextColour(m_lab100, state.commaColour);
    }
}
