#include "mock/HeadlessChromium.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSocketNotifier>
#include <QTest>
#include <fcntl.h>
#include <unistd.h>

HeadlessChromium::HeadlessChromium() = default;

HeadlessChromium::~HeadlessChromium() {
    m_notifier.reset();
    if (m_toBrowser >= 0)
        ::close(m_toBrowser);
    if (m_fromBrowser >= 0)
        ::close(m_fromBrowser);
    m_process.kill();
    m_process.waitForFinished(5000);
}

bool HeadlessChromium::start(int width, int height) {
    int in[2];
    int out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
        m_error = QStringLiteral("no pipes for the browser");
        return false;
    }
    // The browser reads its commands on descriptor 3 and answers on 4.
    m_process.setChildProcessModifier([in, out] {
        const int read = fcntl(in[0], F_DUPFD_CLOEXEC, 10);
        const int write = fcntl(out[1], F_DUPFD_CLOEXEC, 10);
        if (dup2(read, 3) < 0 || dup2(write, 4) < 0)
            _exit(127);
    });
    // It complains of every missing desktop service; what counts comes over the pipe.
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start(program(),
                    {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                     "--no-first-run", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync", "--hide-scrollbars",
                     "--remote-debugging-pipe", "--user-data-dir=" + m_profile.path(),
                     QStringLiteral("--window-size=%1,%2").arg(width).arg(height), "about:blank"});
    ::close(in[0]);
    ::close(out[1]);
    m_toBrowser = in[1];
    m_fromBrowser = out[0];
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("chromium does not start: ") + m_process.errorString();
        return false;
    }
    m_notifier = std::make_unique<QSocketNotifier>(m_fromBrowser, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readPipe(); });
    const QJsonObject targets = call(QStringLiteral("Target.getTargets"), {}, false);
    for (const QJsonValue& target : targets[QStringLiteral("targetInfos")].toArray()) {
        if (target[QStringLiteral("type")].toString() != QStringLiteral("page"))
            continue;
        m_session = call(QStringLiteral("Target.attachToTarget"),
                         {{"targetId", target[QStringLiteral("targetId")]}, {"flatten", true}},
                         false)[QStringLiteral("sessionId")]
                        .toString();
        break;
    }
    if (m_session.isEmpty() && m_error.isEmpty())
        m_error = QStringLiteral("chromium shows no page");
    return m_error.isEmpty();
}

void HeadlessChromium::readPipe() {
    char chunk[65536];
    const ssize_t size = ::read(m_fromBrowser, chunk, sizeof chunk);
    if (size <= 0) {
        m_notifier->setEnabled(false);
        return;
    }
    m_buffer.append(chunk, size);
    // Each message ends in a NUL.
    for (qsizetype end = m_buffer.indexOf('\0'); end >= 0; end = m_buffer.indexOf('\0')) {
        const QJsonObject message = QJsonDocument::fromJson(m_buffer.left(end)).object();
        m_buffer.remove(0, end + 1);
        if (message.contains(QStringLiteral("id")))
            m_answers.insert(message[QStringLiteral("id")].toInt(), message);
    }
}

QJsonObject HeadlessChromium::call(const QString& method, const QJsonObject& params, bool inPage) {
    const int id = m_nextId++;
    QJsonObject command{{"id", id}, {"method", method}, {"params", params}};
    if (inPage)
        command.insert(QStringLiteral("sessionId"), m_session);
    const QByteArray bytes = QJsonDocument(command).toJson(QJsonDocument::Compact) + '\0';
    if (::write(m_toBrowser, bytes.constData(), size_t(bytes.size())) != bytes.size()) {
        m_error = QStringLiteral("chromium does not read its commands");
        return {};
    }
    if (!QTest::qWaitFor([&] { return m_answers.contains(id); }, 15000)) {
        m_error = method + QStringLiteral(": no answer from chromium");
        return {};
    }
    const QJsonObject answer = m_answers.take(id);
    if (answer.contains(QStringLiteral("error")))
        m_error = method + QStringLiteral(": ") +
                  answer[QStringLiteral("error")][QStringLiteral("message")].toString();
    return answer[QStringLiteral("result")].toObject();
}

bool HeadlessChromium::open(const QString& url) {
    const QJsonObject result = call(QStringLiteral("Page.navigate"), {{"url", url}});
    return !result.isEmpty() && !result.contains(QStringLiteral("errorText"));
}

QJsonValue HeadlessChromium::evaluate(const QString& expression) {
    return call(QStringLiteral("Runtime.evaluate"),
                {{"expression", expression}, {"returnByValue", true}})[QStringLiteral("result")]
        .toObject()[QStringLiteral("value")];
}

bool HeadlessChromium::waitFor(const QString& expression, const QString& text, int ms) {
    return QTest::qWaitFor([&] { return evaluate(expression).toString() == text; }, ms);
}

bool HeadlessChromium::screenshot(const QString& path) {
    const QByteArray png = QByteArray::fromBase64(
        call(QStringLiteral("Page.captureScreenshot"))[QStringLiteral("data")]
            .toString()
            .toLatin1());
    QFile file(path);
    return !png.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(png) == png.size();
}
