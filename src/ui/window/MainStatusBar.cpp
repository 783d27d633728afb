#include "ui/window/MainStatusBar.h"

#include "widgets/ElidingLabel.h"

#include <QLabel>
#include <QTimer>

namespace {

const QString kFailingStyle =
    QStringLiteral("QLabel { background-color: #FF0000; color: #FFFFFF; }");
constexpr int NoticePreferredWidth = 360;
// What a notice may claim of the designed 720-pixel window before the message panel and the
// window size: the fixed panels keep their width, and both notice panels still fit beside them.
constexpr int LastingRoomWidth = 300;

} // namespace

MainStatusBar::MainStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("MainStatusBar"));
    setSizeGripEnabled(true);
    const int widths[4] = {50, 190, 320, 50};
    const Qt::Alignment alignments[4] = {Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignRight,
                                         Qt::AlignLeft};
    for (int i = 0; i < 4; ++i) {
        QLabel* label = nullptr;
        if (i == StageMessage) {
            // The message may be longer than its panel, whose start and count must show; in a
            // window narrower than designed it is the panel that gives way.
            auto* message = new ElidingLabel(this);
            message->setPreferredWidth(widths[i]);
            message->setMaximumWidth(widths[i]);
            label = message;
        } else {
            label = new QLabel(this);
            if (i < 3)
                label->setFixedWidth(widths[i]);
            else
                label->setMinimumWidth(widths[i]);
        }
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(alignments[i] | Qt::AlignVCenter);
        // The last panel takes what is left, as the window size text can be wider than 50.
        addWidget(label, i == 3 ? 1 : 0);
        m_panels[i] = label;
    }
    m_panels[RowPosition]->setText(QStringLiteral("0:0"));
    m_panels[FixedText]->setText(fixedText());
    m_lasting = new ElidingLabel(this);
    m_lasting->setObjectName(QStringLiteral("StatusFailure"));
    m_lasting->setStyleSheet(kFailingStyle);
    m_notice = new ElidingLabel(this);
    m_notice->setObjectName(QStringLiteral("StatusNotice"));
    for (ElidingLabel* label : {m_lasting, m_notice}) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setPreferredWidth(NoticePreferredWidth);
        label->hide();
        addPermanentWidget(label);
    }
}

void MainStatusBar::showNotice(const QString& text, int milliseconds) {
    const quint64 id = m_nextNotice++;
    m_notices.append({id, text});
    QTimer::singleShot(milliseconds, this, [this, id] {
        m_notices.removeIf([id](const auto& notice) { return notice.first == id; });
        showNotices();
    });
    showNotices();
}

void MainStatusBar::setLastingNotice(const QString& text) {
    setLastingNotice(QString(), text);
}

void MainStatusBar::setLastingNotice(const QString& topic, const QString& text) {
    if (text.isEmpty())
        m_lastingTexts.remove(topic);
    else
        m_lastingTexts.insert(topic, text);
    const QString all = m_lastingTexts.values().join(QStringLiteral("  –  "));
    m_lasting->setFullText(all);
    m_lasting->setVisible(!all.isEmpty());
    fitNoticePanels();
}

void MainStatusBar::showNotices() {
    // The newest first: the panel may have room for one only; the tooltip holds them all.
    QStringList texts;
    for (auto it = m_notices.crbegin(); it != m_notices.crend(); ++it)
        texts.append(it->second);
    m_notice->setFullText(texts.join(QStringLiteral("  –  ")));
    m_notice->setVisible(!texts.isEmpty());
    fitNoticePanels();
}

// A failure such as a lost adapter must be read whole at a glance, device name included: its
// panel takes the room it needs (within the window's design) before the message panel, which
// is usually empty, gives only part of it. The passing notice gets the same while no failure
// stands beside it.
void MainStatusBar::fitNoticePanels() {
    const auto needed = [](const ElidingLabel* label) {
        const int frame = label->width() - label->contentsRect().width();
        return label->fontMetrics().horizontalAdvance(label->text()) + frame + 2 * label->margin() +
               4;
    };
    m_lasting->setMinimumWidth(
        m_lasting->isVisibleTo(this) ? qMin(needed(m_lasting), LastingRoomWidth) : 0);
    m_notice->setMinimumWidth(m_notice->isVisibleTo(this) && !m_lasting->isVisibleTo(this)
                                  ? qMin(needed(m_notice), LastingRoomWidth)
                                  : 0);
}

QString MainStatusBar::panelText(int panel) const {
    return panel >= 0 && panel < 4 ? m_panels[panel]->text() : QString();
}

void MainStatusBar::setPanelText(int panel, const QString& text) {
    if (panel == StageMessage)
        static_cast<ElidingLabel*>(m_panels[panel])->setFullText(text);
    else if (panel >= 0 && panel < 4)
        m_panels[panel]->setText(text);
    // The window size shows whole (the message panel gives way first in a narrow window).
    if (panel == WindowSize) {
        QLabel* label = m_panels[panel];
        const int frame = label->width() - label->contentsRect().width();
        label->setMinimumWidth(
            qMax(50, label->fontMetrics().horizontalAdvance(text.trimmed()) + frame + 4));
    }
}

QLabel* MainStatusBar::panel(int panel) const {
    return panel >= 0 && panel < 4 ? m_panels[panel] : nullptr;
}
