#include "timing/TimerLineProfile.h"

namespace {

// The time as the timers print it: hours with or without a leading zero, 1 to 5 decimals.
#define TIME_FIELD "(?<time>[ \\d]?\\d:\\d\\d:\\d\\d[.,]\\d{1,5})"

TimerLineProfile alge() {
    TimerLineProfile p;
    p.id = QStringLiteral("alge");
    p.name = QStringLiteral("ALGE Timy / TdC (Druckerzeile)");
    // yNNNNxCCCxHH:MM:SS.zhtqxGGRRRR: flag, start number, channel, time of day, group and
    // the rest, which the program does not need.
    p.pattern = QStringLiteral("^(?<flag>.)(?<number>[ \\d]{4}) (?<channel>[A-Za-z]{1,2}\\d{0,2}M?)"
                               " *" TIME_FIELD "(?: +[ \\d]{0,6})? *$");
    p.ignorePattern = QStringLiteral("^n[ \\d]{4} *$|^ *(ALGE|TIMY|TdC|-+|=+)\\b.*$|^-+$");
    p.channelPattern = QStringLiteral("^c[0-8]M?$|^(RT|TT)M?$");
    p.ignoredChannels = {QStringLiteral("RT"), QStringLiteral("RTM"), QStringLiteral("TT"),
                         QStringLiteral("TTM")};
    p.cancelFlags = QStringLiteral("c");
    p.terminators = QByteArrayLiteral("\r");
    p.baudRate = 9600;
    p.startChannel = QStringLiteral("c0");
    p.stopChannel = QStringLiteral("c1");
    p.splitChannel = QStringLiteral("c2");
    p.sample = QByteArrayLiteral(" 0012 c0  10:15:42.1234 00    ");
    return p;
}

TimerLineProfile microgate() {
    TimerLineProfile p;
    p.id = QStringLiteral("microgate");
    p.name = QStringLiteral("Microgate (Zeile mit Prüfsumme)");
    // Memory index, flag, start number, channel, time to 1/100000 s, checksum.
    p.pattern = QStringLiteral("^(?<index>\\d{5}) (?<flag>[ *#]) ?(?<number>[ \\d]{5}) "
                               "(?<channel>C\\d\\d) " TIME_FIELD " (?<check>[0-9A-Fa-f]{2}) *$");
    p.ignorePattern = QStringLiteral("^(ST|RT|TT) .*$");
    p.channelPattern = QStringLiteral("^C0[0-9]$");
    p.cancelFlags = QStringLiteral("#");
    p.checksum = TimerLineProfile::Checksum::XorHex;
    p.baudRate = 9600;
    p.startChannel = QStringLiteral("C00");
    p.stopChannel = QStringLiteral("C01");
    p.splitChannel = QStringLiteral("C02");
    p.sample = QByteArrayLiteral("00017      12 C00 10:15:42.12345 4A");
    return p;
}

TimerLineProfile tagHeuer() {
    TimerLineProfile p;
    p.id = QStringLiteral("tagheuer");
    p.name = QStringLiteral("TAG Heuer CP 520 (T-Zeilen)");
    // "T", flag, start number, channel ("M" for the hand key), time to 1/100000 s, index.
    p.pattern =
        QStringLiteral("^T(?<flag>[ N*?\\-]) (?<number>[ \\d]{4}) (?<channel>M?\\d) +" TIME_FIELD
                       "(?: (?<index>\\d{1,5}))? *$");
    p.ignorePattern = QStringLiteral("^(AN|BT|DN|RT|TT|ST)[ \\d].*$");
    p.channelPattern = QStringLiteral("^M?[1-8]$");
    p.cancelFlags = QStringLiteral("-");
    p.baudRate = 9600;
    p.startChannel = QStringLiteral("1");
    p.stopChannel = QStringLiteral("2");
    p.splitChannel = QStringLiteral("3");
    p.sample = QByteArrayLiteral("TN 0012 1 10:15:42.12345 00017");
    return p;
}

#undef TIME_FIELD

} // namespace

QString TimerLineProfile::baseChannel(const QString& channel) {
    if (channel.size() > 1 && channel.endsWith(u'M'))
        return channel.chopped(1);
    if (channel.size() > 1 && channel.startsWith(u'M'))
        return channel.mid(1);
    return channel;
}

const QList<TimerLineProfile>& TimerLineProfile::builtIn() {
    static const QList<TimerLineProfile> profiles{alge(), microgate(), tagHeuer()};
    return profiles;
}

const TimerLineProfile* TimerLineProfile::find(const QString& id) {
    for (const TimerLineProfile& profile : builtIn()) {
        if (profile.id == id)
            return &profile;
    }
    return nullptr;
}
