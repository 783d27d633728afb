#pragma once

#include <QByteArray>
#include <QList>

// A QR code of a short text, as a square of dark and light modules (libqrencode, error
// correction level M); empty when the text cannot be encoded.
class QrCode {
public:
    static QrCode encode(const QByteArray& text);

    int size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    bool dark(int x, int y) const;

private:
    int m_size = 0;
    QList<bool> m_modules;
};
