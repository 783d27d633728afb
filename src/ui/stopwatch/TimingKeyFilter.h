#pragma once

#include <QObject>
#include <array>
#include <optional>

class QAction;
class QKeyEvent;

// Lets the timing keys F4 to F12 reach their commands wherever the keyboard is: in an open
// menu, a question or any other modal dialog, where the window's own shortcuts do not fire.
// It triggers the same menu entries, so a disabled entry still does nothing. While a modal
// dialog is open only the keys that take times act (F4, F5, F6, F8, F11, F12): "Eintragen",
// "0,00" and "Nicht im Ziel" (F7) would write or drop a result behind a question that may be
// about to discard the competition, so they wait until it is answered.
// It also keeps the moment a timing key was pressed, taken from the key event's own time stamp,
// for the command that key runs: a window busy when the key came delays the command, not the
// time it takes.
class TimingKeyFilter : public QObject {
    Q_OBJECT
public:
    struct Key {
        int key;
        QAction* action;
        bool underModalDialog;
    };

    explicit TimingKeyFilter(const std::array<Key, 9>& keys, QObject* parent = nullptr);

    // The entry a plain key press should trigger now; nullptr when the key is left alone.
    QAction* commandFor(const QKeyEvent& event, bool modalDialogOpen) const;

    // How long ago the timing key being handled was pressed, in microseconds; nothing when the
    // command at hand came from elsewhere (a button, the menu) or the key's stamp is not
    // believable. Taken once: the next command asks anew.
    std::optional<qint64> takeKeyAge();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Pressed {
        quint64 eventStamp; // the event's own, to know the press again
        qint64 age;         // at the moment it was seen
        qint64 seenAtRaw;   // the raw clock then
    };
    bool isTimingKey(const QKeyEvent& event) const;
    void remember(const QKeyEvent& event);

    std::array<Key, 9> m_keys;
    std::optional<Pressed> m_pressed;
};
