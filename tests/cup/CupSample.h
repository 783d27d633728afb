#pragma once

#include "cup/CupStandings.h"

// A small cup's standings filled by hand for the output tests: three races, class 3 with a
// dropped value, a "DNS" that gave nothing and an unranked competitor, class 4 with a voided
// race and a formula's fraction of a point, and one club table. Texts hold markup characters,
// a semicolon and umlauts.
namespace CupSample {

using Result = CupStandings::RaceResult;

inline Result scored(int place, qint64 value, bool dropped = false) {
    Result r;
    r.kind = Result::Kind::Scored;
    r.place = place;
    r.value = value;
    r.hasValue = true;
    r.counted = !dropped;
    r.dropped = dropped;
    return r;
}

inline Result status(const QString& text) {
    Result r;
    r.kind = Result::Kind::Scored;
    r.status = text;
    return r;
}

inline Result kind(Result::Kind k) {
    Result r;
    r.kind = k;
    return r;
}

inline CupStandings::Row row(int place, const QString& name, const QString& firstName,
                             const QString& club, const QList<Result>& races, qint64 total,
                             qint64 gap) {
    CupStandings::Row r;
    r.place = place;
    r.identity = CupIdentity{name, firstName, club};
    r.races = races;
    r.total = total;
    r.gap = gap;
    return r;
}

inline CupStandings standings() {
    CupStandings s;
    s.raceTitles = {QStringLiteral("Lauf 1"), QStringLiteral("Lauf 2"),
                    QStringLiteral("Lauf 3 <Süd>")};
    CupStandings::ClassTable three;
    three.cls = QStringLiteral("3");
    CupStandings::Row leader =
        row(1, QStringLiteral("Müller"), QStringLiteral("Jörg"), QStringLiteral("SV Süd & Co"),
            {scored(1, 10000), scored(2, 8000), scored(3, 6000, true)}, 18000, 0);
    leader.titleDecided = true;
    leader.cls = QStringLiteral("3");
    CupStandings::Row second =
        row(2, QStringLiteral("Huber"), QStringLiteral("Max"), QStringLiteral("TSV <Nord>"),
            {scored(2, 8000), status(QStringLiteral("DNS")), scored(2, 8000)}, 16000, 2000);
    second.cls = QStringLiteral("3");
    CupStandings::Row unranked =
        row(0, QStringLiteral("Kurz"), QStringLiteral("Eva"), QString(),
            {kind(Result::Kind::Absent), kind(Result::Kind::Absent), scored(3, 6000)}, 6000, 0);
    unranked.classNote = QStringLiteral("Kl. 2 bis Lauf 2");
    unranked.note = QStringLiteral("zu wenige Starts (1 von 2)");
    three.rows = {leader, second, unranked};

    CupStandings::ClassTable four;
    four.cls = QStringLiteral("4");
    four.rows = {row(1, QStringLiteral("Lang"), QStringLiteral("Udo"), QStringLiteral("WSV"),
                     {scored(1, 5050), kind(Result::Kind::Voided), kind(Result::Kind::Absent)},
                     5050, 0)};
    four.voidedNotes = {QStringLiteral("Lauf 2 annulliert: Sturm")};
    s.classes = {three, four};

    CupStandings::ClubTable clubs;
    clubs.rows = {CupStandings::ClubRow{1,
                                        false,
                                        QStringLiteral("SV Süd & Co"),
                                        QString(),
                                        18000,
                                        {QStringLiteral("Müller Jörg (180)")},
                                        true},
                  CupStandings::ClubRow{2,
                                        false,
                                        QStringLiteral("TSV <Nord>"),
                                        QString(),
                                        16000,
                                        {QStringLiteral("Huber Max (160)")},
                                        true}};
    s.clubs = {clubs};
    return s;
}

} // namespace CupSample
