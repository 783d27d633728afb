#pragma once

#include "competition/Competition.h"
#include "competition/widgets/CompetitionTableView.h"
#include "mock/FakeFileDialogs.h"
#include "print/PrintPreviewWindow.h"

#include <QList>
#include <memory>

// A competition with its four stage tables shown in views of fixed column widths, and a
// preview window laid out for an A4 page, as the print tests need them.
class PrintTableFixture {
public:
    // systemHasPrinter: what the print system is made to answer.
    explicit PrintTableFixture(bool systemHasPrinter = false);

    Competition competition;
    std::unique_ptr<CompetitionTableView> view; // the heat start list
    std::shared_ptr<FakeFileDialogs> dialogs = std::make_shared<FakeFileDialogs>();
    std::unique_ptr<PrintPreviewWindow> preview;

    CompetitionTable& grid() { return competition.heatStartList(); }
    // n competitors, "Nr." 1..n, names long enough to be clipped.
    void fill(int rows);
    // The designed widths of the table at a client width of 740 pixels: one A4 band.
    void applyDesignedWidths();
    // Every column of the view set to a width (-1 hides it).
    void setWidths(const QList<int>& widths);
};
