#include "tv/widgets/TvTop3Window.h"

#include "tv/Top3WindowLayout.h"
#include "tv/widgets/Label3D.h"
#include "tv/widgets/Top3CellDelegate.h"
#include "tv/widgets/TvWordMark.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QTimer>

namespace {

constexpr int RelayoutMs = 200;
constexpr int BlockLines = 3;

Qt::Alignment columnAlignment(int column) {
    switch (column) {
    case 2:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case 3:
    case 4:
        return Qt::AlignCenter;
    default:
        return Qt::AlignRight | Qt::AlignVCenter;
    }
}

} // namespace

TvTop3Window::TvTop3Window(QWidget* parent) : TvWindow(QStringLiteral("TOP3 je Klasse"), parent) {
    Label3D* title = LabelTitle();
    title->setHighLightColor(Qt::red);
    title->setShadowColor(Qt::red);

    m_table = new QTableWidget(Top3WindowLayout::Lines, Columns, this);
    m_table->setObjectName(QStringLiteral("SortGrid1"));
    m_table->horizontalHeader()->hide();
    m_table->verticalHeader()->hide();
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setFocusPolicy(Qt::NoFocus);
    m_table->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_table->setFrameShape(QFrame::NoFrame);
    m_table->setShowGrid(false);
    // Only vertical lines between the columns.
    m_table->setItemDelegate(new Top3CellDelegate(m_table));
    setColours(m_table->viewport(), QColor(0x99, 0xCC, 0xFF), Qt::black);
    for (int line = 0; line < Top3WindowLayout::Lines; ++line)
        for (int column = 0; column < Columns; ++column) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(columnAlignment(column));
            // Lines count from 1 in the designed table; odd lines are the light ones.
            item->setBackground((line + 1) % 2 == 1 ? QColor(0xD2, 0xE7, 0xFF)
                                                    : QColor(0x99, 0xCC, 0xFF));
            item->setForeground(Qt::black);
            m_table->setItem(line, column, item);
        }

    m_footer = new QWidget(this);
    m_footer->setObjectName(QStringLiteral("Footer"));
    setColours(m_footer, Qt::white, Qt::black);
    m_wordMark = new TvWordMark(m_footer);
    m_footerText = new QLabel(QStringLiteral("TOP 3 je Klasse "), m_footer);
    m_footerText->setObjectName(QStringLiteral("LabelTop3"));
    m_footerText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setColours(m_footerText, Qt::white, Qt::black);
    m_footerText->setAutoFillBackground(false);

    m_relayout = new QTimer(this);
    m_relayout->setSingleShot(true);
    m_relayout->setInterval(RelayoutMs);
    connect(m_relayout, &QTimer::timeout, this, &TvTop3Window::layoutWindow);
    layoutWindow();
}

QList<QStringList> TvTop3Window::lines(const QList<ClassTop3>& blocks) {
    QList<QStringList> out(Top3WindowLayout::Lines, QStringList(Columns, QString()));
    for (int k = 0; k < blocks.size(); ++k)
        for (const ClassTop3::Entry& e : blocks[k].entries) {
            const int line = BlockLines * k + e.slot;
            if (line >= Top3WindowLayout::Lines)
                continue;
            out[line] = {e.place + u'.', e.number,   u' ' + e.name + u' ' + e.firstName,
                         e.className,    e.champion, e.time + u' '};
        }
    return out;
}

void TvTop3Window::setContent(const QString& title, const QList<ClassTop3>& blocks) {
    if (LabelTitle()->caption() != title) {
        LabelTitle()->setCaption(title);
        layoutWindow();
    }
    const QList<QStringList> cells = lines(blocks);
    for (int line = 0; line < cells.size(); ++line)
        for (int column = 0; column < Columns; ++column)
            m_table->item(line, column)->setText(cells[line][column]);
}

void TvTop3Window::setReleaseWord(const QString& word) {
    m_footerText->setText(word.isEmpty() ? QStringLiteral("TOP 3 je Klasse ")
                                         : QStringLiteral("TOP 3 je Klasse · ") + word + u' ');
}

QString TvTop3Window::cellText(int line, int column) const {
    const QTableWidgetItem* item = m_table->item(line, column);
    return item ? item->text() : QString();
}

void TvTop3Window::placeTvWindow(const QRect& bounds, bool separateScreen, bool modeChecked) {
    if (!separateScreen)
        return;
    TvWindow::placeTvWindow(bounds, separateScreen, modeChecked);
}

void TvTop3Window::layoutWindow() {
    const Top3WindowLayout l =
        Top3WindowLayout::compute(size(), LabelTitle()->caption(), measure());
    setFont(tvFont(l.windowFont));
    LabelTitle()->setGeometry(l.title);
    LabelTitle()->setFont(tvFont(l.titleFont));
    m_table->setGeometry(l.table);
    m_table->setFont(tvFont(l.windowFont));
    for (int line = 0; line < Top3WindowLayout::Lines; ++line)
        m_table->setRowHeight(line, l.rowHeight);
    for (int column = 0; column < Columns; ++column)
        m_table->setColumnWidth(column, qMax(0, l.columnWidths[column]));
    m_footer->setGeometry(l.footer);
    m_footerText->setFont(tvFont(l.footerFont, true));
    m_footerText->setGeometry(0, 0, l.footer.width(), l.footer.height());
    std::array<int, 3> widths{};
    int total = 0;
    const auto parts = TvWordMark::parts();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        widths[i] = measure()(parts[i], l.wordMarkFont).width();
        total += widths[i];
    }
    m_wordMark->setGeometry(0, 0, total + 2, l.footer.height());
    m_wordMark->arrange(l.wordMarkFont, widths, l.footer.height());
    m_wordMark->raise();
}

void TvTop3Window::showEvent(QShowEvent* event) {
    TvWindow::showEvent(event);
    layoutWindow();
    m_relayout->start();
}
