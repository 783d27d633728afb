#include "tv/widgets/TvVideoWindow.h"

#include "tv/TextFit.h"
#include "tv/VideoWindowLayout.h"
#include "tv/widgets/Label3D.h"

#include <QApplication>
#include <QLabel>

#include <limits>

namespace {

QLabel* makeBox(QWidget* parent, const char* name, const QColor& background, const QColor& text,
                Qt::Alignment alignment) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    TvWindow::setColours(label, background, text);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

TvVideoWindow::TvVideoWindow(QWidget* parent) : TvWindow(QStringLiteral("Video"), parent) {
    Label3D* title = LabelTitle();
    title->setHighLightColor(Qt::red);
    title->setShadowColor(Qt::red);
    m_panelBest = new QWidget(this);
    m_panelBest->setObjectName(QStringLiteral("PanelBest"));
    setColours(m_panelBest, Qt::black, Qt::yellow);
    const QColor blue(0x00, 0x00, 0xFF);
    m_timeBest = makeBox(m_panelBest, "TimeBest", blue, Qt::yellow, Qt::AlignHCenter);
    m_nameBest = makeBox(m_panelBest, "NameBest", blue, Qt::yellow, Qt::AlignRight);
    const QColor highlight = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
    m_timeCurrent = makeBox(this, "TimeCurrent", highlight, Qt::white, Qt::AlignHCenter);
    m_nameCurrent = makeBox(this, "NameCurrent", highlight, Qt::white, Qt::AlignRight);
    // Created without title and intermediate time; the first push fills them.
    setContent(QString(), QString(), QString(), QString());
}

void TvVideoWindow::setContent(const QString& title, const QString& competitor,
                               const QString& intermediateCaption,
                               const QString& intermediateTime) {
    LabelTitle()->setCaption(title);
    m_nameCurrent->setText(competitor);
    m_nameBest->setText(intermediateCaption);
    m_timeBest->setText(intermediateTime);
    LabelTitle()->setVisible(!title.isEmpty());
    m_nameBest->setVisible(!intermediateCaption.isEmpty());
    m_timeBest->setVisible(!intermediateTime.isEmpty());
    fitNames();
}

void TvVideoWindow::setCurrentTime(const QString& text) {
    if (m_timeCurrent->text() != text)
        m_timeCurrent->setText(text);
}

void TvVideoWindow::placeTvWindow(const QRect& bounds, bool separateScreen, bool modeChecked) {
    if (!separateScreen)
        return;
    TvWindow::placeTvWindow(bounds, separateScreen, modeChecked);
}

void TvVideoWindow::layoutWindow() {
    const VideoWindowLayout l = VideoWindowLayout::compute(size(), measure());
    LabelTitle()->setFont(tvFont(l.titleFont));
    LabelTitle()->setShadowSize(l.shadowSize);
    LabelTitle()->setGeometry(l.title);
    m_panelBest->setFont(tvFont(l.stripFont));
    m_panelBest->setGeometry(l.strip);
    m_bestFont = l.stripFont;
    m_timeBest->setFont(tvFont(l.timeBestFont));
    m_timeBest->setGeometry(l.timeBest);
    m_timeCurrent->setFont(tvFont(l.titleFont));
    m_timeCurrent->setGeometry(l.timeCurrent);
    m_nameFont = l.titleFont;
    m_nameBestRight = l.nameBestRight;
    m_nameCurrentRight = l.nameCurrentRight;
    fitNames();
}

// The names size themselves to their text and grow to the left from their right edge; one
// that would pass the window's left edge gets smaller instead.
void TvVideoWindow::fitNames() {
    placeName(m_nameBest, m_bestFont, m_nameBestRight, 0, m_panelBest->height());
    const QRect time = m_timeCurrent->geometry();
    placeName(m_nameCurrent, m_nameFont, m_nameCurrentRight, time.top(), time.height());
}

void TvVideoWindow::placeName(QLabel* label, int designedSize, int right, int top, int height) {
    const QSize room(qMax(0, right), std::numeric_limits<int>::max());
    label->setFont(tvFont(TextFit::size(label->text(), designedSize, room, measure())));
    const int width = qMin(qMax(0, right), label->sizeHint().width());
    label->setGeometry(right - width, top, width, height);
}
