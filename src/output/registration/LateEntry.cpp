#include "output/registration/LateEntry.h"

#include "competition/StageTables.h"
#include "output/registration/ImportValues.h"
#include "output/registration/StartListImport.h"

#include <QCollator>
#include <QSet>

namespace Heat = StageTables::Heat;

LateEntry LateEntry::proposal(const QList<QStringList>& rows) {
    LateEntry entry;
    entry.nr = QString::number(StartListImport::nextFreeNumber(rows));
    return entry;
}

QStringList LateEntry::clubs(const QList<QStringList>& rows) {
    QStringList result;
    QSet<QString> seen;
    for (const QStringList& row : rows) {
        const QString club = row.value(Heat::Verein).trimmed();
        if (!club.isEmpty() && !seen.contains(club.toLower())) {
            seen.insert(club.toLower());
            result.append(club);
        }
    }
    QCollator collator{QLocale(QLocale::German)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(result.begin(), result.end(), collator);
    return result;
}

QString LateEntry::problem(const QList<QStringList>& rows) const {
    if (name.trimmed().isEmpty())
        return QStringLiteral("Bitte einen Namen eingeben.");
    const QString number = nr.trimmed();
    if (!ImportValues::isNumber(number))
        return QStringLiteral("Die Nr. muss eine Zahl sein.");
    const QString key = ImportValues::normalizedNumber(number);
    for (const QStringList& row : rows) {
        if (row.value(Heat::Nr) == key)
            return QStringLiteral("Die Nr. %1 ist schon vergeben (%2).")
                .arg(key, row.value(Heat::Name));
    }
    if (!(kl.size() == 1 && kl.front() >= u'1' && kl.front() <= u'4'))
        return QStringLiteral("Die Klasse muss 1 bis 4 sein.");
    const std::pair<QString, QString> texts[] = {{QStringLiteral("Name"), name},
                                                 {QStringLiteral("Vorname"), vorname},
                                                 {QStringLiteral("Verein/Ort"), verein}};
    for (const auto& [caption, text] : texts) {
        const QString reason = StartListImport::unstorableReason(caption, text.trimmed());
        if (!reason.isEmpty())
            return reason + u'.';
    }
    return QString();
}

QStringList LateEntry::cells() const {
    QStringList row(11);
    row[Heat::Nr] = ImportValues::normalizedNumber(nr.trimmed());
    row[Heat::Name] = name.trimmed();
    row[Heat::Vorname] = vorname.trimmed();
    row[Heat::Verein] = verein.trimmed();
    row[Heat::Kl] = kl;
    row[Heat::Meister] = meister ? QStringLiteral("+") : QString();
    return row;
}
