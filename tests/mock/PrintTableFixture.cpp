#include "mock/PrintTableFixture.h"

#include "competition/StageTables.h"

PrintTableFixture::PrintTableFixture(bool systemHasPrinter)
    : view(std::make_unique<CompetitionTableView>(&competition.heatStartList(),
                                                  &competition.timeFormat())),
      preview(std::make_unique<PrintPreviewWindow>(
          dialogs, nullptr, [systemHasPrinter] { return systemHasPrinter; })) {
    competition.writeHeatStartListHeader();
    preview->printers().setScreenDpi(96);
    applyDesignedWidths();
}

void PrintTableFixture::fill(int rows) {
    grid().setRowsWithHeader(rows + 1);
    for (int r = 1; r <= rows; ++r) {
        grid().setCell(0, r, QString::number(r));
        grid().setCell(1, r, QStringLiteral("Name%1-mit-einem-langen-Zusatz").arg(r));
        grid().setCell(2, r, QStringLiteral("Vorname%1").arg(r));
        grid().setCell(3, r, QStringLiteral("Verein %1").arg(r % 7));
        grid().setCell(4, r, QString::number(1 + r % 4));
        grid().setCell(6, r, QStringLiteral("10,%1").arg(r % 90 + 10));
        grid().setCell(9, r, QStringLiteral("99,99"));
    }
}

void PrintTableFixture::applyDesignedWidths() {
    setWidths(StageTables::columnWidths(grid().tag(), 740));
}

void PrintTableFixture::setWidths(const QList<int>& widths) {
    for (int c = 0; c < grid().columns(); ++c) {
        const int width = widths.value(c, -1);
        view->setColumnHidden(c, width < 0);
        if (width >= 0)
            view->setColumnWidth(c, width);
    }
}
