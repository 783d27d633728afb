#include "live/QrCode.h"

#include <qrencode.h>

QrCode QrCode::encode(const QByteArray& text) {
    QrCode code;
    if (text.isEmpty())
        return code;
    QRcode* encoded = QRcode_encodeString(text.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (!encoded)
        return code;
    code.m_size = encoded->width;
    code.m_modules.reserve(code.m_size * code.m_size);
    // Bit 0 of each byte is the module's colour; the other bits describe its role.
    for (int i = 0; i < code.m_size * code.m_size; ++i)
        code.m_modules.append((encoded->data[i] & 1) != 0);
    QRcode_free(encoded);
    return code;
}

bool QrCode::dark(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_size || y >= m_size)
        return false;
    return m_modules.at(y * m_size + x);
}
