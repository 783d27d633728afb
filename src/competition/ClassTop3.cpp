#include "competition/ClassTop3.h"

#include "competition/StageTables.h"
#include "competition/TSortGrid.h"

namespace {

constexpr int BlockSize = 3;

ClassTop3::Entry entryOf(const TSortGrid& grid, int row, int slot) {
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

QList<ClassTop3> ClassTop3::collect(const TSortGrid& finalResults, int maxClasses) {
    using namespace StageTables::FinalRes;
    QList<ClassTop3> blocks;
    int k = 1;
    for (int i = 1; i < finalResults.RowCount() && k <= maxClasses; ++i) {
        if (finalResults.cell(Pl, i).isEmpty())
            break;
        const QString wanted = QString::number(k);
        if (finalResults.cell(Kl, i) != wanted)
            continue;
        // The block starts at the class's first row; the two rows after it belong to it only
        // while they carry the same class.
        ClassTop3 block;
        block.className = wanted;
        for (int j = 0; j < BlockSize; ++j) {
            const int r = i + j;
            if (r < finalResults.RowCount() && finalResults.cell(Kl, r) == wanted)
                block.entries.append(entryOf(finalResults, r, j));
        }
        blocks.append(block);
        ++k;
    }
    return blocks;
}
