#pragma once

#include <QObject>
#include <array>

class QAction;
class QKeyEvent;

// Lets the timing keys F4 to F12 reach their commands wherever the keyboard is: in an open
// menu, a question or any other modal dialog, where the window's own shortcuts do not fire.
// It triggers the same menu entries, so a disabled entry still does nothing. While a modal
// dialog is open only the keys that take times act (F4, F5, F6, F8, F11, F12): "Eintragen"
// and "0,00" would write or drop a time behind a question that may be about to discard the
// competition, so they wait until it is answered.
class TimingKeyFilter : public QObject {
    Q_OBJECT
public:
    struct Key {
        int key;
        QAction* action;
        bool underModalDialog;
    };

    explicit TimingKeyFilter(const std::array<Key, 8>& keys, QObject* parent = nullptr);

    // The entry a plain key press should trigger now; nullptr when the key is left alone.
    QAction* commandFor(const QKeyEvent& event, bool modalDialogOpen) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::array<Key, 8> m_keys;
};
