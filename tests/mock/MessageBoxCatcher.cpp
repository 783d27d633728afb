#include "MessageBoxCatcher.h"

#include <QAbstractButton>
#include <QApplication>

MessageBoxCatcher::MessageBoxCatcher() {
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &MessageBoxCatcher::look);
    m_timer.start();
}

void MessageBoxCatcher::look() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    seen.append({box->icon(), box->windowTitle(), box->text()});
    const QList<QAbstractButton*> buttons = box->buttons();
    if (buttons.isEmpty())
        box->reject();
    else
        buttons.constFirst()->click();
}
