#pragma once

#include <QString>

struct StartListSnapshot;

// The name a step of the history shows in "Rückgängig" and "Wiederholen", read from what
// changed when the command that made it gave none: "Ergebnis 10,24 für Nr. 7 Meier" (a time
// entered), "Zeit 10,24 für Nr. 7" (a time changed), "DNF für Nr. 7", "Zeile hinzufügen", ...
namespace StartListChangeName {

QString describe(const StartListSnapshot& before, const StartListSnapshot& after);

} // namespace StartListChangeName
