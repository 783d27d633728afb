#pragma once

#include <QString>

// The settings kept between runs, with their designed defaults. The window placement defaults
// depend on the screen and are filled in by the window before loading. Ranges kept when they
// are read: timer 0..100000 ms, lockTime 100..600000 ms, len 0..9999 m and maxRunTime 0..3600 s
// (clamped), alg and vidResult 0 or 1, filterInd 1..4 and livePort 1..65535 (else their defaults),
// monitor from 0 (a screen not connected now is kept for when it comes; the window's placement
// depends on the screens and is kept by the window), backupLockTime 100..600000 ms and
// stuckLimit 500..600000 ms (clamped).
struct Settings {
    int left = 0;
    int top = 0;
    int width = 720;
    int height = 0;
    bool sound = true;
    int port = 0;
    int alg = 0;
    int waitStart = 5000;
    int timer = 10000;
    int monitor = 0;
    int lockTime = 5000;
    QString title = QStringLiteral("Deutsche Meisterschaften im Velmora 2009");
    bool autoReset = true;
    int filterInd = 1;
    int vidResult = 0;
    int len = 50;
    QString logo;
    // Live results on the local network: off by default, and the port they are served on.
    bool liveResults = false;
    int livePort = 8080;
    // The address shown for them (empty: the first one of the local network), and whether
    // they are served on that address only.
    QString liveAddress;
    bool liveAddressOnly = false;
    // System B, a backup stop contact on RI, its lock after each start (ms), and how long a
    // barrier line may stay active before it is told (ms).
    bool backupLine = false;
    int backupLockTime = 5000;
    int stuckLimit = 3000;
    // Seconds a run may go without a stop before the status bar warns; 0 switches it off.
    int maxRunTime = 120;
    // The race on an MQTT broker: off by default; the broker, the login, TLS with the CA file
    // that vouches for the broker (empty: the system's), the client's name there (empty: one
    // the library makes up) and the prefix of the topics (mqttPort 1..65535, an empty prefix
    // is the designed one). The password is kept in the desktop's keyring when one is open,
    // else in a file of its own readable by the user alone (PasswordStore), never beside the
    // others.
    bool mqttEnabled = false;
    QString mqttHost = QStringLiteral("localhost");
    int mqttPort = 1883;
    QString mqttUser;
    QString mqttPassword;
    bool mqttTls = false;
    QString mqttCaFile;
    QString mqttClientId;
    QString mqttPrefix = QStringLiteral("velmora");
    // Where the uploaded pages read the broker from, over websockets ("wss://host:8081/mqtt");
    // empty: they poll state.json beside them.
    QString mqttReaderUrl;
    // The live pages uploaded to a web host: off by default; the folder as a URL (sftp://,
    // ftps://, https:// for WebDAV), the login, the CA file that vouches for the host (empty:
    // the system's), the known_hosts file for an SFTP host's key (empty: ~/.ssh/known_hosts),
    // the private key for SFTP (empty: the password alone) and the seconds between two rounds
    // at least (1..300, clamped). The password is kept like the MQTT one.
    bool uploadEnabled = false;
    QString uploadUrl;
    QString uploadUser;
    QString uploadPassword;
    QString uploadCaFile;
    QString uploadKnownHosts;
    QString uploadKeyFile;
    int uploadInterval = 5;
    // A professional timer on a serial port: its device (a path or a /dev/serial/by-id link;
    // empty: none), rate, line format, the channels of start, split, stop and System B (empty:
    // none), and how far its clock may drift from the PC's before the status bar tells (ms).
    QString timerDevice;
    int timerBaud = 9600;
    QString timerProfile = QStringLiteral("alge");
    QString timerStart = QStringLiteral("c0");
    QString timerSplit = QStringLiteral("c2");
    QString timerStop = QStringLiteral("c1");
    QString timerBackup;
    int timerDriftLimit = 100;
    // The scoreboard on a second serial port (empty: none), its rate and protocol ("gaz" or
    // "unt4").
    QString boardDevice;
    int boardBaud = 2400;
    QString boardProtocol = QStringLiteral("gaz");
    // Certificates of a class only once its results are released as official.
    bool certificatesAfterRelease = false;

    bool operator==(const Settings&) const = default;
};
