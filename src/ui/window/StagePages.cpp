#include "ui/window/StagePages.h"

#include "competition/Competition.h"
#include "competition/StageTables.h"
#include "competition/widgets/CompetitionTableView.h"
#include "widgets/PageTabBar.h"

#include <QCheckBox>

StagePages::StagePages(Competition& competition, QWidget* parent)
    : QTabWidget(parent), m_tabBar(new PageTabBar(this)) {
    setObjectName(QStringLiteral("StagePages"));
    setTabBar(m_tabBar);
    QPalette tabPalette = palette();
    tabPalette.setColor(QPalette::WindowText, QColor(TextColour));
    setPalette(tabPalette);
    const QStringList captions = StageTables::pageCaptions();
    for (int page = 0; page < 4; ++page) {
        auto* view = new CompetitionTableView(&competition.stageTable(page),
                                              &competition.timeFormat(), this);
        view->setObjectName(QStringLiteral("SortGrid%1").arg(page + 1));
        view->setSubstituteSource(competition.substitutes());
        // Marks change without a cell changing, so the table would not repaint by itself.
        connect(&competition, &Competition::substituteMarksChanged, view->viewport(),
                qOverload<>(&QWidget::update));
        addTab(view, captions[page]);
        setTabEnabled(page, false);
        m_views[page] = view;
    }
    m_editBox = new QCheckBox(QStringLiteral("Markierte Zeile bearbeiten"), this);
    m_editBox->setObjectName(QStringLiteral("cdEdit"));
    QFont editFont = m_editBox->font();
    editFont.setBold(true);
    editFont.setPointSize(8);
    m_editBox->setFont(editFont);
    QPalette editPalette = m_editBox->palette();
    editPalette.setColor(QPalette::WindowText, QColor(TextColour));
    m_editBox->setPalette(editPalette);
    setCornerWidget(m_editBox, Qt::TopRightCorner);
    m_shownPage = currentIndex();
    connect(this, &QTabWidget::currentChanged, this, &StagePages::onCurrentChanged);
}

CompetitionTableView* StagePages::view(int page) const {
    return page >= 0 && page < 4 ? m_views[page] : nullptr;
}

void StagePages::setActivePageSilently(int page) {
    m_silent = true;
    setCurrentIndex(page);
    m_silent = false;
    m_shownPage = currentIndex();
}

void StagePages::stepPage(int step) {
    if (!isEnabled() || count() == 0 || step == 0)
        return;
    const int from = qMax(0, currentIndex());
    for (int i = 1; i < count(); ++i) {
        const int page = ((from + i * step) % count() + count()) % count();
        if (isTabEnabled(page)) {
            setCurrentIndex(page);
            return;
        }
    }
}

void StagePages::onCurrentChanged(int index) {
    const int leaving = m_shownPage;
    m_shownPage = index;
    if (m_silent || index < 0)
        return;
    Q_EMIT pageChanging(leaving);
    Q_EMIT pageChanged(index);
}
