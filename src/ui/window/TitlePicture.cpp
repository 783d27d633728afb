#include "ui/window/TitlePicture.h"

#include <QImageReader>
#include <QPainter>

TitlePicture::TitlePicture(QWidget* parent) : QWidget(parent) {
    hide();
}

bool TitlePicture::load(const QString& path) {
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull()) {
        m_picture = QPixmap();
        hide();
        return false;
    }
    m_picture = QPixmap::fromImage(image);
    show();
    update();
    return true;
}

QRect TitlePicture::fittedRect(const QSize& picture, const QRect& area) {
    if (picture.isEmpty() || area.isEmpty())
        return QRect();
    const QSize scaled = picture.scaled(area.size(), Qt::KeepAspectRatio);
    return QRect(area.left() + (area.width() - scaled.width()) / 2,
                 area.top() + (area.height() - scaled.height()) / 2, scaled.width(),
                 scaled.height());
}

void TitlePicture::paintEvent(QPaintEvent*) {
    if (m_picture.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(fittedRect(m_picture.size(), rect()), m_picture);
}
