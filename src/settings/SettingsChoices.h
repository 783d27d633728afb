#pragma once

// What the operator left in the settings dialog when confirming it, as the dialog's fields
// read it: seconds and metres as shown, the port as the selected entry.
struct SettingsChoices {
    int vidResult = 0;                     // 0 "1024", 1 "10,24"
    double lockTimeSeconds = 5;            // "Stopp-Sperren:"
    double timerSeconds = 10;              // "Timer:"
    int screenIndex = 0;                   // "Multimonitor:"
    double lengthMetres = 50;              // "Letzter  Abschnitt:"
    bool portChosen = false;               // an entry other than "Keine"
    int portNumber = 0;                    // read from the chosen entry's text
    int alg = 0;                           // "Kontakten:" index
    bool backupLine = false;               // "System B:"
    double backupLockSeconds = 5;          // "Sperre B:"
    double stuckLimitSeconds = 3;          // "Dauer-aktiv:"
    double maxRunSeconds = 120;            // "Max. Laufzeit:"
    bool certificatesAfterRelease = false; // "Urkunden erst nach Freigabe"
};
