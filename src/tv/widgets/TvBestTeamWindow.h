#pragma once

#include "tv/TvTexts.h"
#include "tv/widgets/TvWindow.h"

#include <QPixmap>

class QLabel;

// "Best Team": the leading club and its three counting members, with the logo below.
class TvBestTeamWindow : public TvWindow {
    Q_OBJECT
public:
    explicit TvBestTeamWindow(QWidget* parent = nullptr);

    QWidget* panel() const { return m_panel; }
    QLabel* currentName() const { return m_nameCurrent; }
    QLabel* topLabel() const { return m_labelTop; }
    QLabel* bestLabel() const { return m_labelBest; }
    QWidget* footer() const { return m_footer; }
    QLabel* logoPicture() const { return m_image; }

    // FillBestTeam's texts: without a team only the title stays.
    void setContent(const QString& title, const TvTexts::BestTeam& team);
    bool loadLogo(const QString& path);

    void layoutWindow() override;

private:
    // The heading and the members at the designed size; a long club or name first widens the
    // panel into the black beside it, then gets smaller, so no line is cut.
    void fitTeam();

    QWidget* m_panel = nullptr;
    QLabel* m_nameCurrent = nullptr;
    QLabel* m_labelTop = nullptr;
    QLabel* m_labelBest = nullptr;
    QWidget* m_footer = nullptr;
    QLabel* m_image = nullptr;
    QPixmap m_logo;
    QRect m_panelDesigned;
    int m_font = 1;
};
