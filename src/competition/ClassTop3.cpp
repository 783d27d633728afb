#include "competition/ClassTop3.h"

#include "competition/CompetitionTable.h"
#include "competition/StageTables.h"

#include <algorithm>

namespace {

constexpr int BlockSize = 3;

ClassTop3::Entry entryOf(const CompetitionTable& grid, int row, int slot) {
    using namespace StageTables::FinalRes;
    ClassTop3::Entry e;
    e.slot = slot;
    e.place = grid.cell(Pl, row);
    e.number = grid.cell(Nr, row);
    e.name = grid.cell(Name, row);
    e.firstName = grid.cell(Vorname, row);
    e.club = grid.cell(Verein, row);
    e.className = grid.cell(Kl, row);
    e.champion = grid.cell(Meister, row);
    e.time = grid.cell(Endzeit, row);
    return e;
}

} // namespace

QList<ClassTop3> ClassTop3::collect(const CompetitionTable& finalResults, int maxClasses) {
    using namespace StageTables::FinalRes;
    QList<ClassTop3> blocks;
    for (int row = 1; row < finalResults.rowsWithHeader(); ++row) {
        // Finalists with a state stand placeless at the end of their class; only finishers
        // have a block entry.
        if (finalResults.cell(Pl, row).isEmpty())
            continue;
        const QString className = finalResults.cell(Kl, row);
        auto block = std::find_if(blocks.begin(), blocks.end(),
                                  [&](const ClassTop3& b) { return b.className == className; });
        if (block == blocks.end()) {
            // A class without finishers has no block, so the ones after it keep theirs.
            if (blocks.size() >= maxClasses)
                continue;
            blocks.append(ClassTop3{className, {}});
            block = blocks.end() - 1;
        }
        const auto slot = static_cast<int>(block->entries.size());
        if (slot < BlockSize)
            block->entries.append(entryOf(finalResults, row, slot));
    }
    return blocks;
}
