#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

class BackgroundExport;
class QLabel;
class QProgressBar;

// Shows, while documents are written in the background, what is being written and how far it
// is: pages of a printout counted, other documents as a running bar. Hidden when nothing runs.
class ExportProgress : public QWidget {
    Q_OBJECT
public:
    explicit ExportProgress(BackgroundExport& exports, QWidget* parent = nullptr);

    QString text() const;

private:
    void refresh();

    QPointer<BackgroundExport> m_exports;
    QLabel* m_label = nullptr;
    QProgressBar* m_bar = nullptr;
    QTimer m_poll;
};
