#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

class LiveAddressMenu;
class LiveAddressWindow;
class LivePublishing;
class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QWidget;

// The live results in a window: the entry "Live-Ergebnisse im Netzwerk" switches the
// publishing on and off, the status bar shows the address to type (or why the server could not
// start), the submenu "Live-Adresse" chooses among several addresses, and the address window
// shows the address with its QR code.
class LiveResultsControl : public QObject {
    Q_OBJECT
public:
    // Asks for a port, given the current one; nothing when the operator cancels.
    using PortQuestion = std::function<std::optional<int>(int current)>;

    // The window's entries: "Live-Ergebnisse im Netzwerk", the port, the address window, and
    // the menu the address submenu goes into before an entry.
    struct Menu {
        QAction* live;
        QAction* port;
        QAction* address;
        QMenu* programm;
        QAction* before;
    };

    LiveResultsControl(LivePublishing& publishing, Menu menu, QWidget& window,
                       QStatusBar& statusBar, QObject* parent = nullptr);
    ~LiveResultsControl() override;

    void setPortQuestion(PortQuestion question) { m_portQuestion = std::move(question); }

    QString statusText() const;
    LiveAddressWindow* addressWindow() const;
    LiveAddressMenu* addressMenu() const { return m_addressMenu; }

public Q_SLOTS:
    void askPort();
    void showAddressWindow();

private:
    void showState();

    LivePublishing& m_live;
    Menu m_menu;
    QWidget& m_window;
    PortQuestion m_portQuestion;
    QLabel* m_status = nullptr;
    QPointer<LiveAddressWindow> m_addressWindow;
    LiveAddressMenu* m_addressMenu = nullptr;
};
