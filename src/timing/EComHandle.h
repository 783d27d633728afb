#pragma once

#include <QString>

#include <stdexcept>

// The serial device could not be opened; the message names the system's reason.
class EComHandle : public std::runtime_error {
public:
    explicit EComHandle(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};
