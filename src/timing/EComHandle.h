#pragma once

#include <QString>

#include <stdexcept>

// The serial device could not be opened; the message names the system's reason.
class EComHandle : public std::runtime_error {
public:
    explicit EComHandle(const QString& message, int error = 0)
        : std::runtime_error(message.toStdString()), m_error(error) {}
    QString message() const { return QString::fromStdString(what()); }
    // The errno behind it, so the operator can be told what to do about it; 0 when unknown.
    int error() const { return m_error; }

private:
    int m_error = 0;
};
