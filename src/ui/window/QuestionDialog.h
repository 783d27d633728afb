#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The small yes/no question every confirmation uses. Neither button is the default, so Enter
// answers with the focused one; callers focus "Nein", which makes Enter and Escape both "no".
class QuestionDialog : public QDialog {
    Q_OBJECT
public:
    explicit QuestionDialog(const QString& programTitle, QWidget* parent = nullptr);

    void setQuestion(const QString& question);
    QString question() const;

    // Sets the question, focuses "Nein", shows the dialog modally; true only for "Ja".
    bool ask(const QString& question);

    QPushButton* yesButton() const { return m_yes; }
    QPushButton* noButton() const { return m_no; }

private:
    // The designed size while the question fits it, larger as far as the question needs.
    void applyLayout();

    QLabel* m_text;
    QPushButton* m_yes;
    QPushButton* m_no;
};
