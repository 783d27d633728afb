#include "ui/window/ActionStates.h"

#include "ui/window/HeaderBand.h"
#include "ui/window/MainActions.h"

#include <QAction>
#include <QCheckBox>
#include <QToolButton>

QString ActionStates::designedWordHint() {
    return QStringLiteral("Export in MS Word [Ctrl+W]");
}

QString ActionStates::designedExcelHint() {
    return QStringLiteral("Export in MS Excel [Ctrl+E]");
}

QString ActionStates::emptyTableHint() {
    return QStringLiteral("Die angezeigte Tabelle enthält keine Daten");
}

QString ActionStates::designedNewHint() {
    return QStringLiteral("Neu [Ctrl+N]");
}

QString ActionStates::runUnderwayHint() {
    return QStringLiteral("Nicht während eines Laufs: erst stoppen und eintragen");
}

ActionStates ActionStates::compute(const Inputs& in) {
    ActionStates s;
    s.html = in.shownTableHasData;
    s.excel = in.excelInstalled && s.html;
    s.replaceList = !in.runUnderway;
    s.neu = in.page == 0 && in.heatStartListHasData && s.replaceList;
    s.newHint = s.replaceList ? designedNewHint() : runUnderwayHint();
    s.replaceHint = s.replaceList ? QString() : runUnderwayHint();
    s.print = s.html;
    s.word = in.wordInstalled && s.html && in.wordTemplateExists;
    s.save = s.html;
    s.editBoxVisible = in.page == 0;
    // The hint names the reason the command is unavailable: an empty table is no missing
    // template, and Excel needs none.
    if (!in.wordInstalled)
        s.wordHint = QStringLiteral("MS Word ist nicht eingerichtet");
    else if (!in.shownTableHasData)
        s.wordHint = emptyTableHint();
    else if (!s.word)
        s.wordHint = QStringLiteral("Keine Wordvorlage unter ") + in.wordTemplatePath;
    else
        s.wordHint = designedWordHint();
    if (!in.excelInstalled)
        s.excelHint = QStringLiteral("MS Excel ist nicht eingerichtet");
    else if (!s.excel)
        s.excelHint = emptyTableHint();
    else
        s.excelHint = designedExcelHint();
    return s;
}

void ActionStates::applyTo(HeaderBand& h, MainActions& actions, QCheckBox& editBox) const {
    h.webPageButton->setEnabled(html);
    h.excelButton->setEnabled(excel);
    h.clearButton->setEnabled(neu);
    h.clearButton->setToolTip(newHint);
    actions.newProtocol->setEnabled(replaceList);
    actions.newProtocol->setToolTip(replaceHint);
    actions.randomResults->setEnabled(replaceList);
    actions.randomResults->setToolTip(replaceHint);
    h.printButton->setEnabled(print);
    h.wordButton->setEnabled(word);
    h.saveButton->setEnabled(save);
    h.wordButton->setToolTip(wordHint);
    h.excelButton->setToolTip(excelHint);
    actions.word->setEnabled(word);
    actions.excel->setEnabled(excel);
    actions.print->setEnabled(html);
    actions.webPage->setEnabled(html);
    editBox.setVisible(editBoxVisible);
}
