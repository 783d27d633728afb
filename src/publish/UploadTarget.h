#pragma once

#include <QString>

// Where the live pages go on a web host and as whom: the folder as a URL (sftp://, ftps:// or
// ftp:// with TLS required, https:// or http:// for WebDAV), the login, the CA file that
// vouches for the host (empty: the system's certificates), the known_hosts file that vouches
// for an SFTP host's key, the private key for SFTP (empty: the password alone; the password
// then also unlocks the key) and the seconds between two upload rounds at least.
struct UploadTarget {
    QString url;
    QString user;
    QString password;
    QString caFile;
    QString knownHosts;
    QString keyFile;
    int intervalS = 5;
    bool operator==(const UploadTarget&) const = default;
};
