#include "session/LiveCupTables.h"

#include "cup/CupTableText.h"
#include "cup/CupValueText.h"

namespace LiveCupTables {

LiveSnapshot::Cup build(const CupStandings& standings, const QString& cupName,
                        CupRules::Scoring scoring) {
    LiveSnapshot::Cup cup;
    cup.name = cupName;
    cup.unit = CupValueText::unit(scoring);
    for (const CupStandings::ClassTable& standing : standings.classes) {
        LiveSnapshot::Table table;
        table.caption = CupTableText::classCaption(standing.cls);
        table.header = {QStringLiteral("Pl."), QStringLiteral("Name"), QStringLiteral("Verein"),
                        cup.unit, QStringLiteral("Abstand")};
        for (const CupStandings::Row& row : standing.rows) {
            const QString name = (row.identity.name + u' ' + row.identity.firstName).trimmed();
            table.rows.append({CupTableText::placeText(row.place), name, row.identity.club,
                               CupValueText::format(row.total, scoring),
                               CupTableText::gapText(row, scoring)});
        }
        cup.classes.append(table);
    }
    return cup;
}

} // namespace LiveCupTables
