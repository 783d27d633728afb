#include "tv/widgets/TvBestTeamWindow.h"

#include "tv/BestTeamWindowLayout.h"
#include "tv/TextFit.h"
#include "tv/widgets/Label3D.h"

#include <QImageReader>
#include <QLabel>

TvBestTeamWindow::TvBestTeamWindow(QWidget* parent)
    : TvWindow(QStringLiteral("Best Team"), parent) {
    LabelTitle()->setFontColor(Qt::yellow);
    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("PanelMiddle"));
    setColours(m_panel, Qt::black, Qt::white);
    m_nameCurrent = makeBar(m_panel, "NameCurrent", QColor(0xC0, 0x00, 0x00), Qt::white);
    m_nameCurrent->setText(QStringLiteral("Best Team"));
    m_labelTop = makeBar(m_panel, "LabelTop", QColor(0x99, 0xCC, 0xFF), Qt::black);
    m_labelBest = makeBar(this, "LabelBest", QColor(0xE6, 0xD8, 0x3A), Qt::black);
    m_footer = makeLogoFooter(m_image);
}

void TvBestTeamWindow::setContent(const QString& title, const TvTexts::BestTeam& team) {
    if (LabelTitle()->caption() != title) {
        LabelTitle()->setCaption(title);
        layoutWindow();
    }
    m_labelBest->clear();
    m_nameCurrent->setText(team.heading);
    m_labelTop->setText(team.members);
    fitTeam();
}

void TvBestTeamWindow::fitTeam() {
    const int margin = textMargin(m_font);
    int panelWidth = m_panelDesigned.width();
    for (const QLabel* text : {m_nameCurrent, m_labelTop})
        panelWidth =
            TextFit::barWidth(text->text(), m_font, panelWidth, width(), margin, measure());
    const int centred = m_panelDesigned.x() + (m_panelDesigned.width() - panelWidth) / 2;
    m_panel->setGeometry(qBound(0, centred, qMax(0, width() - panelWidth)), m_panelDesigned.y(),
                         panelWidth, m_panelDesigned.height());
    m_nameCurrent->resize(panelWidth, m_nameCurrent->height());
    m_labelTop->resize(panelWidth, m_labelTop->height());
    fitText(m_nameCurrent, m_font);
    fitText(m_labelTop, m_font);
}

bool TvBestTeamWindow::loadLogo(const QString& path) {
    QImageReader reader(path);
    m_logo = QPixmap::fromImage(path.isEmpty() ? QImage() : reader.read());
    layoutWindow();
    return !m_logo.isNull();
}

void TvBestTeamWindow::layoutWindow() {
    const BestTeamWindowLayout l =
        BestTeamWindowLayout::compute(size(), LabelTitle()->caption(), measure());
    setFont(tvFont(l.windowFont));
    LabelTitle()->setGeometry(l.title);
    LabelTitle()->setFont(tvFont(l.titleFont));
    m_panelDesigned = l.panel;
    m_font = l.windowFont;
    m_nameCurrent->setGeometry(l.heading);
    m_labelTop->setGeometry(l.members);
    fitTeam();
    m_labelBest->setFont(tvFont(l.labelBestFont));
    m_labelBest->setGeometry(0, l.panel.bottom() + 1, width(), 0);
    m_footer->setGeometry(l.footer);
    m_image->setGeometry(0, 0, l.footer.width(), l.footer.height());
    m_image->setPixmap(m_logo.isNull() ? QPixmap()
                                       : m_logo.scaled(m_image->size(), Qt::KeepAspectRatio,
                                                       Qt::SmoothTransformation));
}
