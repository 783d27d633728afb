#include "output/registration/StartListImport.h"

#include "competition/CellEditRules.h"
#include "competition/StageTables.h"
#include "output/registration/ImportValues.h"

#include <QHash>
#include <QSet>

namespace Heat = StageTables::Heat;

namespace {

constexpr int kColumns = 11;

// One file row that passed every check.
struct Entry {
    int line = 0;
    QString nr, name, vorname, verein, kl, meister;
};

QString valueOf(const ImportWorkbook::Row& row, const ImportMapping& mapping, ImportField field) {
    QStringList parts;
    for (int column : mapping.columnsOf(field)) {
        const QString part = row.cells.value(column).trimmed();
        if (!part.isEmpty())
            parts.append(part);
    }
    return parts.join(u' ');
}

QString quoted(const QString& text) {
    return QStringLiteral("„%1“").arg(text);
}

QString mappingBlocker(const ImportMapping& mapping) {
    if (mapping.columnsOf(ImportField::Name).isEmpty())
        return QStringLiteral("Keine Spalte ist „Name“ zugeordnet.");
    for (ImportField field : {ImportField::Nr, ImportField::Kl, ImportField::Meister}) {
        if (mapping.columnsOf(field).size() > 1)
            return QStringLiteral("%1 ist mehreren Spalten zugeordnet.")
                .arg(quoted(ImportFields::caption(field)));
    }
    return QString();
}

// Who a row registers, for rows without a number: the same person in the same class,
// whatever the spelling's case and blanks.
QString personKey(const QString& name, const QString& vorname, const QString& verein,
                  const QString& kl) {
    QStringList parts{name, vorname, verein, kl};
    for (QString& part : parts)
        part = part.simplified().toCaseFolded();
    return parts.join(u'\x1f');
}

QString personKey(const Entry& entry) {
    return personKey(entry.name, entry.vorname, entry.verein, entry.kl);
}

// The row's values, or the reasons it cannot be taken.
// listedPeople: personKey -> number of the rows in the list.
std::optional<Entry> check(const ImportWorkbook::Row& row, const ImportMapping& mapping,
                           const QHash<QString, QString>& listedPeople, QStringList* reasons) {
    Entry entry;
    entry.line = row.line;
    entry.nr = valueOf(row, mapping, ImportField::Nr);
    entry.name = valueOf(row, mapping, ImportField::Name);
    entry.vorname = valueOf(row, mapping, ImportField::Vorname);
    entry.verein = valueOf(row, mapping, ImportField::Verein);
    const QString classText = valueOf(row, mapping, ImportField::Kl);
    const QString markText = valueOf(row, mapping, ImportField::Meister);

    // A closing line ("Summe Meldungen:" and "19") registers nobody; its other reasons would
    // only hide that.
    const QStringList closing = ImportValues::labelAndNumbers(row.cells);
    if (!closing.isEmpty()) {
        QStringList shown;
        for (const QString& text : closing)
            shown.append(quoted(text));
        reasons->append(QStringLiteral("nur Beschriftung und Zahl (%1), keine Meldung")
                            .arg(shown.join(QStringLiteral(", "))));
        return std::nullopt;
    }

    if (entry.nr.isEmpty()) {
        // Decided below, once the class is known.
    } else if (!ImportValues::isNumber(entry.nr)) {
        reasons->append(QStringLiteral("Nr. %1 ist keine Zahl").arg(quoted(entry.nr)));
    } else {
        entry.nr = ImportValues::normalizedNumber(entry.nr);
    }
    if (entry.name.isEmpty())
        reasons->append(QStringLiteral("kein Name"));
    for (const auto& [field, text] : {std::pair{ImportField::Name, &entry.name},
                                      std::pair{ImportField::Vorname, &entry.vorname}}) {
        if (ImportValues::isNumeral(*text))
            reasons->append(QStringLiteral("%1 %2 ist nur eine Zahl")
                                .arg(ImportFields::caption(field), quoted(*text)));
    }
    const std::pair<ImportField, const QString*> texts[] = {{ImportField::Name, &entry.name},
                                                            {ImportField::Vorname, &entry.vorname},
                                                            {ImportField::Verein, &entry.verein}};
    for (const auto& [field, text] : texts) {
        const QString reason =
            StartListImport::unstorableReason(ImportFields::caption(field), *text);
        if (!reason.isEmpty())
            reasons->append(reason);
    }
    if (classText.isEmpty()) {
        entry.kl = QStringLiteral("4");
    } else if (const auto kl = ImportValues::classOf(classText, mapping.classes)) {
        entry.kl = *kl;
    } else if (ImportValues::isNumber(classText)) {
        reasons->append(
            QStringLiteral("Klasse %1 liegt nicht zwischen 1 und 4").arg(quoted(classText)));
    } else {
        reasons->append(
            QStringLiteral("Klasse %1 ist keiner Klasse zugeordnet").arg(quoted(classText)));
    }
    if (const auto mark = ImportValues::masterMark(markText))
        entry.meister = *mark ? QStringLiteral("+") : QString();
    else
        reasons->append(
            QStringLiteral("Meister %1 nicht verstanden (+, x, ja oder 1)").arg(quoted(markText)));
    if (entry.nr.isEmpty()) {
        // A row the list already holds (the same file imported again) is that competitor,
        // not a new one.
        entry.nr = listedPeople.value(personKey(entry));
        if (entry.nr.isEmpty() && !mapping.numberMissing)
            reasons->prepend(QStringLiteral("keine Nr."));
    }
    if (!reasons->isEmpty())
        return std::nullopt;
    return entry;
}

QStringList cellsOf(const Entry& entry) {
    QStringList cells(kColumns);
    cells[Heat::Nr] = entry.nr;
    cells[Heat::Name] = entry.name;
    cells[Heat::Vorname] = entry.vorname;
    cells[Heat::Verein] = entry.verein;
    cells[Heat::Kl] = entry.kl;
    cells[Heat::Meister] = entry.meister;
    return cells;
}

bool isEmptyRow(const QStringList& cells) {
    return std::all_of(cells.cbegin(), cells.cend(), [](const QString& c) { return c.isEmpty(); });
}

} // namespace

QString StartListImport::unstorableReason(const QString& caption, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch == u'\n' || ch == u'\r')
            return QStringLiteral("%1 enthält einen Zeilenumbruch").arg(quoted(caption));
        if (ch == u'\t')
            return QStringLiteral("%1 enthält einen Tabulator").arg(quoted(caption));
        if (CellEditRules::isStorable(ch))
            continue;
        QString shown(ch);
        if (ch.isHighSurrogate() && i + 1 < text.size())
            shown.append(text.at(i + 1));
        return QStringLiteral("%1 enthält %2, das die Protokolldatei nicht speichern kann")
            .arg(quoted(caption), quoted(shown));
    }
    return QString();
}

int StartListImport::nextFreeNumber(const QList<QStringList>& rows) {
    qint64 highest = 0;
    for (const QStringList& row : rows) {
        bool ok = false;
        const qint64 nr = row.value(Heat::Nr).trimmed().toLongLong(&ok);
        if (ok)
            highest = qMax(highest, nr);
    }
    return static_cast<int>(qMin<qint64>(highest + 1, 999999999));
}

ImportPlan StartListImport::plan(const QList<QStringList>& currentRows,
                                 const ImportWorkbook::Sheet& sheet, const ImportMapping& mapping) {
    ImportPlan plan;
    const bool append = mapping.mode == ImportMapping::Mode::Append;
    plan.rows = currentRows;
    while (!plan.rows.isEmpty() && isEmptyRow(plan.rows.last()))
        plan.rows.removeLast();
    plan.blocker = mappingBlocker(mapping);
    if (!plan.blocker.isEmpty()) {
        plan.rows = currentRows;
        return plan;
    }
    if (!append)
        plan.rows.clear();

    QHash<QString, int> listed;           // number -> index in plan.rows
    QHash<QString, QString> listedPeople; // personKey -> number
    for (int i = 0; i < plan.rows.size(); ++i) {
        const QStringList& cells = plan.rows.at(i);
        const QString nr = cells.value(Heat::Nr);
        if (nr.isEmpty())
            continue;
        if (!listed.contains(nr))
            listed.insert(nr, i);
        const QString person = personKey(cells.value(Heat::Name), cells.value(Heat::Vorname),
                                         cells.value(Heat::Verein), cells.value(Heat::Kl));
        if (!listedPeople.contains(person))
            listedPeople.insert(person, nr);
    }

    QList<Entry> entries;
    QHash<QString, int> lineOfNumber;
    QHash<QString, int> lineOfPerson; // rows of the file without a number
    for (qsizetype r = qMax(0, mapping.headerRow + 1); r < sheet.rows.size(); ++r) {
        const ImportWorkbook::Row& row = sheet.rows.at(r);
        QStringList reasons;
        const auto entry = check(row, mapping, listedPeople, &reasons);
        if (!entry) {
            plan.rejected.append({row.line, reasons.join(QStringLiteral("; "))});
            continue;
        }
        if (!entry->nr.isEmpty()) {
            const auto first = lineOfNumber.constFind(entry->nr);
            if (first != lineOfNumber.constEnd()) {
                plan.rejected.append({row.line, QStringLiteral("Nr. %1 steht schon in Zeile %2")
                                                    .arg(entry->nr)
                                                    .arg(first.value())});
                continue;
            }
            lineOfNumber.insert(entry->nr, row.line);
        } else {
            const QString person = personKey(*entry);
            const auto first = lineOfPerson.constFind(person);
            if (first != lineOfPerson.constEnd()) {
                plan.rejected.append({row.line, QStringLiteral("%1 steht schon in Zeile %2")
                                                    .arg(quoted(entry->name))
                                                    .arg(first.value())});
                continue;
            }
            lineOfPerson.insert(person, row.line);
        }
        entries.append(*entry);
    }

    QSet<QString> used(lineOfNumber.keyBegin(), lineOfNumber.keyEnd());
    for (auto it = listed.keyBegin(); it != listed.keyEnd(); ++it)
        used.insert(*it);
    qint64 next = qMax(1, mapping.firstNumber);
    for (Entry& entry : entries) {
        if (!entry.nr.isEmpty())
            continue;
        while (used.contains(QString::number(next)))
            ++next;
        entry.nr = QString::number(next++);
        used.insert(entry.nr);
    }

    for (const Entry& entry : std::as_const(entries)) {
        const auto existing = listed.constFind(entry.nr);
        if (existing == listed.constEnd()) {
            plan.rows.append(cellsOf(entry));
            ++plan.added;
            if (plan.firstAddedRow < 0)
                plan.firstAddedRow = static_cast<int>(plan.rows.size());
            continue;
        }
        QStringList& row = plan.rows[existing.value()];
        const QString who = QStringLiteral("Nr. %1 (%2)").arg(entry.nr, row.value(Heat::Name));
        if (mapping.existing == ImportMapping::Existing::Skip) {
            plan.alreadyListed.append(
                {entry.line, who + QStringLiteral(" ist schon in der Startliste: übersprungen")});
            continue;
        }
        const QStringList cells = cellsOf(entry);
        row.resize(qMax<qsizetype>(row.size(), kColumns));
        bool changed = false;
        for (int c = Heat::Name; c <= Heat::Meister; ++c) {
            changed = changed || row[c] != cells[c];
            row[c] = cells[c];
        }
        plan.updated += changed ? 1 : 0;
        plan.alreadyListed.append(
            {entry.line, who + (changed ? QStringLiteral(" ist schon in der Startliste: "
                                                         "aktualisiert, die Zeiten bleiben")
                                        : QStringLiteral(" ist schon in der Startliste: "
                                                         "unverändert"))});
    }
    return plan;
}
