#include "journal/widgets/JournalImpulseModel.h"

#include "journal/JournalBackwardReader.h"
#include "journal/JournalRecorder.h"
#include "timing/RunClock.h"

#include <QFont>

namespace {

const char16_t* const Headers[JournalImpulseModel::ColumnCount] = {
    u"Uhrzeit", u"Ereignis",    u"Name",     u"Quelle",
    u"Wert",    u"Stempel (s)", u"Laufzeit", u"Eingetragen"};

// Fetches in a row that may find no impulse at all before giving the view back.
constexpr int FetchesPerCall = 10;

} // namespace

JournalImpulseModel::JournalImpulseModel(std::unique_ptr<JournalBackwardReader> reader,
                                         const TimeFormat& format, const QDate& today,
                                         QObject* parent)
    : QAbstractTableModel(parent), m_reader(std::move(reader)), m_format(format), m_today(today) {
    fetchMore(QModelIndex());
}

JournalImpulseModel::~JournalImpulseModel() = default;

int JournalImpulseModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int JournalImpulseModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant JournalImpulseModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return QVariant();
    return QString::fromUtf16(Headers[section]);
}

QVariant JournalImpulseModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    if (role == Qt::DisplayRole)
        return text(index.row(), index.column());
    // A substitute's row tells how it was calculated.
    if (role == Qt::ToolTipRole) {
        const QString calculation = JournalRuns::calculationOf(entry(index.row()));
        return calculation.isEmpty() ? QVariant() : QVariant(calculation);
    }
    if (role == Qt::FontRole && (startRow() == index.row() || stopRow() == index.row())) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    return QVariant();
}

QString JournalImpulseModel::text(int row, int column) const {
    const JournalEntry& e = entry(row);
    switch (column) {
    case Time:
        return e.wallClock.toString(e.wallClock.date() == m_today
                                        ? QStringLiteral("HH:mm:ss.zzz")
                                        : QStringLiteral("dd.MM. HH:mm:ss.zzz"));
    case Kind:
        return JournalEntry::kindText(e.kind);
    case Name: {
        QString name = e.name;
        if (startRow() == row)
            name += QStringLiteral("  [Start]");
        if (stopRow() == row)
            name += QStringLiteral("  [Stopp]");
        return name;
    }
    case Source:
        return e.source;
    case Value:
        return e.oldText.isEmpty() ? e.newText : e.oldText + u'>' + e.newText;
    case Stamp: {
        const qint64 stamp = e.stamp.value_or(0);
        return QStringLiteral("%1,%2")
            .arg(stamp / 1'000'000)
            .arg(qAbs(stamp % 1'000'000), 6, 10, QLatin1Char('0'));
    }
    case RunTime:
        return e.runMicroseconds
                   ? m_format.formatTime(RunClock::truncatedToHundredths(*e.runMicroseconds) / 10)
                   : QString();
    case Entered:
        return enteredText(row);
    default:
        return QString();
    }
}

QString JournalImpulseModel::enteredText(int row) const {
    const qint64 stamp = entry(row).stamp.value_or(0);
    if (isCommand(row, u"Start"))
        return numberText(m_entered.enteredAsStart(stamp));
    if (isCommand(row, u"Stopp"))
        return numberText(m_entered.enteredAsStop(stamp));
    return numberText(m_entered.enteredAs(stamp, stamp));
}

QString JournalImpulseModel::enteredText(qint64 startStamp, qint64 stopStamp) const {
    return numberText(m_entered.enteredAs(startStamp, stopStamp));
}

QString JournalImpulseModel::numberText(const std::optional<QString>& number) const {
    if (!number)
        return QString();
    if (number->isEmpty())
        return QStringLiteral("eingetragen");
    const QString name = m_competitorName ? m_competitorName(*number).trimmed() : QString();
    return QStringLiteral("Nr. ") + *number + (name.isEmpty() ? QString() : u' ' + name);
}

bool JournalImpulseModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !m_reader->atBeginning();
}

void JournalImpulseModel::fetchMore(const QModelIndex& parent) {
    if (parent.isValid())
        return;
    QList<JournalEntry> older;
    for (int i = 0; i < FetchesPerCall && older.isEmpty() && !m_reader->atBeginning(); ++i) {
        for (JournalEntry& e : m_reader->readOlder(linesPerFetch)) {
            m_entered.seeOlder(e);
            if (e.isImpulse())
                older.append(std::move(e));
        }
    }
    if (older.isEmpty())
        return;
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(older.size()) - 1);
    for (JournalEntry& e : older)
        m_rows.push_back(std::move(e));
    endInsertRows();
}

void JournalImpulseModel::addNewer(const JournalEntry& entry) {
    if (m_entered.see(entry) && !m_rows.empty())
        Q_EMIT dataChanged(index(0, Entered), index(rowCount() - 1, Entered));
    if (entry.isImpulse()) {
        beginInsertRows(QModelIndex(), 0, 0);
        m_rows.push_front(entry);
        ++m_topId;
        endInsertRows();
    }
    if (const auto run = JournalRuns::enteredRunOf(entry))
        Q_EMIT runEntered(run->first, run->second);
}

std::optional<int> JournalImpulseModel::rowOf(std::optional<qint64> id) const {
    if (!id)
        return std::nullopt;
    const qint64 row = m_topId - *id;
    if (row < 0 || row >= rowCount())
        return std::nullopt;
    return static_cast<int>(row);
}

std::optional<qint64> JournalImpulseModel::idOf(std::optional<int> row) const {
    if (!row || *row < 0 || *row >= rowCount())
        return std::nullopt;
    return m_topId - *row;
}

void JournalImpulseModel::changedRow(std::optional<int> row) {
    if (row)
        Q_EMIT dataChanged(index(*row, 0), index(*row, ColumnCount - 1));
}

void JournalImpulseModel::setStartRow(std::optional<int> row) {
    const auto before = startRow();
    m_startId = idOf(row);
    changedRow(before);
    changedRow(startRow());
}

void JournalImpulseModel::setStopRow(std::optional<int> row) {
    const auto before = stopRow();
    m_stopId = idOf(row);
    changedRow(before);
    changedRow(stopRow());
}

bool JournalImpulseModel::isCommand(int row, const char16_t* name) const {
    const JournalEntry& e = entry(row);
    return e.kind == JournalEntry::Kind::Command && e.stamp && e.name == QStringView(name);
}

std::optional<std::pair<int, int>> JournalImpulseModel::newestOpenRun() {
    int fetches = 0;
    const auto more = [this, &fetches](int row) {
        while (row >= rowCount() && canFetchMore(QModelIndex()) &&
               fetches++ < openRunSearchLines / linesPerFetch)
            fetchMore(QModelIndex());
        return row < rowCount();
    };
    for (int stop = 0; more(stop); ++stop) {
        if (!isCommand(stop, u"Stopp") || m_entered.enteredAsStop(*entry(stop).stamp))
            continue;
        int start = stop + 1;
        while (more(start) && !isCommand(start, u"Start"))
            ++start;
        if (start >= rowCount())
            return std::nullopt;
        if (!m_entered.enteredAsStart(*entry(start).stamp))
            return std::make_pair(start, stop);
    }
    return std::nullopt;
}

int JournalImpulseModel::skippedLines() const {
    return m_reader->skippedLines();
}

QStringList JournalImpulseModel::readErrors() const {
    return m_reader->errors();
}
