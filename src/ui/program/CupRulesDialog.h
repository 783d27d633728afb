#pragma once

#include "cup/CupRules.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QStackedWidget;

// "Wertungsregeln": how the cup scores, counts and breaks ties. Refuses to close on a formula
// or a points table it cannot read, and says what is wrong with it.
class CupRulesDialog : public QDialog {
    Q_OBJECT
public:
    CupRulesDialog(const QString& name, const CupRules& rules, QWidget* parent = nullptr);

    QString name() const;
    CupRules rules() const;

    void accept() override;

    // "100, 80, 60" -> the table; nullopt with the reason for anything else.
    static std::optional<QList<int>> parseTable(const QString& text, QString* error);
    static QString tableText(const QList<int>& table);

private:
    void scoringChosen();
    void tableChosen();
    bool check(QString* error) const;

    QLineEdit* m_name = nullptr;
    QComboBox* m_scoring = nullptr;
    QStackedWidget* m_scoringPages = nullptr;
    QComboBox* m_readyTable = nullptr;
    QLineEdit* m_table = nullptr;
    QLineEdit* m_formula = nullptr;
    QCheckBox* m_cutOff = nullptr;
    QDoubleSpinBox* m_cutOffPercent = nullptr;
    QComboBox* m_statusRule = nullptr;
    QDoubleSpinBox* m_statusValue = nullptr;
    QSpinBox* m_bestOf = nullptr;
    QSpinBox* m_minStarts = nullptr;
    QListWidget* m_tieBreaks = nullptr;
    QSpinBox* m_clubMembers = nullptr;
    QComboBox* m_clubScope = nullptr;
    QSpinBox* m_plannedRaces = nullptr;
    QLabel* m_error = nullptr;
};
