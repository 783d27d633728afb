#pragma once

#include <QDialog>
#include <QStringList>

class Competition;
class QLabel;
class QListWidget;
class QPushButton;

// "Ergebnisse freigeben": the classes with their state (vorläufig / offiziell), to be checked
// and released, all released at once, or taken back. It only shows and asks; what is chosen
// goes out through its signals, and it follows the competition while it is open.
class ResultReleaseDialog : public QDialog {
    Q_OBJECT
public:
    explicit ResultReleaseDialog(const Competition& competition, QWidget* parent = nullptr);

    // The classes checked in the list.
    QStringList checkedClasses() const;
    // Shows the classes and their states as the competition has them now; checks stay.
    void refresh();

    static QString itemText(const QString& klass, bool hasResults, bool released);

Q_SIGNALS:
    void releaseRequested(const QStringList& classes);
    void releaseAllRequested();
    void withdrawRequested(const QStringList& classes);

private:
    void updateButtons();

    const Competition& m_competition;
    QLabel* m_state = nullptr;
    QListWidget* m_list = nullptr;
    QPushButton* m_release = nullptr;
    QPushButton* m_releaseAll = nullptr;
    QPushButton* m_withdraw = nullptr;
};
