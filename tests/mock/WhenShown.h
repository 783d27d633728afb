#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

// Acts on the next modal dialog of a type once it is shown, from inside its own event loop:
// the way a test fills a form that the command under test runs with exec().
template <typename Dialog> void whenShown(std::function<void(Dialog&)> act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(*dialog);
    });
    timer->start(10);
}
