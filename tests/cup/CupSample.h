#pragma once

#include "cup/CupStandings.h"

// A small cup's standings filled by hand for the output tests: three races, class 3 with a
// dropped value, a "DNS" that gave nothing and an unranked competitor, class 4 with a voided
// race and a fraction of a point, and one club table; markup, "&" and umlauts in the texts.
namespace CupSample {

using Result = CupStandings::RaceResult;

// "10000" counted, "(6000)" dropped, "DNS" a status without a value, "-" absent, "x" voided.
inline Result result(const QString& text) {
    Result r;
    if (text == u"-")
        return r;
    r.kind = text == u"x" ? Result::Kind::Voided : Result::Kind::Scored;
    if (text.at(0).isLetter()) {
        r.status = r.kind == Result::Kind::Scored ? text : QString();
        return r;
    }
    r.dropped = text.startsWith(u'(');
    r.counted = !r.dropped;
    r.hasValue = true;
    r.value = QString(text).remove(u'(').remove(u')').toLongLong();
    return r;
}

// "place;name;first name;club;results;total;gap", values in hundredths.
inline CupStandings::Row row(const QString& line) {
    const QStringList f = line.split(u';');
    CupStandings::Row r;
    r.place = f.at(0).toInt();
    r.identity = CupIdentity{f.at(1), f.at(2), f.at(3)};
    for (const QString& text : f.at(4).split(u' '))
        r.races.append(result(text));
    r.total = f.at(5).toLongLong();
    r.gap = f.at(6).toLongLong();
    return r;
}

inline CupStandings standings() {
    CupStandings s;
    s.raceTitles = {QStringLiteral("Lauf 1"), QStringLiteral("Lauf 2"),
                    QStringLiteral("Lauf 3 <Süd>")};
    CupStandings::ClassTable three{QStringLiteral("3"),
                                   {row(QStringLiteral("1;Müller;Jörg;SV Süd & Co;"
                                                       "10000 8000 (6000);18000;0")),
                                    row(QStringLiteral("2;Huber;Max;TSV <Nord>;"
                                                       "8000 DNS 8000;16000;2000")),
                                    row(QStringLiteral("0;Kurz;Eva;;- - 6000;6000;0"))},
                                   {}};
    three.rows[0].titleDecided = true;
    three.rows[2].classNote = QStringLiteral("Kl. 2 bis Lauf 2");
    three.rows[2].note = QStringLiteral("zu wenige Starts (1 von 2)");
    const CupStandings::ClassTable four{QStringLiteral("4"),
                                        {row(QStringLiteral("1;Lang;Udo;WSV;5050 x -;5050;0"))},
                                        {QStringLiteral("Lauf 2 annulliert: Sturm")}};
    s.classes = {three, four};
    s.clubs = {{QString(),
                {{1,
                  false,
                  QStringLiteral("SV Süd & Co"),
                  {},
                  18000,
                  {QStringLiteral("Müller Jörg (180)")},
                  true},
                 {2,
                  false,
                  QStringLiteral("TSV <Nord>"),
                  {},
                  16000,
                  {QStringLiteral("Huber Max (160)")},
                  true}}}};
    return s;
}

// A row of cells written as one text: "1;Müller;Jörg".
inline QStringList cells(const char* joined) {
    return QString::fromUtf8(joined).split(u';');
}

} // namespace CupSample
