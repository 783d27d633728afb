#include "publish/UploadErrorText.h"

#include <curl/curl.h>

namespace {

QString httpText(long status, const WebTransfer& transfer) {
    const QString host = transfer.host();
    const QString folder = transfer.folderPath();
    switch (status) {
    case 401:
        return QStringLiteral("Anmeldung abgelehnt (Benutzer oder Passwort falsch) bei ") + host;
    case 403:
        return QStringLiteral("keine Schreibrechte im Ordner %1 auf %2").arg(folder, host);
    case 404:
    case 409:
        return QStringLiteral("Ordner %1 fehlt auf %2").arg(folder, host);
    case 405:
    case 501:
        return QStringLiteral("%1 nimmt unter %2 keine Dateien an (kein WebDAV)").arg(host, folder);
    case 413:
        return QStringLiteral("%1 nimmt so große Dateien nicht an").arg(host);
    case 507:
        return QStringLiteral("Speicherplatz auf %1 voll").arg(host);
    default:
        return QStringLiteral("%1 antwortet mit Fehler %2").arg(host).arg(status);
    }
}

} // namespace

namespace UploadErrorText {

QString describe(const WebTransfer::Outcome& outcome, const WebTransfer& transfer) {
    if (!transfer.unusable().isEmpty())
        return transfer.unusable();
    const QString host = transfer.host();
    const QString address = host + u':' + QString::number(transfer.port());
    const QString folder = transfer.folderPath();
    const bool sftp = transfer.protocol() == WebTransfer::Protocol::Sftp;
    switch (outcome.curlCode) {
    case CURLE_OK:
        return outcome.httpStatus >= 300 ? httpText(outcome.httpStatus, transfer) : QString();
    case CURLE_COULDNT_RESOLVE_HOST:
        return QStringLiteral("Name nicht gefunden (DNS): ") + host;
    case CURLE_COULDNT_CONNECT:
        return QStringLiteral("Verbindung abgelehnt: %1 (läuft dort ein Server?)").arg(address);
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("Zeitüberschreitung: %1 antwortet nicht").arg(address);
    case CURLE_LOGIN_DENIED:
    case CURLE_AUTH_ERROR:
        return QStringLiteral("Anmeldung abgelehnt (Benutzer, Passwort oder Schlüssel falsch) "
                              "bei ") +
               host;
    case CURLE_PEER_FAILED_VERIFICATION:
        if (sftp)
            return QStringLiteral("Host-Schlüssel von %1 nicht in der known_hosts-Datei oder "
                                  "geändert: nicht vertrauenswürdig")
                .arg(address);
        return QStringLiteral("Zertifikat von %1 nicht vertrauenswürdig").arg(host);
    case CURLE_SSL_CACERT_BADFILE:
        return QStringLiteral("CA-Datei nicht lesbar");
    case CURLE_SSL_CONNECT_ERROR:
        return QStringLiteral("TLS-Verbindung zu %1 fehlgeschlagen").arg(address);
    case CURLE_USE_SSL_FAILED:
        return QStringLiteral("%1 bietet kein TLS an; ohne Verschlüsselung wird nicht "
                              "hochgeladen")
            .arg(address);
    case CURLE_REMOTE_ACCESS_DENIED:
        return QStringLiteral("Ordner %1 fehlt auf %2 oder keine Schreibrechte darin")
            .arg(folder, host);
    case CURLE_REMOTE_FILE_NOT_FOUND:
        return QStringLiteral("Ordner %1 fehlt auf %2").arg(folder, host);
    case CURLE_UPLOAD_FAILED:
        return QStringLiteral("Schreiben im Ordner %1 auf %2 abgelehnt (Rechte?)")
            .arg(folder, host);
    case CURLE_REMOTE_DISK_FULL:
        return QStringLiteral("Speicherplatz auf %1 voll").arg(host);
    case CURLE_QUOTE_ERROR:
        return QStringLiteral("Umbenennen im Ordner %1 auf %2 abgelehnt").arg(folder, host);
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
        return QStringLiteral("Verbindung zu %1 unterbrochen").arg(address);
    case CURLE_ABORTED_BY_CALLBACK:
        return QStringLiteral("abgebrochen");
    case CURLE_OUT_OF_MEMORY:
        return QStringLiteral("kein Speicher für die Verbindung");
    default:
        return QStringLiteral("Fehler bei %1: %2").arg(address, outcome.detail);
    }
}

} // namespace UploadErrorText
