#pragma once

#include "publish/UploadTarget.h"

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

// One connection to the web host for a round of files, over libcurl: a file goes up under a
// temporary name beside its own and is renamed into place (SFTP: rename after removing the old
// one, FTP: RNFR/RNTO, WebDAV: PUT, then MOVE with "Overwrite: T"), so a reader gets the old
// file or the new one, never a part. Blocking: it runs on the uploader's thread or the
// connection test's, never the window's; cancelled() is asked while it waits and ends it.
class WebTransfer {
public:
    enum class Protocol { Sftp, Ftp, WebDav };

    // What went wrong, as libcurl and the server said it; ok() when nothing did.
    struct Outcome {
        int curlCode = 0;
        long httpStatus = 0; // WebDAV: the status of the last answer
        QString detail;      // libcurl's own words, for the log of a developer
        bool ok() const { return curlCode == 0 && httpStatus < 300; }
    };

    // The target's URL as a folder, with its protocol; nullopt for a URL that is none of ours.
    struct Folder {
        Protocol protocol = Protocol::WebDav;
        QUrl url; // the folder, ending in '/'
    };
    static std::optional<Folder> folderOf(const QString& url);

    static constexpr int connectTimeoutS = 15;
    // A transfer that moves no byte for this long is given up.
    static constexpr int stallTimeoutS = 30;

    WebTransfer(UploadTarget target, std::function<bool()> cancelled);
    ~WebTransfer();
    WebTransfer(const WebTransfer&) = delete;
    WebTransfer& operator=(const WebTransfer&) = delete;

    // A target whose URL or files are not usable: why, in German; empty when it can be tried.
    QString unusable() const { return m_unusable; }
    Protocol protocol() const { return m_folder.protocol; }
    QString host() const { return m_folder.url.host(); }
    int port() const;
    QString folderPath() const { return m_folder.url.path(); }

    Outcome put(const QString& name, const QByteArray& bytes);
    // A file gone already counts as removed.
    Outcome remove(const QString& name);

private:
    void prepare(const QUrl& url);
    Outcome perform();
    QUrl fileUrl(const QString& name) const;
    // The path the server's own commands take for a file of the folder.
    QByteArray commandPath(const QString& name) const;
    Outcome moveInPlace(const QString& from, const QString& to);

    UploadTarget m_target;
    std::function<bool()> m_cancelled;
    Folder m_folder;
    QString m_unusable;
    void* m_curl = nullptr;
    char m_error[256] = {};
};
