#pragma once

#include <QObject>
#include <QString>

// Tells which kind of input the command being handled came from: it watches the application's
// key and mouse events and names the last one until the event loop has finished with it.
class JournalInputSource : public QObject {
    Q_OBJECT
public:
    explicit JournalInputSource(QObject* parent = nullptr);

    // "Taste", "Knopf", "Menü", "Maus"; empty outside the handling of an input event.
    QString current() const { return m_current; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void noteInput(const QString& source);

    QString m_current;
    bool m_clearPending = false;
};
