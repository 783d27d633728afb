#include "competition/StageTables.h"

namespace StageTables {

namespace {

ColumnSpec fixed(const char* caption, int width, Qt::Alignment alignment) {
    return ColumnSpec{QString::fromUtf8(caption), width, 0, alignment};
}

ColumnSpec shared(const char* caption, int percent) {
    return ColumnSpec{QString::fromUtf8(caption), 0, percent, Qt::AlignLeft};
}

} // namespace

QList<ColumnSpec> columns(int tag) {
    const Qt::Alignment right = Qt::AlignRight;
    const Qt::Alignment centre = Qt::AlignHCenter;
    switch (tag) {
    case HeatStartList:
        return {fixed("Nr.", 31, right),
                shared("Name", 40),
                shared("Vorname", 30),
                shared("Verein/Ort", 30),
                fixed("Kl.", 20, centre),
                fixed("Meister", 51, centre),
                fixed("Zeit1", 50, right),
                fixed("Zeit2", 50, right),
                fixed("Zeit3", 50, right),
                fixed("Zeit4", -1, Qt::AlignLeft),
                fixed("Zeit5", -1, Qt::AlignLeft)};
    case HeatResults:
        return {fixed("Pl.", 28, right),      fixed("Nr.", 31, right),    shared("Name", 40),
                shared("Vorname", 30),        shared("Verein / Ort", 30), fixed("Kl.", 20, centre),
                fixed("Meister", 51, centre), fixed("Zeit1", 50, right),  fixed("Zeit2", 50, right),
                fixed("G-Zeit", 50, right)};
    case FinalStartList:
        return {fixed("Nr.", 31, right),    shared("Name", 40),        shared("Vorname", 30),
                shared("Verein / Ort", 30), fixed("Kl.", 20, centre),  fixed("Meister", 51, centre),
                fixed("G-Zeit", 50, right), fixed("Zeit4", 50, right), fixed("Zeit5", 50, right)};
    case FinalResults:
        return {fixed("Pl.", 28, right),      fixed("Nr.", 31, right),    shared("Name", 40),
                shared("Vorname", 30),        shared("Verein / Ort", 30), fixed("Kl.", 20, centre),
                fixed("Meister", 51, centre), fixed("G-Zeit", 50, right), fixed("Zeit4", 50, right),
                fixed("Zeit5", 50, right),    fixed("Endzeit", 54, right)};
    case Teams:
        return {fixed("", 64, Qt::AlignLeft), fixed("", 100, Qt::AlignLeft),
                fixed("", 64, Qt::AlignLeft), fixed("", 64, Qt::AlignLeft),
                fixed("", 64, Qt::AlignLeft)};
    default:
        return {};
    }
}

int columnCount(int tag) {
    return static_cast<int>(columns(tag).size());
}

QStringList defaultCaptions(int tag) {
    QStringList captions;
    for (const auto& spec : columns(tag))
        captions.append(spec.caption);
    return captions;
}

QStringList pageCaptions() {
    return {QStringLiteral("      Vorlauf-Startliste"), QStringLiteral("      Vorlauf-Ergebnisse"),
            QStringLiteral("      Endlauf-Startliste"), QStringLiteral("      Endlauf-Ergebnisse")};
}

QList<int> columnWidths(int tag, int clientWidth, const QList<int>& needed) {
    const QList<ColumnSpec> specs = columns(tag);
    QList<int> fixedWidths;
    int fixedSum = 0;
    for (qsizetype c = 0; c < specs.size(); ++c) {
        const int fixed = specs[c].fixedWidth > 0 ? qMax(specs[c].fixedWidth, needed.value(c))
                                                  : specs[c].fixedWidth;
        fixedWidths.append(fixed);
        if (fixed > 0)
            fixedSum += fixed;
    }
    const int rest = clientWidth - fixedSum - static_cast<int>(specs.size());
    QList<int> widths;
    for (qsizetype c = 0; c < specs.size(); ++c) {
        if (fixedWidths[c] != 0)
            widths.append(fixedWidths[c]);
        else
            widths.append(qMax(0, rest * specs[c].sharePercent / 100));
    }
    return widths;
}

} // namespace StageTables
