#include "cup/CupFile.h"

#include "cup/CupFileWords.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <limits>

// The reading half of the cup file. A file is taken whole or not at all: a key this version
// does not know is refused with its line, since a newer file read in part would give other
// standings without a word.
namespace CupFile {

namespace {

using namespace CupFileWords;

constexpr int kEntryFields = 9;
constexpr int kIdentityFields = 3;
constexpr int kMaxWeightPercent = 10000;

struct Failure {
    QString text;
};

class Parser {
public:
    std::optional<CupDefinition> run(const QByteArray& bytes, QString* error);

private:
    void readLine(const QString& key, const QStringList& values);
    void readRule(const QString& key, const QString& value);
    void readRace(const QString& key, const QStringList& values);
    void readEntry(const QStringList& values);
    void readPair(const QString& key, const QStringList& values);

    CupRace& currentRace(const QString& key);
    void once(QSet<QString>& seen, const QString& key);
    int number(const QString& key, const QString& text, int lowest, int highest) const;
    [[noreturn]] void fail(const QString& text) const { throw Failure{text}; }

    CupDefinition m_cup;
    QSet<QString> m_seenRules;
    QSet<QString> m_seenRaceKeys;
    int m_line = 0;
};

std::optional<CupDefinition> Parser::run(const QByteArray& bytes, QString* error) {
    try {
        QList<QByteArray> lines = bytes.split('\n');
        if (!lines.isEmpty() && lines.constLast().isEmpty())
            lines.removeLast();
        for (const QByteArray& rawBytes : std::as_const(lines)) {
            ++m_line;
            QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            QString line = decoder.decode(rawBytes);
            if (decoder.hasError())
                fail(QStringLiteral("kein Text in UTF-8 (die Datei ist keine Cup-Datei oder wurde "
                                    "in einer anderen Kodierung gespeichert)"));
            if (line.endsWith(u'\r'))
                line.chop(1);
            if (m_line == 1) {
                if (line.startsWith(QChar(0xFEFF)))
                    line.remove(0, 1);
                static const QRegularExpression magic(
                    QStringLiteral("^%1 (\\d+)$").arg(QRegularExpression::escape(kMagic)));
                const QRegularExpressionMatch match = magic.match(line.trimmed());
                if (!match.hasMatch() || match.captured(1).toInt() < kVersion)
                    fail(QStringLiteral("keine Cup-Datei (erwartet „%1 %2“)")
                             .arg(kMagic)
                             .arg(kVersion));
                if (match.captured(1).toInt() != kVersion)
                    fail(QStringLiteral("Version %1 der Cup-Datei ist neuer als dieses Programm "
                                        "(es liest Version %2)")
                             .arg(match.captured(1))
                             .arg(kVersion));
                continue;
            }
            if (line.trimmed().isEmpty() || line.startsWith(u'#'))
                continue;
            QStringList values = line.split(u'\t');
            const QString key = values.takeFirst().trimmed();
            readLine(key, values);
        }
        if (m_line == 0)
            fail(QStringLiteral("keine Cup-Datei (erwartet „%1 %2“)").arg(kMagic).arg(kVersion));
        return m_cup;
    } catch (const Failure& failure) {
        if (error) {
            *error = m_line > 0 ? QStringLiteral("Zeile %1: %2").arg(m_line).arg(failure.text)
                                : failure.text;
        }
        return std::nullopt;
    }
}

void Parser::readLine(const QString& key, const QStringList& values) {
    static const QSet<QString> raceKeys{QStringLiteral("Lauf"),       QStringLiteral("Prüfsumme"),
                                        QStringLiteral("Titel"),      QStringLiteral("Gewichtung"),
                                        QStringLiteral("Annulliert"), QStringLiteral("Eintrag")};
    static const QSet<QString> pairKeys{QStringLiteral("Bestätigt"), QStringLiteral("Abgelehnt")};
    if (raceKeys.contains(key))
        readRace(key, values);
    else if (pairKeys.contains(key))
        readPair(key, values);
    else if (key == QStringLiteral("Name")) {
        once(m_seenRules, key);
        m_cup.name = values.join(u' ');
    } else
        readRule(key, values.join(u' '));
}

void Parser::once(QSet<QString>& seen, const QString& key) {
    if (seen.contains(key))
        fail(QStringLiteral("„%1“ steht doppelt").arg(key));
    seen.insert(key);
}

int Parser::number(const QString& key, const QString& text, int lowest, int highest) const {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < lowest || value > highest)
        fail(QStringLiteral("„%1“ verlangt eine ganze Zahl von %2 bis %3, nicht „%4“")
                 .arg(key)
                 .arg(lowest)
                 .arg(highest)
                 .arg(text));
    return value;
}

void Parser::readRule(const QString& key, const QString& value) {
    CupRules& rules = m_cup.rules;
    constexpr int kMany = 1000000;
    auto unknownWord = [&](const QString& what) {
        fail(QStringLiteral("unbekannte %1 „%2“").arg(what, value));
    };
    if (key == QStringLiteral("Wertung")) {
        const auto scoring = scoringFrom(value);
        if (!scoring)
            unknownWord(QStringLiteral("Wertung"));
        rules.scoring = *scoring;
    } else if (key == QStringLiteral("Punkte")) {
        const auto table = pointsTableFrom(value);
        if (!table)
            fail(QStringLiteral("Punktetabelle „%1“ ist keine Folge ganzer Zahlen").arg(value));
        rules.pointsTable = *table;
    } else if (key == QStringLiteral("Formel")) {
        rules.formula = value;
    } else if (key == QStringLiteral("Kappung")) {
        rules.cutOffPercent.reset();
        if (!value.trimmed().isEmpty()) {
            const auto percent = decimalFrom(value);
            if (!percent || *percent < 0)
                fail(QStringLiteral("Kappung „%1“ ist kein Prozentwert").arg(value));
            rules.cutOffPercent = *percent;
        }
    } else if (key == QStringLiteral("Statusregel")) {
        const auto rule = statusRuleFrom(value);
        if (!rule)
            unknownWord(QStringLiteral("Statusregel"));
        rules.statusRule = *rule;
    } else if (key == QStringLiteral("Statuswert")) {
        const auto hundredths = hundredthsFrom(value);
        if (!hundredths)
            fail(QStringLiteral("Statuswert „%1“ ist keine Zahl mit höchstens zwei "
                                "Nachkommastellen")
                     .arg(value));
        rules.statusValue = *hundredths;
    } else if (key == QStringLiteral("Beste")) {
        rules.bestOf = number(key, value, 0, kMany);
    } else if (key == QStringLiteral("Mindeststarts")) {
        rules.minStarts = number(key, value, 0, kMany);
    } else if (key == QStringLiteral("Gleichstand")) {
        rules.tieBreaks.clear();
        for (const QString& word : value.split(u',', Qt::SkipEmptyParts)) {
            const auto step = tieBreakFrom(word);
            if (!step)
                fail(QStringLiteral("unbekannte Entscheidung bei Gleichstand „%1“")
                         .arg(word.trimmed()));
            if (rules.tieBreaks.contains(*step))
                fail(QStringLiteral("„%1“ steht doppelt in „Gleichstand“").arg(word.trimmed()));
            rules.tieBreaks.append(*step);
        }
    } else if (key == QStringLiteral("Vereinsmitglieder")) {
        rules.clubMembers = number(key, value, 1, kMany);
    } else if (key == QStringLiteral("Vereinswertung")) {
        const auto scope = clubScopeFrom(value);
        if (!scope)
            unknownWord(QStringLiteral("Vereinswertung"));
        rules.clubScope = *scope;
    } else if (key == QStringLiteral("Geplant")) {
        rules.plannedRaces = number(key, value, 0, kMany);
    } else {
        fail(QStringLiteral("unbekannter Eintrag „%1“ (eine Cup-Datei einer neueren Version?)")
                 .arg(key));
    }
    once(m_seenRules, key);
}

CupRace& Parser::currentRace(const QString& key) {
    if (m_cup.races.isEmpty())
        fail(QStringLiteral("„%1“ vor dem ersten „Lauf“").arg(key));
    return m_cup.races.last();
}

void Parser::readRace(const QString& key, const QStringList& values) {
    if (key == QStringLiteral("Lauf")) {
        const QString file = values.join(u' ');
        if (file.trimmed().isEmpty())
            fail(QStringLiteral("„Lauf“ ohne Datei"));
        CupRace race;
        race.file = file;
        m_cup.races.append(race);
        m_seenRaceKeys.clear();
        return;
    }
    if (key == QStringLiteral("Eintrag")) {
        readEntry(values);
        return;
    }
    CupRace& race = currentRace(key);
    if (key == QStringLiteral("Annulliert")) {
        if (values.size() != 2 || values.at(0).trimmed().isEmpty())
            fail(QStringLiteral("„Annulliert“ verlangt die Klasse und den Grund, durch einen "
                                "Tabulator getrennt"));
        if (race.voidedClasses.contains(values.at(0)))
            fail(QStringLiteral("Klasse „%1“ ist in diesem Lauf doppelt annulliert")
                     .arg(values.at(0)));
        race.voidedClasses.insert(values.at(0), values.at(1));
        return;
    }
    once(m_seenRaceKeys, key);
    const QString value = values.join(u' ');
    if (key == QStringLiteral("Prüfsumme")) {
        static const QRegularExpression hex(QStringLiteral("^([0-9a-fA-F]{64})?$"));
        if (!hex.match(value).hasMatch())
            fail(QStringLiteral("Prüfsumme „%1“ ist keine SHA-256-Prüfsumme (64 "
                                "Hexadezimalziffern)")
                     .arg(value));
        race.sha256 = value.toLatin1();
    } else if (key == QStringLiteral("Titel")) {
        race.title = value;
    } else if (key == QStringLiteral("Gewichtung")) {
        race.weightPercent = number(key, value, 1, kMaxWeightPercent);
    }
}

void Parser::readEntry(const QStringList& values) {
    CupRace& race = currentRace(QStringLiteral("Eintrag"));
    if (values.size() != kEntryFields)
        fail(QStringLiteral("„Eintrag“ verlangt %1 Felder (Kl., Platz, Status, G-Zeit, Nr., "
                            "Name, Vorname, Verein, Finale), durch Tabulatoren getrennt; hier "
                            "sind es %2")
                 .arg(kEntryFields)
                 .arg(values.size()));
    static const QSet<QString> states{QString(), QStringLiteral("DNS"), QStringLiteral("DNF"),
                                      QStringLiteral("DSQ"), QStringLiteral("o.E.")};
    CupEntry entry;
    entry.cls = values.at(0);
    entry.place = number(QStringLiteral("Platz"), values.at(1), 0, 1000000);
    entry.status = values.at(2);
    if (!states.contains(entry.status))
        fail(QStringLiteral("unbekannter Status „%1“ (erlaubt: DNS, DNF, DSQ, o.E. oder nichts)")
                 .arg(entry.status));
    entry.total =
        number(QStringLiteral("G-Zeit"), values.at(3), 0, std::numeric_limits<qint32>::max());
    entry.number = values.at(4);
    entry.name = values.at(5);
    entry.firstName = values.at(6);
    entry.club = values.at(7);
    if (values.at(8) == QStringLiteral("ja"))
        entry.finalist = true;
    else if (values.at(8) != QStringLiteral("nein"))
        fail(QStringLiteral("Finale muss „ja“ oder „nein“ sein, nicht „%1“").arg(values.at(8)));
    race.entries.append(entry);
}

void Parser::readPair(const QString& key, const QStringList& values) {
    if (values.size() != 2 * kIdentityFields)
        fail(QStringLiteral("„%1“ verlangt zweimal Name, Vorname und Verein, durch Tabulatoren "
                            "getrennt")
                 .arg(key));
    const CupIdentity first{values.at(0), values.at(1), values.at(2)};
    const CupIdentity second{values.at(3), values.at(4), values.at(5)};
    if (first.key() == second.key())
        fail(QStringLiteral("„%1“ nennt zweimal denselben Teilnehmer").arg(key));
    if (key == QStringLiteral("Bestätigt"))
        m_cup.matches.confirm(first, second);
    else
        m_cup.matches.reject(first, second);
}

} // namespace

std::optional<CupDefinition> parse(const QByteArray& bytes, QString* error) {
    return Parser().run(bytes, error);
}

} // namespace CupFile
