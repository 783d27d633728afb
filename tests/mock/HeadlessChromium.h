#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

class QSocketNotifier;

// Debian's Chromium without a window, driven over its DevTools pipe: a page is opened, what a
// script in it gives is read back, and what it shows is taken as a PNG.
class HeadlessChromium {
public:
    static QString program() { return QStringLiteral("/usr/bin/chromium"); }

    HeadlessChromium();
    ~HeadlessChromium();
    HeadlessChromium(const HeadlessChromium&) = delete;
    HeadlessChromium& operator=(const HeadlessChromium&) = delete;

    // Starts the browser and a page of the given size; false with the reason in error().
    bool start(int width = 420, int height = 900);
    bool open(const QString& url);
    // The value of a script in the page, run once; undefined after a failure.
    QJsonValue evaluate(const QString& expression);
    // Waits (with Qt's events going on) until the script gives the text.
    bool waitFor(const QString& expression, const QString& text, int ms = 15000);
    bool screenshot(const QString& path);
    QString error() const { return m_error; }

private:
    QJsonObject call(const QString& method, const QJsonObject& params = {}, bool inPage = true);
    void readPipe();

    QTemporaryDir m_profile;
    QProcess m_process;
    int m_toBrowser = -1;
    int m_fromBrowser = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QByteArray m_buffer;
    QHash<int, QJsonObject> m_answers;
    int m_nextId = 1;
    QString m_session;
    QString m_error;
};
