#pragma once

#include "output/registration/LateEntry.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Nachmeldung": a competitor registered at the slide, in seconds. The number is proposed as
// the next free one and the focus waits in "Name"; the club completes from the clubs of the
// list. "Übernehmen" is offered only for an entry the list can take; the caller appends
// entry().cells() and selects the new row.
class LateEntryDialog : public QDialog {
    Q_OBJECT
public:
    explicit LateEntryDialog(const QList<QStringList>& currentRows, QWidget* parent = nullptr);

    LateEntry entry() const;
    QPushButton* acceptButton() const { return m_accept; }

private:
    void check();

    QList<QStringList> m_rows;
    QLineEdit* m_nr;
    QLineEdit* m_name;
    QLineEdit* m_vorname;
    QLineEdit* m_verein;
    QComboBox* m_kl;
    QCheckBox* m_meister;
    QLabel* m_problem;
    QPushButton* m_accept;
};
