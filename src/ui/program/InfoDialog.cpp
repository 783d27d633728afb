#include "ui/program/InfoDialog.h"

#include "ui/window/WordMark.h"

#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QUrl>

namespace {

constexpr int DesignedWidth = 330;
constexpr int DesignedHeight = 178;
constexpr int NoticeMargin = 10;

// A slide with a competitor and a stopwatch: the program's own picture, no file needed.
QPixmap infoPicture() {
    QPixmap picture(116, 146);
    picture.fill(QColor(0xD8E8F8));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRect(0, 110, 116, 36), QColor(0x6AA84F));
    QPolygonF slide;
    slide << QPointF(8, 30) << QPointF(20, 30) << QPointF(108, 118) << QPointF(92, 118);
    p.setPen(QPen(QColor(0x1F4E79), 2));
    p.setBrush(QColor(0x3D85C6));
    p.drawPolygon(slide);
    p.setBrush(QColor(0xCC0000));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(42, 52), 7, 7);
    p.setPen(QPen(QColor(0xCC0000), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(46, 58), QPointF(60, 70));
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(84, 32), 18, 18);
    p.drawLine(QPointF(84, 32), QPointF(84, 20));
    p.drawLine(QPointF(84, 32), QPointF(93, 36));
    p.setBrush(Qt::black);
    p.drawRect(QRectF(80, 8, 8, 5));
    return picture;
}

} // namespace

InfoDialog::InfoDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("InfoDialog"));
    setWindowTitle(QStringLiteral("Information"));
    setFixedSize(DesignedWidth, DesignedHeight);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("PanelPicture"));
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(2);
    frame->setGeometry(10, 12, 124, 154);
    auto* picture = new QLabel(frame);
    picture->setObjectName(QStringLiteral("ImageInfo"));
    picture->setGeometry(2, 2, 120, 150);
    picture->setAlignment(Qt::AlignCenter);
    picture->setPixmap(infoPicture());

    auto* name = new QLabel(QStringLiteral("Velmora"), this);
    name->setObjectName(QStringLiteral("LabelProgram"));
    QFont nameFont = name->font();
    nameFont.setBold(true);
    nameFont.setPointSize(nameFont.pointSize() + 6);
    name->setFont(nameFont);
    name->setGeometry(148, 16, 170, 32);

    auto* version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("LabelVersion"));
    version->setGeometry(148, 54, 170, 20);

    m_link = new QLabel(WordMark::makerAddress(), this);
    m_link->setObjectName(QStringLiteral("LabelLink"));
    QFont linkFont = m_link->font();
    linkFont.setUnderline(true);
    m_link->setFont(linkFont);
    QPalette linkPalette = m_link->palette();
    linkPalette.setColor(QPalette::WindowText, Qt::blue);
    m_link->setPalette(linkPalette);
    m_link->setCursor(Qt::PointingHandCursor);
    m_link->setGeometry(148, 84, 170, 20);
    m_link->installEventFilter(this);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("bOK"));
    m_ok->setDefault(true);
    m_ok->setGeometry(238, 138, 80, 28);
    // "OK" is both the default and the cancel button: Enter and Escape close the window.
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("LabelNotice"));
    m_notice->setWordWrap(true);
    QPalette noticePalette = m_notice->palette();
    noticePalette.setColor(QPalette::WindowText, QColor(0xA00000));
    m_notice->setPalette(noticePalette);
    m_notice->hide();
}

void InfoDialog::setNotice(const QString& notice) {
    m_notice->setText(notice);
    m_notice->setVisible(!notice.isEmpty());
    const int width = DesignedWidth - 2 * NoticeMargin;
    const int height = notice.isEmpty() ? 0 : m_notice->heightForWidth(width);
    m_notice->setGeometry(NoticeMargin, DesignedHeight, width, height);
    setFixedSize(DesignedWidth, DesignedHeight + (height > 0 ? height + NoticeMargin : 0));
}

QUrl InfoDialog::linkUrl() const {
    return QUrl(QStringLiteral("http://") + m_link->text());
}

bool InfoDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_link && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            QDesktopServices::openUrl(linkUrl());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
