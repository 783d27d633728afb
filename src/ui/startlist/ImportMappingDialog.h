#pragma once

#include "output/registration/ImportMapping.h"
#include "output/registration/ImportMemory.h"
#include "output/registration/ImportPlan.h"
#include "output/registration/ImportWorkbook.h"

#include <QDialog>
#include <QList>
#include <QSet>
#include <QStringList>

class ImportClassTable;
class ImportColumnTable;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTreeWidget;

// "Teilnehmer importieren": the operator chooses the sheet and the header row, assigns the
// file's columns, fills the class table and the options, and sees before anything changes which
// rows would be taken and why the others would not. Plain data in, the plan out: the heat start
// list is not touched here.
class ImportMappingDialog : public QDialog {
    Q_OBJECT
public:
    ImportMappingDialog(const ImportWorkbook& workbook, const QList<QStringList>& currentRows,
                        const ImportMemory& memory, const QString& fileName,
                        QWidget* parent = nullptr);

    ImportMapping mapping() const { return m_mapping; }
    // What "Übernehmen" takes: the complete new rows of the heat start list.
    ImportPlan plan() const { return m_plan; }
    // The memory with this import's choices learned, for the settings.
    ImportMemory learnedMemory() const;

    QPushButton* acceptButton() const { return m_accept; }

private:
    QWidget* buildSourceRow();
    QWidget* buildOptions();
    void showSheet(int sheet);
    void headerRowChosen();
    void readChoices();
    void replan();
    const ImportWorkbook::Sheet& sheet() const { return m_workbook.sheets.at(m_mapping.sheet); }

    ImportWorkbook m_workbook;
    QList<QStringList> m_currentRows;
    ImportMemory m_memory;
    ImportMapping m_mapping;
    ImportPlan m_plan;
    bool m_listHasData = false;
    QSet<QString> m_seenClassTexts; // class keys the operator has had in the class table

    QComboBox* m_sheetBox = nullptr;
    QComboBox* m_headerBox = nullptr;
    ImportColumnTable* m_columns = nullptr;
    ImportClassTable* m_classes = nullptr;
    QLabel* m_classHint = nullptr;
    QRadioButton* m_append = nullptr;
    QRadioButton* m_replace = nullptr;
    QRadioButton* m_skip = nullptr;
    QRadioButton* m_update = nullptr;
    QCheckBox* m_number = nullptr;
    QSpinBox* m_firstNumber = nullptr;
    QLabel* m_summary = nullptr;
    QTreeWidget* m_report = nullptr;
    QPushButton* m_accept = nullptr;
};
