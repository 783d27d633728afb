#pragma once

#include "cup/CupEntry.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

// One race of a cup: the protocol file it was read from, the content hash of the file at that
// moment and the results then read. The results are kept in the cup file, so that a race file
// changed or lost later never changes the standings behind the organiser's back.
struct CupRace {
    QString file;            // as written in the cup file: relative to its folder where possible
    QByteArray sha256;       // hex, of the protocol file's bytes when it was read
    QString title;           // "Lauf 1 Oberstdorf"; the file's base name by default
    int weightPercent = 100; // 200: the race counts double
    QMap<QString, QString> voidedClasses; // class -> the reason printed with the standings
    QList<CupEntry> entries;              // class by class, each in the race's order

    bool isVoided(const QString& cls) const { return voidedClasses.contains(cls); }
};
