#include "tv/widgets/TvWindow.h"

#include "tv/TextFit.h"
#include "tv/widgets/Label3D.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>

TvWindow::TvWindow(const QString& name, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(name);
    setWindowTitle(name);
    setCursor(Qt::BlankCursor);
    setAutoFillBackground(true);
    setColours(this, Qt::black, Qt::white);
    setFont(tvFont(12));
    m_title = new Label3D(this);
    m_title->setObjectName(QStringLiteral("LabelTitle"));
    m_title->setColor(QColor(0x40, 0x40, 0x40));
    m_title->setFontColor(Qt::white);
    m_title->setAlignment(Qt::AlignHCenter);
    m_title->setLayout(Label3D::Layout::Center);
    m_title->setShowAccelChar(false);
}

QFont TvWindow::tvFont(int pixelSize, bool italic) {
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setItalic(italic);
    font.setPixelSize(qMax(1, pixelSize));
    return font;
}

TextMeasure TvWindow::measure() {
    return [](const QString& text, int pixelSize) {
        const QFontMetrics metrics(tvFont(pixelSize));
        return QSize(metrics.horizontalAdvance(text), metrics.height());
    };
}

QLabel* TvWindow::makeBar(QWidget* parent, const char* name, const QColor& background,
                          const QColor& text) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    setColours(label, background, text);
    return label;
}

void TvWindow::fitText(QLabel* label, int designedSize) {
    const int margin = textMargin(designedSize);
    const QSize room(label->width() - 2 * margin, label->height());
    label->setFont(tvFont(TextFit::size(label->text(), designedSize, room, measure())));
}

QWidget* TvWindow::makeLogoFooter(QLabel*& image) {
    auto* footer = new QWidget(this);
    footer->setObjectName(QStringLiteral("Footer"));
    setColours(footer, Qt::white, Qt::black);
    image = new QLabel(footer);
    image->setObjectName(QStringLiteral("Image2"));
    image->setAlignment(Qt::AlignCenter);
    return footer;
}

void TvWindow::setColours(QWidget* widget, const QColor& background, const QColor& text) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void TvWindow::takeBounds(const QRect& bounds) {
    if (geometry() != bounds)
        setGeometry(bounds);
}

void TvWindow::placeTvWindow(const QRect& bounds, bool, bool modeChecked) {
    takeBounds(bounds);
    layoutWindow();
    if (modeChecked)
        show();
}

void TvWindow::keyPressEvent(QKeyEvent* event) {
    if (m_screenIndex == 0 && event->key() == Qt::Key_Escape) {
        Q_EMIT offRequested();
        return;
    }
    event->ignore();
}

void TvWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    Q_EMIT offRequested();
}

void TvWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutWindow();
}
