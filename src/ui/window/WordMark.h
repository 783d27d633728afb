#pragma once

#include <QWidget>

// The maker's word mark in the header band: two coloured parts over black shadow copies and a
// small stopwatch picture. A click anywhere on it asks for the maker's web page.
class WordMark : public QWidget {
    Q_OBJECT
public:
    explicit WordMark(QWidget* parent = nullptr);

    static QString firstPart() { return QStringLiteral("Quar"); }
    static QString secondPart() { return QStringLiteral("nek"); }
    static QString makerAddress() { return QStringLiteral("www.quarnek.de"); }

    QSize sizeHint() const override;

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QFont m_font;
};
