#pragma once

#include <QtGlobal>

// The stored settings that the run clock and the light-barrier logic work with; each class
// takes the members it needs. Defaults are those of a first start.
struct TimingSettings {
    qint32 timerMs = 10000;         // "Timer": countdown length, above 0 turns countdown mode on
    qint32 lengthMetres = 50;       // "Len": last section, above 0 shows "Zwischen" and the speed
    qint32 lockTimeMs = 5000;       // "LockTime": stop lock after each start, 0 = never freed
    qint32 waitStartMs = 5000;      // "WaitStart": start lock, used only when above 0
    int alg = 0;                    // "Alg": 0 contacts close, 1 contacts open, others never act
    bool autoReset = true;          // "AutoReset": initial tick of the auto-entry check box
    bool backupLine = false;        // "BLine": System B, a backup stop contact on RI
    qint32 backupLockTimeMs = 5000; // "BLockTime": System B's lock after each start
    qint32 stuckLimitMs = 3000;     // "StuckLimit": a line active longer than this is told
};
