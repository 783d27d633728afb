#pragma once

#include <QString>

#include <stdexcept>

// The line settings could not be applied to the opened device.
class EComState : public std::runtime_error {
public:
    explicit EComState(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};
