#include "cup/CupDocument.h"

#include "competition/ClassKey.h"
#include "cup/CupCalculator.h"
#include "cup/CupFile.h"
#include "cup/CupRaceCheck.h"
#include "cup/CupRaceReader.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <memory>

namespace {

// Steps back kept per cup; a definition shares its lists with the next, so they cost little.
constexpr int UndoLimit = 100;

QList<CupRace> absoluteFiles(QList<CupRace> races, const QString& cupFileName) {
    for (CupRace& race : races)
        race.file = CupFile::racePath(race, cupFileName);
    return races;
}

} // namespace

CupDocument::CupDocument(QObject* parent) : QObject(parent) {
    // One job after the other: a save must not overtake the change before it.
    m_pool.setMaxThreadCount(1);
    m_pool.setExpiryTimeout(-1);
}

CupDocument::~CupDocument() {
    m_pool.waitForDone();
}

CupDocument::RaceFileState CupDocument::raceFileState(int race) const {
    if (race < 0 || race >= m_raceStates.size() || race >= m_cup.races.size() ||
        m_checkedFiles.value(race) != m_cup.races[race].file)
        return RaceFileState::Unchecked;
    return m_raceStates[race];
}

QStringList CupDocument::classes() const {
    QList<QString> found;
    for (const CupRace& race : m_cup.races) {
        for (const CupEntry& entry : race.entries) {
            if (!found.contains(entry.cls))
                found.append(entry.cls);
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const QString& a, const QString& b) {
        return ClassKey::fromText(a) < ClassKey::fromText(b);
    });
    return found;
}

void CupDocument::create(const QString& name) {
    CupDefinition cup;
    cup.name = name;
    cup.rules.pointsTable = CupRules::worldCupTable();
    m_fileName.clear();
    m_undo.clear();
    m_redo.clear();
    m_raceStates.clear();
    m_checkedFiles.clear();
    m_fileWarnings.clear();
    m_open = true;
    replace(cup, true);
}

void CupDocument::open(const QString& fileName) {
    run([this, fileName]() -> std::function<void()> {
        QString error;
        auto cup = CupFile::load(fileName, &error);
        if (!cup)
            return [this, error] {
                Q_EMIT failed(error);
            };
        cup->races = absoluteFiles(cup->races, fileName);
        return [this, fileName, cup = *cup] {
            m_fileName = fileName;
            m_undo.clear();
            m_redo.clear();
            m_raceStates.clear();
            m_checkedFiles.clear();
            m_fileWarnings.clear();
            m_open = true;
            replace(cup, false);
            checkRaces();
        };
    });
}

void CupDocument::close() {
    m_open = false;
    m_cup = CupDefinition();
    m_fileName.clear();
    m_modified = false;
    m_undo.clear();
    m_redo.clear();
    m_raceStates.clear();
    m_checkedFiles.clear();
    m_fileWarnings.clear();
    ++m_generation; // a computation under way is for the old cup
    m_standings = CupStandings();
    m_proposals.clear();
    Q_EMIT changed();
    Q_EMIT standingsChanged();
}

void CupDocument::save(const QString& fileName) {
    const QString target = fileName.isEmpty() ? m_fileName : fileName;
    if (!m_open || target.isEmpty())
        return;
    // Races still being read belong to what is saved: the cup is taken once the work queued
    // before it has been applied.
    run([this, target]() -> std::function<void()> {
        return [this, target] {
            write(target);
        };
    });
}

void CupDocument::write(const QString& target) {
    const CupDefinition cup = m_cup;
    const quint64 revision = m_revision;
    run([this, cup, target, revision]() -> std::function<void()> {
        if (const auto error = CupFile::save(cup, target))
            return [this, error = *error] {
                Q_EMIT failed(error);
            };
        return [this, target, revision] {
            m_fileName = target;
            // A change made while the file was written is not in it.
            m_modified = revision != m_revision;
            Q_EMIT changed();
            Q_EMIT notice(QStringLiteral("Cup gespeichert: ") + target);
        };
    });
}

void CupDocument::addRaces(const QStringList& files) {
    if (!m_open || files.isEmpty())
        return;
    run([this, files]() -> std::function<void()> {
        QList<CupRace> read;
        QStringList errors;
        for (const QString& file : files) {
            QString error;
            auto result = CupRaceReader::fromFile(file, &error);
            if (!result) {
                errors.append(error);
                continue;
            }
            CupRace race;
            race.file = QFileInfo(file).absoluteFilePath();
            race.sha256 = result->sha256;
            race.title = QFileInfo(file).completeBaseName();
            race.entries = result->entries;
            read.append(race);
        }
        return [this, read = read, errors = errors]() mutable {
            // One race counted twice would give its points twice: the same file or the same
            // content under another name is refused.
            for (qsizetype i = read.size() - 1; i >= 0; --i) {
                for (qsizetype r = 0; r < m_cup.races.size(); ++r) {
                    const CupRace& race = m_cup.races[r];
                    if (race.file != read[i].file && race.sha256 != read[i].sha256)
                        continue;
                    errors.append(QStringLiteral("%1 ist schon Lauf %2 dieses Cups")
                                      .arg(QDir::toNativeSeparators(read[i].file))
                                      .arg(r + 1));
                    read.removeAt(i);
                    break;
                }
            }
            if (!read.isEmpty()) {
                const QString name = read.size() == 1
                                         ? QStringLiteral("Rennen hinzufügen: ") + read[0].title
                                         : QStringLiteral("%1 Rennen hinzufügen").arg(read.size());
                change(name, [&](CupDefinition& cup) { cup.races.append(read); });
                checkRaces();
            }
            if (!errors.isEmpty())
                Q_EMIT failed(errors.join(QLatin1Char('\n')));
        };
    });
}

void CupDocument::checkRaces() {
    if (!m_open)
        return;
    const CupDefinition cup = m_cup;
    const QString cupFile = m_fileName;
    run([this, cup, cupFile]() -> std::function<void()> {
        const QList<CupRaceCheck::Result> results = CupRaceCheck::check(cup, cupFile);
        QList<RaceFileState> states;
        QList<QString> files;
        QStringList warnings;
        for (int i = 0; i < results.size() && i < cup.races.size(); ++i) {
            files.append(cup.races[i].file);
            switch (results[i].state) {
            case CupRaceCheck::Result::State::Unchanged:
                states.append(RaceFileState::Unchanged);
                continue;
            case CupRaceCheck::Result::State::Changed:
                states.append(RaceFileState::Changed);
                break;
            case CupRaceCheck::Result::State::Unreadable:
                states.append(RaceFileState::Missing);
                break;
            }
            warnings.append(results[i].message);
        }
        return [this, states, files, warnings] {
            applyRaceStates(states, files, warnings);
        };
    });
}

void CupDocument::applyRaceStates(const QList<RaceFileState>& states, const QList<QString>& files,
                                  const QStringList& warnings) {
    m_raceStates = states;
    m_checkedFiles = files;
    m_fileWarnings = warnings;
    m_standings.warnings = m_fileWarnings;
    Q_EMIT changed();
    Q_EMIT standingsChanged();
}

void CupDocument::acceptRaceChange(int race) {
    if (race < 0 || race >= m_cup.races.size())
        return;
    run([this, updated = m_cup.races[race],
         cupFile = m_fileName]() mutable -> std::function<void()> {
        QString error;
        if (!CupRaceCheck::reread(updated, cupFile, &error))
            return [this, error] {
                Q_EMIT failed(error);
            };
        return [this, updated] {
            // The list may have changed while the file was read: the race is found by its file.
            for (int at = 0; at < m_cup.races.size(); ++at) {
                if (m_cup.races[at].file != updated.file)
                    continue;
                change(QStringLiteral("Änderung übernehmen: ") + m_cup.races[at].title,
                       [&](CupDefinition& cup) {
                           cup.races[at].entries = updated.entries;
                           cup.races[at].sha256 = updated.sha256;
                       });
                checkRaces();
                return;
            }
        };
    });
}

void CupDocument::setName(const QString& name) {
    if (name != m_cup.name)
        change(QStringLiteral("Name"), [&](CupDefinition& cup) { cup.name = name; });
}

void CupDocument::setRules(const CupRules& rules) {
    change(QStringLiteral("Wertungsregeln"), [&](CupDefinition& cup) { cup.rules = rules; });
}

void CupDocument::removeRace(int race) {
    if (race < 0 || race >= m_cup.races.size())
        return;
    change(QStringLiteral("Rennen entfernen: ") + m_cup.races[race].title,
           [&](CupDefinition& cup) { cup.races.removeAt(race); });
    checkRaces();
}

void CupDocument::moveRace(int race, int to) {
    if (race < 0 || race >= m_cup.races.size() || to < 0 || to >= m_cup.races.size() || to == race)
        return;
    change(QStringLiteral("Reihenfolge: ") + m_cup.races[race].title,
           [&](CupDefinition& cup) { cup.races.move(race, to); });
    checkRaces();
}

void CupDocument::setRaceTitle(int race, const QString& title) {
    if (race < 0 || race >= m_cup.races.size() || m_cup.races[race].title == title)
        return;
    change(QStringLiteral("Titel: ") + title,
           [&](CupDefinition& cup) { cup.races[race].title = title; });
}

void CupDocument::setRaceWeight(int race, int weightPercent) {
    if (race < 0 || race >= m_cup.races.size() || weightPercent <= 0 ||
        m_cup.races[race].weightPercent == weightPercent)
        return;
    change(QStringLiteral("Gewicht: ") + m_cup.races[race].title,
           [&](CupDefinition& cup) { cup.races[race].weightPercent = weightPercent; });
}

void CupDocument::voidClass(int race, const QString& cls, const QString& reason) {
    if (race < 0 || race >= m_cup.races.size())
        return;
    change(QStringLiteral("Kl. %1 annullieren: %2").arg(cls, m_cup.races[race].title),
           [&](CupDefinition& cup) { cup.races[race].voidedClasses.insert(cls, reason); });
}

void CupDocument::restoreClass(int race, const QString& cls) {
    if (race < 0 || race >= m_cup.races.size() || !m_cup.races[race].isVoided(cls))
        return;
    change(QStringLiteral("Kl. %1 wieder werten: %2").arg(cls, m_cup.races[race].title),
           [&](CupDefinition& cup) { cup.races[race].voidedClasses.remove(cls); });
}

void CupDocument::confirmMatch(const CupIdentity& a, const CupIdentity& b) {
    change(QStringLiteral("Gleich: ") + a.display() + QStringLiteral(" = ") + b.display(),
           [&](CupDefinition& cup) { cup.matches.confirm(a, b); });
}

void CupDocument::rejectMatch(const CupIdentity& a, const CupIdentity& b) {
    change(QStringLiteral("Verschieden: ") + a.display() + QStringLiteral(" / ") + b.display(),
           [&](CupDefinition& cup) { cup.matches.reject(a, b); });
}

void CupDocument::forgetMatch(const CupIdentity& a, const CupIdentity& b) {
    change(QStringLiteral("Vergessen: ") + a.display() + QStringLiteral(" / ") + b.display(),
           [&](CupDefinition& cup) { cup.matches.forget(a, b); });
}

QString CupDocument::undoText() const {
    return m_undo.isEmpty() ? QString() : m_undo.last().name;
}

QString CupDocument::redoText() const {
    return m_redo.isEmpty() ? QString() : m_redo.last().name;
}

void CupDocument::undo() {
    if (m_undo.isEmpty())
        return;
    Step step = m_undo.takeLast();
    m_redo.append({step.name, m_cup});
    replace(step.cup, true);
    checkRaces();
}

void CupDocument::redo() {
    if (m_redo.isEmpty())
        return;
    Step step = m_redo.takeLast();
    m_undo.append({step.name, m_cup});
    replace(step.cup, true);
    checkRaces();
}

void CupDocument::change(const QString& name, const std::function<void(CupDefinition&)>& edit) {
    if (!m_open)
        return;
    CupDefinition cup = m_cup;
    edit(cup);
    m_undo.append({name, m_cup});
    if (m_undo.size() > UndoLimit)
        m_undo.removeFirst();
    m_redo.clear();
    replace(cup, true);
}

void CupDocument::replace(const CupDefinition& cup, bool modified) {
    m_cup = cup;
    ++m_revision;
    m_modified = modified;
    Q_EMIT changed();
    recompute();
}

void CupDocument::recompute() {
    const quint64 generation = ++m_generation;
    const CupDefinition cup = m_cup;
    run([this, generation, cup]() -> std::function<void()> {
        auto computed = std::make_shared<Computed>(
            Computed{CupCalculator::compute(cup), MatchProposals::find(cup)});
        return [this, generation, computed] {
            applyStandings(generation, *computed);
        };
    });
}

void CupDocument::applyStandings(quint64 generation, const Computed& computed) {
    // A later change has its own computation queued behind this one.
    if (generation != m_generation)
        return;
    m_standings = computed.standings;
    m_proposals = computed.proposals;
    m_standings.warnings = m_fileWarnings;
    Q_EMIT standingsChanged();
}

void CupDocument::run(std::function<std::function<void()>()> job) {
    if (m_pending++ == 0)
        Q_EMIT busyChanged(true);
    m_pool.start([this, job = std::move(job)] {
        std::function<void()> apply = job();
        QMetaObject::invokeMethod(
            this,
            [this, apply] {
                if (apply)
                    apply();
                finished();
            },
            Qt::QueuedConnection);
    });
}

void CupDocument::finished() {
    if (--m_pending == 0)
        Q_EMIT busyChanged(false);
}

bool CupDocument::waitForIdle(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (busy()) {
        if (deadline.hasExpired())
            return false;
        m_pool.waitForDone(10);
        QCoreApplication::sendPostedEvents(this);
    }
    return true;
}
