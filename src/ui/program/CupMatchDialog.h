#pragma once

#include <QDialog>

class CupDocument;
class QLabel;
class QPushButton;
class QTableWidget;

// "Namensabgleich": the competitors who may be one person spelt differently in different races
// ("Maier Jörg, SV Süd" = "Meier Jörg, SV Sued"?), each to confirm or to reject, and the
// answers given so far, each to forget again. The answers are steps of the cup and kept in its
// file; the standings follow them.
class CupMatchDialog : public QDialog {
    Q_OBJECT
public:
    explicit CupMatchDialog(CupDocument& cup, QWidget* parent = nullptr);

private:
    void refresh();
    void answer(bool same);
    void forget();

    CupDocument& m_cup;
    QTableWidget* m_proposals = nullptr;
    QTableWidget* m_answers = nullptr;
    QPushButton* m_same = nullptr;
    QPushButton* m_different = nullptr;
    QPushButton* m_forget = nullptr;
    QLabel* m_count = nullptr;
};
