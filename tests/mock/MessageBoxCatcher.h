#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

// Closes every message box that appears while it lives, with the box's first button, and
// remembers what each one said. It looks every few milliseconds, so it also finds boxes that
// run their own modal event loop.
class MessageBoxCatcher : public QObject {
    Q_OBJECT
public:
    struct Seen {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        QString text;
    };

    MessageBoxCatcher();
    QList<Seen> seen;

private:
    void look();
    QTimer m_timer;
};
