#pragma once

#include <QMainWindow>

// The single working window of the program.
class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(QWidget* parent = nullptr);
};
