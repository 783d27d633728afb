#include "cup/CupTableText.h"

#include "cup/CupValueText.h"

namespace CupTableText {

QString classCaption(const QString& cls) {
    return cls.trimmed().isEmpty() ? QStringLiteral("Ohne Klasse")
                                   : QStringLiteral("Klasse ") + cls.trimmed();
}

QString clubCaption(const QString& cls) {
    return cls.trimmed().isEmpty() ? QStringLiteral("Vereine")
                                   : QStringLiteral("Vereine Klasse ") + cls.trimmed();
}

QStringList header(const CupStandings& standings) {
    QStringList captions{QStringLiteral("Pl."), QStringLiteral("Name"), QStringLiteral("Vorname"),
                         QStringLiteral("Verein")};
    captions += standings.raceTitles;
    captions << QStringLiteral("Summe") << QStringLiteral("Abstand") << QStringLiteral("Bemerkung");
    return captions;
}

QString raceCell(const CupStandings::RaceResult& race, CupRules::Scoring scoring, Dropped dropped) {
    using Kind = CupStandings::RaceResult::Kind;
    if (race.kind == Kind::Absent)
        return {};
    if (race.kind == Kind::Voided)
        return QStringLiteral("annulliert");
    if (!race.hasValue)
        return race.status;
    QString text = CupValueText::format(race.value, scoring);
    // A status that still scores (the place after the field, fixed points) says why.
    if (!race.status.isEmpty())
        text += u' ' + race.status;
    if (race.dropped && dropped == Dropped::Bracketed)
        return u'(' + text + u')';
    return text;
}

QStringList marks(const CupStandings::Row& row) {
    QStringList all;
    if (row.runOff)
        all << QStringLiteral("Stechen");
    if (row.titleDecided)
        all << QStringLiteral("uneinholbar");
    if (!row.classNote.isEmpty())
        all << row.classNote;
    if (!row.note.isEmpty())
        all << row.note;
    return all;
}

QString placeText(int place) {
    return place > 0 ? QString::number(place) : QString();
}

QString gapText(const CupStandings::Row& row, CupRules::Scoring scoring) {
    if (row.place <= 0 || row.gap == 0)
        return {};
    return CupValueText::format(row.gap, scoring);
}

QStringList rowCells(const CupStandings::Row& row, CupRules::Scoring scoring, Dropped dropped) {
    QStringList cells{placeText(row.place), row.identity.name, row.identity.firstName,
                      row.identity.club};
    for (const CupStandings::RaceResult& race : row.races)
        cells << raceCell(race, scoring, dropped);
    cells << CupValueText::format(row.total, scoring) << gapText(row, scoring)
          << marks(row).join(QStringLiteral(", "));
    return cells;
}

QStringList clubHeader() {
    return {QStringLiteral("Pl."), QStringLiteral("Verein"), QStringLiteral("Summe"),
            QStringLiteral("Mitglieder")};
}

QStringList clubCells(const CupStandings::ClubRow& row, CupRules::Scoring scoring) {
    return {placeText(row.place), row.club, CupValueText::format(row.total, scoring),
            row.members.join(QStringLiteral(", "))};
}

} // namespace CupTableText
