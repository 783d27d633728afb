#include "mock/ProtocolLoad.h"

#include "output/ProtocolFile.h"

bool loadProtocol(CompetitionTable& table, const QString& fileName) {
    const auto rows = ProtocolFile::readProtocolFile(fileName, table);
    if (!rows)
        return false;
    ProtocolFile::replaceRows(table, *rows);
    return true;
}
