#include "live/widgets/LiveAddressWindow.h"

#include <QPainter>

namespace {

constexpr int QuietModules = 4;

} // namespace

LiveAddressWindow::LiveAddressWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("LiveAddressWindow"));
    setWindowTitle(QStringLiteral("Live-Ergebnisse"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(480, 560);
    setMinimumSize(200, 240);
}

void LiveAddressWindow::setAddress(const QString& url) {
    m_url = url;
    m_code = QrCode::encode(url.toUtf8());
    update();
}

QRect LiveAddressWindow::codeRect(const QSize& window, int modules, int textHeight) {
    if (modules <= 0)
        return {};
    const int total = modules + 2 * QuietModules;
    const int side = qMin(window.width(), window.height() - textHeight);
    const int scale = qMax(1, side / total);
    const int extent = total * scale;
    const int left = (window.width() - extent) / 2;
    const int top = qMax(0, (window.height() - textHeight - extent) / 2);
    return QRect(left + QuietModules * scale, top + QuietModules * scale, modules * scale,
                 modules * scale);
}

void LiveAddressWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(qMax(10, qMin(width() / 18, height() / 14)));
    painter.setFont(font);
    const int textHeight = painter.fontMetrics().height() * 2;
    if (!m_code.isEmpty()) {
        const QRect area = codeRect(size(), m_code.size(), textHeight);
        const int scale = area.width() / m_code.size();
        for (int y = 0; y < m_code.size(); ++y) {
            for (int x = 0; x < m_code.size(); ++x) {
                if (m_code.dark(x, y))
                    painter.fillRect(area.left() + x * scale, area.top() + y * scale, scale, scale,
                                     Qt::black);
            }
        }
    }
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, height() - textHeight, width(), textHeight), Qt::AlignCenter, m_url);
}
