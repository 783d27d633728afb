#pragma once

#include "live/QrCode.h"

#include <QWidget>

// The live results' address as a large QR code with the address written below, in a window of
// its own that the operator can put on the audience screen, so spectators scan it with their
// phones instead of typing.
class LiveAddressWindow : public QWidget {
    Q_OBJECT
public:
    explicit LiveAddressWindow(QWidget* parent = nullptr);

    void setAddress(const QString& url);
    QString address() const { return m_url; }
    const QrCode& code() const { return m_code; }
    // Where the code is drawn in a window of this size: a square of whole pixels per module,
    // with a quiet zone of four modules, above the line of text.
    static QRect codeRect(const QSize& window, int modules, int textHeight);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_url;
    QrCode m_code;
};
