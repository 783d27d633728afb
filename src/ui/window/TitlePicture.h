#pragma once

#include <QPixmap>
#include <QWidget>

// The optional title picture at the right of the header band, scaled to fit with its
// proportions kept and centred in whatever room the band leaves.
class TitlePicture : public QWidget {
    Q_OBJECT
public:
    explicit TitlePicture(QWidget* parent = nullptr);

    // Loads the picture; on failure the widget stays hidden and keeps nothing.
    bool load(const QString& path);
    bool hasPicture() const { return !m_picture.isNull(); }

    // The rectangle the picture takes inside an area: proportional, centred.
    static QRect fittedRect(const QSize& picture, const QRect& area);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};
