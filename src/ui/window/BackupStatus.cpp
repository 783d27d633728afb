#include "ui/window/BackupStatus.h"

#include "output/BackupWriter.h"
#include "ui/window/MainStatusBar.h"

#include <QLabel>

namespace {

const QString kFailingStyle =
    QStringLiteral("QLabel { background-color: #FF0000; color: #FFFFFF; }");

} // namespace

BackupStatus::BackupStatus(BackupWriter& writer, MainStatusBar& statusBar, QWidget* window,
                           const QString& programTitle, QObject* parent)
    : QObject(parent), m_writer(writer), m_statusBar(statusBar), m_window(window),
      m_title(programTitle) {
    connect(&writer, &BackupWriter::saved, this, &BackupStatus::writeDone);
}

QString BackupStatus::message(const QString& path, const QString& reason) {
    QString text = QStringLiteral("Die Sicherungsdatei kann nicht geschrieben werden: ") + path;
    if (!reason.isEmpty())
        text += QStringLiteral(" (") + reason + u')';
    return text;
}

void BackupStatus::writeDone(bool ok) {
    if (ok)
        clearFailure();
    else
        showFailure();
}

void BackupStatus::showFailure() {
    const QString text = message(m_writer.backupPath(), m_writer.lastError());
    QLabel* panel = m_statusBar.panel(MainStatusBar::FixedText);
    panel->setText(panelNote());
    panel->setStyleSheet(kFailingStyle);
    panel->setToolTip(text);
    if (m_failing) {
        // The reason may have changed (the disk was full, now the folder is gone).
        if (m_box)
            m_box->setText(text);
        return;
    }
    m_failing = true;
    if (m_box)
        return;
    // Shown, never run: the write happens inside a change of the table, where a nested event
    // loop must not start, and a modal box would take the keys the timing needs. Without
    // activation the main window keeps the keyboard focus; the operator closes the box when
    // there is time.
    m_box = new QMessageBox(QMessageBox::Critical, m_title, text, QMessageBox::Ok, m_window);
    m_box->setObjectName(QStringLiteral("BackupFailureBox"));
    m_box->setWindowModality(Qt::NonModal);
    m_box->setAttribute(Qt::WA_DeleteOnClose);
    m_box->setAttribute(Qt::WA_ShowWithoutActivating);
    m_box->show();
}

void BackupStatus::clearFailure() {
    if (!m_failing)
        return;
    m_failing = false;
    QLabel* panel = m_statusBar.panel(MainStatusBar::FixedText);
    panel->setText(MainStatusBar::fixedText());
    panel->setStyleSheet(QString());
    panel->setToolTip(QString());
}
