#include "print/ExportProgress.h"

#include "output/BackgroundExport.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

ExportProgress::ExportProgress(BackgroundExport& exports, QWidget* parent)
    : QWidget(parent), m_exports(&exports) {
    setObjectName(QStringLiteral("exportProgress"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    m_label = new QLabel(this);
    m_bar = new QProgressBar(this);
    m_bar->setTextVisible(false);
    m_bar->setMaximumWidth(m_bar->fontMetrics().horizontalAdvance(u'0') * 12);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    m_poll.setInterval(100);
    connect(&m_poll, &QTimer::timeout, this, &ExportProgress::refresh);
    connect(&exports, &BackgroundExport::busyChanged, this, [this](bool busy) {
        if (busy)
            m_poll.start();
        else
            m_poll.stop();
        refresh();
    });
    refresh();
}

QString ExportProgress::text() const {
    return m_label->text();
}

void ExportProgress::refresh() {
    if (!m_exports || !m_exports->busy()) {
        m_poll.stop();
        m_label->clear();
        hide();
        return;
    }
    const int total = m_exports->total();
    QString text = m_exports->task() + QStringLiteral(" ...");
    if (total > 0) {
        m_bar->setRange(0, total);
        m_bar->setValue(qMin(m_exports->done(), total));
        text += QStringLiteral(" %1 von %2").arg(m_exports->done()).arg(total);
    } else {
        // A running bar: the writer cannot say how far it is.
        m_bar->setRange(0, 0);
    }
    m_label->setText(text);
    show();
}
