#include "tv/widgets/TvTimeWindow.h"

#include "timing/widgets/SegmentDigit.h"
#include "tv/TextFit.h"
#include "tv/TimeWindowLayout.h"
#include "tv/widgets/Label3D.h"
#include "tv/widgets/TvWordMark.h"

#include <QImageReader>
#include <QLabel>

namespace {

QColor fromRgb(quint32 rgb) {
    return QColor(QRgb(rgb));
}

QLabel* makeComma(QWidget* parent, const char* name, const QColor& colour) {
    auto* label = new QLabel(QStringLiteral(","), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

void setTextColour(QLabel* label, const QColor& colour) {
    if (label->palette().color(QPalette::WindowText) == colour)
        return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

TvTimeWindow::TvTimeWindow(QWidget* parent) : TvWindow(QStringLiteral("Zeit"), parent) {
    m_timerPanel = new QWidget(this);
    m_timerPanel->setObjectName(QStringLiteral("TimerPanel"));
    setColours(m_timerPanel, Qt::black, Qt::white);
    const char* upperNames[5] = {"Digit4", "Digit5", "Digit6", "Digit7", "Digit8"};
    const char* lowerNames[5] = {"Digit4a", "Digit5a", "Digit6a", "Digit7a", "Digit8a"};
    for (int i = 0; i < 5; ++i) {
        for (auto [digits, names] : {std::pair{&m_upper, upperNames}, {&m_lower, lowerNames}}) {
            auto* d = new SegmentDigit(m_timerPanel);
            d->setObjectName(QString::fromLatin1(names[i]));
            d->setColor(Qt::black);
            d->setColorOff(Qt::black);
            d->setColorOn(fromRgb(0x404040));
            (*digits)[static_cast<std::size_t>(i)] = d;
        }
    }
    m_labSec = makeComma(m_timerPanel, "LabSec", QColor(0x00, 0xFF, 0x00));
    m_labSec2 = makeComma(m_timerPanel, "LabSec2", fromRgb(0x404040));
    // Over the timer panel's foot, but the window's own, so a long name can take the black
    // beside the digits.
    m_nameCurrent = makeBar(this, "NameCurrent", QColor(0xC0, 0x00, 0x00), Qt::white);
    m_labelBest = makeBar(this, "LabelBest", QColor(0xE6, 0xD8, 0x3A), Qt::black);
    m_footer = makeLogoFooter(m_image);
    m_wordMark = new TvWordMark(m_footer);
}

SegmentDigit* TvTimeWindow::digit(DisplayRow row, int position) const {
    if (position < 0 || position > 4)
        return nullptr;
    const auto i = static_cast<std::size_t>(position);
    return row == DisplayRow::Upper ? m_upper[i] : m_lower[i];
}

QLabel* TvTimeWindow::comma(DisplayRow row) const {
    return row == DisplayRow::Upper ? m_labSec : m_labSec2;
}

void TvTimeWindow::setContent(const QString& title, const QString& competitor,
                              const QString& club) {
    if (LabelTitle()->caption() != title) {
        LabelTitle()->setCaption(title);
        layoutWindow(); // the title's size follows its text
    }
    m_nameCurrent->setText(competitor);
    m_labelBest->setText(club);
    fitBars();
}

void TvTimeWindow::fitBars() {
    const int margin = textMargin(m_barFont);
    const int barWidth = TextFit::barWidth(m_nameCurrent->text(), m_barFont, m_nameBar.width(),
                                           width(), margin, measure());
    const int centred = m_nameBar.x() + (m_nameBar.width() - barWidth) / 2;
    const int left = qBound(0, centred, qMax(0, width() - barWidth));
    m_nameCurrent->setGeometry(left, m_nameBar.top(), barWidth, m_nameBar.height());
    fitText(m_nameCurrent, m_barFont);
    fitText(m_labelBest, m_clubFont);
}

bool TvTimeWindow::loadLogo(const QString& path) {
    QImageReader reader(path);
    const QImage image = path.isEmpty() ? QImage() : reader.read();
    m_logo = QPixmap::fromImage(image);
    layoutWindow();
    return !m_logo.isNull();
}

void TvTimeWindow::applyRow(DisplayRow row, const DisplayRowState& state) {
    const auto& digits = row == DisplayRow::Upper ? m_upper : m_lower;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        digits[i]->setValue(state.digits[i].value);
        digits[i]->setColorOn(fromRgb(state.digits[i].colour));
    }
    setTextColour(comma(row), fromRgb(state.commaColour));
}

void TvTimeWindow::layoutWindow() {
    const TimeWindowLayout l = TimeWindowLayout::compute(
        size(), m_logo.size(), LabelTitle()->caption(), TvWordMark::parts(), measure());
    m_scaleX = l.scaleX;
    m_scaleY = l.scaleY;
    setFont(tvFont(l.windowFont));
    LabelTitle()->setGeometry(l.title);
    LabelTitle()->setFont(tvFont(l.titleFont));
    m_timerPanel->setGeometry(l.timerPanel);
    for (std::size_t i = 0; i < m_upper.size(); ++i) {
        // The size first: a digit accepts a thickness only when it fits.
        m_upper[i]->setGeometry(l.upper[i]);
        m_upper[i]->setThickness(l.thickness);
        m_lower[i]->setGeometry(l.lower[i]);
        m_lower[i]->setThickness(l.thickness);
    }
    QFont commaFont(QStringLiteral("Times New Roman"));
    commaFont.setBold(true);
    commaFont.setPixelSize(qMax(1, l.commaFont));
    m_labSec->setFont(commaFont);
    m_labSec->setGeometry(l.upperComma);
    m_labSec2->setFont(commaFont);
    m_labSec2->setGeometry(l.lowerComma);
    m_nameBar = l.nameCurrent.translated(l.timerPanel.topLeft());
    m_barFont = l.windowFont;
    m_clubFont = l.labelBestFont;
    m_labelBest->setGeometry(l.labelBest);
    m_footer->setGeometry(l.footer);
    if (l.logoWidth)
        m_logoWidth = *l.logoWidth;
    m_image->setGeometry(0, 0, m_logoWidth, l.footerHeight);
    m_image->setPixmap(m_logo.isNull() ? QPixmap()
                                       : m_logo.scaled(m_image->size(), Qt::KeepAspectRatio,
                                                       Qt::SmoothTransformation));
    m_wordMark->setGeometry(l.wordMark);
    m_wordMark->arrange(l.wordMarkFont, l.wordMarkWidths, l.footerHeight);
    fitBars();
    m_nameCurrent->raise();
}
