#include "ui/ActionStates.h"

QString ActionStates::designedWordHint() {
    return QStringLiteral("Export in MS Word [Ctrl+W]");
}

QString ActionStates::designedExcelHint() {
    return QStringLiteral("Export in MS Excel [Ctrl+E]");
}

ActionStates ActionStates::compute(const Inputs& in) {
    ActionStates s;
    s.html = in.shownTableHasData;
    s.excel = in.excelInstalled && s.html;
    s.neu = in.page == 0 && in.heatStartListHasData;
    s.print = s.html;
    s.word = in.wordInstalled && s.html && in.wordTemplateExists;
    s.save = s.html;
    s.editBoxVisible = in.page == 0;
    if (!in.wordInstalled)
        s.wordHint = QStringLiteral("MS Word ist nicht eingerichtet");
    else if (!s.word)
        s.wordHint = QStringLiteral("Keine Wordvorlage unter ") + in.wordTemplatePath;
    else
        s.wordHint = designedWordHint();
    if (!in.excelInstalled)
        s.excelHint = QStringLiteral("MS Excel ist nicht eingerichtet");
    else if (!s.excel)
        s.excelHint = QStringLiteral("Keine Excelvorlage unter ") + in.excelTemplatePath;
    else
        s.excelHint = designedExcelHint();
    return s;
}
