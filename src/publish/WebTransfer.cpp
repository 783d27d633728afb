#include "publish/WebTransfer.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <curl/curl.h>
#include <mutex>

namespace {

void initLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Source {
    const QByteArray* bytes = nullptr;
    qsizetype at = 0;
};

size_t readBytes(char* buffer, size_t size, size_t count, void* data) {
    auto* source = static_cast<Source*>(data);
    const size_t left = size_t(source->bytes->size() - source->at);
    const size_t n = std::min(size * count, left);
    std::memcpy(buffer, source->bytes->constData() + source->at, n);
    source->at += qsizetype(n);
    return n;
}

// Answers of the server (listings, error pages) are not needed.
size_t discard(char*, size_t size, size_t count, void*) {
    return size * count;
}

int progress(void* data, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* cancelled = static_cast<const std::function<bool()>*>(data);
    return (*cancelled && (*cancelled)()) ? 1 : 0;
}

class Commands {
public:
    Commands() = default;
    Commands(const Commands&) = delete;
    Commands& operator=(const Commands&) = delete;
    ~Commands() { curl_slist_free_all(m_list); }
    void add(const QByteArray& command) { m_list = curl_slist_append(m_list, command.constData()); }
    curl_slist* list() const { return m_list; }

private:
    curl_slist* m_list = nullptr;
};

// A path in the SFTP server's commands, quoted so that blanks and quotes pass.
QByteArray quoted(QString path) {
    path.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return '"' + path.toUtf8() + '"';
}

} // namespace

std::optional<WebTransfer::Folder> WebTransfer::folderOf(const QString& text) {
    QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || !url.query().isEmpty() ||
        !url.fragment().isEmpty() || !url.userInfo().isEmpty())
        return std::nullopt;
    Folder folder;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("sftp")) {
        folder.protocol = Protocol::Sftp;
    } else if (scheme == QLatin1String("ftps") || scheme == QLatin1String("ftp")) {
        // Explicit TLS on the FTP port; libcurl's own "ftps://" would be the old implicit kind.
        folder.protocol = Protocol::Ftp;
        url.setScheme(QStringLiteral("ftp"));
    } else if (scheme == QLatin1String("https") || scheme == QLatin1String("http")) {
        folder.protocol = Protocol::WebDav;
        url.setScheme(scheme);
    } else {
        return std::nullopt;
    }
    QString path = url.path();
    if (!path.endsWith(u'/'))
        path += u'/';
    url.setPath(path);
    folder.url = url;
    return folder;
}

WebTransfer::WebTransfer(UploadTarget target, std::function<bool()> cancelled)
    : m_target(std::move(target)), m_cancelled(std::move(cancelled)) {
    const auto folder = folderOf(m_target.url);
    if (!folder) {
        m_unusable = QStringLiteral("Adresse \"%1\" ist keine sftp://-, ftps://-, https://- "
                                    "oder http://-Adresse mit Server und Ordner")
                         .arg(m_target.url.trimmed());
        return;
    }
    m_folder = *folder;
    if (!m_target.caFile.isEmpty() && !QFileInfo(m_target.caFile).isReadable())
        m_unusable = QStringLiteral("CA-Datei %1 nicht lesbar").arg(m_target.caFile);
    if (m_folder.protocol == Protocol::Sftp) {
        if (!QFileInfo(m_target.knownHosts).isReadable())
            m_unusable = QStringLiteral("known_hosts-Datei %1 fehlt: den Host-Schlüssel des "
                                        "Servers erst einmal mit ssh bestätigen")
                             .arg(m_target.knownHosts);
        else if (!m_target.keyFile.isEmpty() && !QFileInfo(m_target.keyFile).isReadable())
            m_unusable = QStringLiteral("Schlüsseldatei %1 nicht lesbar").arg(m_target.keyFile);
    }
    if (!m_unusable.isEmpty())
        return;
    initLibrary();
    m_curl = curl_easy_init();
    if (!m_curl)
        m_unusable = QStringLiteral("kein Speicher für die Verbindung");
}

WebTransfer::~WebTransfer() {
    if (m_curl)
        curl_easy_cleanup(static_cast<CURL*>(m_curl));
}

int WebTransfer::port() const {
    switch (m_folder.protocol) {
    case Protocol::Sftp:
        return m_folder.url.port(22);
    case Protocol::Ftp:
        return m_folder.url.port(21);
    case Protocol::WebDav:
        break;
    }
    return m_folder.url.port(m_folder.url.scheme() == QLatin1String("https") ? 443 : 80);
}

QUrl WebTransfer::fileUrl(const QString& name) const {
    QUrl url = m_folder.url;
    url.setPath(url.path() + name);
    return url;
}

QByteArray WebTransfer::commandPath(const QString& name) const {
    QString path = m_folder.url.path(QUrl::FullyDecoded) + name;
    // "/~/" in the URL is the home folder, where the server's commands start anyway.
    if (path.startsWith(QLatin1String("/~/")))
        path = path.mid(3);
    return quoted(path);
}

void WebTransfer::prepare(const QUrl& url) {
    CURL* curl = static_cast<CURL*>(m_curl);
    // Keeps the open connection for the next file of the round.
    curl_easy_reset(curl);
    curl_easy_setopt(curl, CURLOPT_URL, url.toEncoded().constData());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, m_error);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(connectTimeoutS));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(stallTimeoutS));
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &m_cancelled);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &discard);
    const QByteArray user = m_target.user.toUtf8();
    const QByteArray password = m_target.password.toUtf8();
    if (!user.isEmpty())
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
    if (!password.isEmpty())
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    // Certificates and host keys are always checked; a CA file only adds whom to trust.
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!m_target.caFile.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, QFile::encodeName(m_target.caFile).constData());
    switch (m_folder.protocol) {
    case Protocol::Sftp: {
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "sftp");
        curl_easy_setopt(curl, CURLOPT_SSH_KNOWNHOSTS,
                         QFile::encodeName(m_target.knownHosts).constData());
        curl_easy_setopt(curl, CURLOPT_SSH_AUTH_TYPES,
                         long(CURLSSH_AUTH_PUBLICKEY | CURLSSH_AUTH_PASSWORD));
        if (!m_target.keyFile.isEmpty()) {
            const QString publicKey = m_target.keyFile + QStringLiteral(".pub");
            curl_easy_setopt(curl, CURLOPT_SSH_PRIVATE_KEYFILE,
                             QFile::encodeName(m_target.keyFile).constData());
            // Without the public half beside it, libssh2 derives it from the private key.
            curl_easy_setopt(curl, CURLOPT_SSH_PUBLIC_KEYFILE,
                             QFileInfo::exists(publicKey) ? QFile::encodeName(publicKey).constData()
                                                          : "");
            if (!password.isEmpty())
                curl_easy_setopt(curl, CURLOPT_KEYPASSWD, password.constData());
        }
        break;
    }
    case Protocol::Ftp:
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
        // The password never crosses the net in clear text.
        curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
        break;
    case Protocol::WebDav:
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_HTTPAUTH, long(CURLAUTH_BASIC));
        break;
    }
}

WebTransfer::Outcome WebTransfer::perform() {
    m_error[0] = '\0';
    CURL* curl = static_cast<CURL*>(m_curl);
    Outcome outcome;
    outcome.curlCode = curl_easy_perform(curl);
    if (m_folder.protocol == Protocol::WebDav)
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &outcome.httpStatus);
    outcome.detail = QString::fromUtf8(m_error);
    if (outcome.detail.isEmpty() && outcome.curlCode != 0)
        outcome.detail = QString::fromUtf8(curl_easy_strerror(CURLcode(outcome.curlCode)));
    return outcome;
}

WebTransfer::Outcome WebTransfer::put(const QString& name, const QByteArray& bytes) {
    if (!m_curl)
        return {CURLE_FAILED_INIT, 0, m_unusable};
    const QString temporary = u'.' + name + QStringLiteral(".velmora-neu");
    prepare(fileUrl(temporary));
    CURL* curl = static_cast<CURL*>(m_curl);
    Source source{&bytes, 0};
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, &readBytes);
    curl_easy_setopt(curl, CURLOPT_READDATA, &source);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(bytes.size()));
    Commands after;
    switch (m_folder.protocol) {
    case Protocol::Sftp:
        // OpenSSH's server renames onto no existing file: the old one goes first. A reader
        // then misses the file for a moment, but never gets half of one.
        after.add("*rm " + commandPath(name));
        after.add("rename " + commandPath(temporary) + ' ' + commandPath(name));
        break;
    case Protocol::Ftp:
        after.add("RNFR " + temporary.toUtf8());
        after.add("RNTO " + name.toUtf8());
        break;
    case Protocol::WebDav:
        break;
    }
    if (after.list())
        curl_easy_setopt(curl, CURLOPT_POSTQUOTE, after.list());
    const Outcome outcome = perform();
    if (!outcome.ok() || m_folder.protocol != Protocol::WebDav)
        return outcome;
    return moveInPlace(temporary, name);
}

WebTransfer::Outcome WebTransfer::moveInPlace(const QString& from, const QString& to) {
    prepare(fileUrl(from));
    CURL* curl = static_cast<CURL*>(m_curl);
    Commands headers;
    headers.add("Destination: " + fileUrl(to).toEncoded());
    headers.add("Overwrite: T");
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "MOVE");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.list());
    return perform();
}

WebTransfer::Outcome WebTransfer::remove(const QString& name) {
    if (!m_curl)
        return {CURLE_FAILED_INIT, 0, m_unusable};
    CURL* curl = static_cast<CURL*>(m_curl);
    Commands commands;
    if (m_folder.protocol == Protocol::WebDav) {
        prepare(fileUrl(name));
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "DELETE");
        Outcome outcome = perform();
        if (outcome.curlCode == 0 && outcome.httpStatus == 404)
            outcome.httpStatus = 204;
        return outcome;
    }
    prepare(m_folder.url);
    // Only the commands, no listing of the folder; "*": a file gone already is no failure.
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    // FTP: after the change into the folder, where the name is meant.
    if (m_folder.protocol == Protocol::Sftp) {
        commands.add("*rm " + commandPath(name));
        curl_easy_setopt(curl, CURLOPT_QUOTE, commands.list());
    } else {
        commands.add("*DELE " + name.toUtf8());
        curl_easy_setopt(curl, CURLOPT_POSTQUOTE, commands.list());
    }
    return perform();
}
