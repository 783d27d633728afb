#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A competitor registered at the slide: the proposal for the form and the checks before the
// row is appended to the heat start list.
class LateEntry {
public:
    QString nr;
    QString name;
    QString vorname;
    QString verein;
    QString kl = QStringLiteral("4");
    bool meister = false;

    // The proposal for the list: the next free number, class 4.
    static LateEntry proposal(const QList<QStringList>& rows);
    // The clubs of the list, each once, sorted without case, for completion.
    static QStringList clubs(const QList<QStringList>& rows);

    // Why the entry cannot be appended to these rows, or an empty text; a missing name first.
    QString problem(const QList<QStringList>& rows) const;
    // The heat start list row: the texts trimmed, no runs.
    QStringList cells() const;
};
