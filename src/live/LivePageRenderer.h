#pragma once

#include "live/LiveSnapshot.h"

#include <QByteArray>
#include <QString>

// Fills the live page templates with the state as it is when the page is asked for, so that a
// page shows the results before its script runs (and without one). Markers are HTML comments
// such as <!--live:title-->; every value put in their place is escaped.
namespace LivePageRenderer {

QByteArray render(const QByteArray& pageTemplate, const LiveSnapshot& snapshot);

// The pieces a marker is replaced with.
QString tableHtml(const LiveSnapshot::Table& table, const QString& id);
// The cup's section: its name and a table per class; empty without a cup.
QString cupHtml(const std::optional<LiveSnapshot::Cup>& cup);
QString top3Html(const QList<LiveSnapshot::Top3Row>& rows);
// Whether the results are official: the race's line and, with two classes or more, each
// class's state; empty before any result.
QString releaseHtml(const LiveSnapshot::Release& release);
QString lastResultHtml(const std::optional<LiveSnapshot::Result>& result);
// The time as the pages show it: seconds with two decimals, "12,34".
QString clockText(qint64 milliseconds, QChar decimalSeparator);

} // namespace LivePageRenderer
