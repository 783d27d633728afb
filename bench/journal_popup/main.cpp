// The start lists' popup menu and the start-up with a 200 MB journal (a contact that chattered all
// day) whose last run went into the selected row, against the same without a journal; and how
// long the journal's runs take to be known, which happens off the window's thread.
#include "../common/ChatteringJournal.h"
#include "competition/Competition.h"
#include "competition/CompetitionTable.h"
#include "competition/SubstituteEntry.h"
#include "journal/JournalLineFormat.h"
#include "journal/JournalRunIndex.h"
#include "journal/JournalRuns.h"
#include "journal/JournalWriter.h"
#include "session/ProgramEnvironment.h"
#include "session/RaceSession.h"
#include "session/SessionJournal.h"
#include "ui/window/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr qint64 JournalBytes = 200LL * 1024 * 1024;
const QString Number = QStringLiteral("11");
const QString RunTime = QStringLiteral("12,34");

ProgramEnvironment environmentIn(const QString& dir) {
    ProgramEnvironment environment(QDir(dir).filePath(QStringLiteral("Velmora")));
    environment.setDataDir(dir);
    environment.setUserDataDir(dir);
    environment.setSettingsFolder(dir);
    environment.setDecimalSeparator(u',');
    environment.setApplicationLookup([](const char*) { return false; });
    return environment;
}

QString journalPath(const QString& dir) {
    return QDir(dir).filePath(
        JournalWriter::fileName(QStringLiteral("Velmora"), QDate::currentDate()));
}

// The backup the program writes: Nr. 11 in the first row, its first run entered.
void writeBackup(const QString& dir) {
    RaceSession session(environmentIn(dir));
    session.start();
    CompetitionTable& heat = session.competition().heatStartList();
    heat.appendRow({Number, QStringLiteral("Meier"), QStringLiteral("Anna"), QStringLiteral("SC"),
                    QStringLiteral("1")});
    heat.setCell(SubstituteEntry::heatColumn(0), 1, RunTime);
    heat.setRow(1);
    session.shutdown();
}

// Today's journal of a contact that chattered all day, ending with the run entered for Nr. 11.
void writeJournal(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    QByteArray chunk;
    const JournalEntry e = writeChatteringDay(file, JournalBytes, chunk);
    const qint64 start = *e.stamp + 1'000'000;
    const qint64 stop = start + 12'340'000;
    const auto add = [&](JournalEntry::Kind kind, const QString& name, const QString& source,
                         std::optional<qint64> stamp) {
        JournalEntry line;
        line.wallClock = e.wallClock;
        line.kind = kind;
        line.name = name;
        line.source = source;
        line.stamp = stamp;
        return line;
    };
    JournalEntry startLine = add(JournalEntry::Kind::Command, QStringLiteral("Start"),
                                 QStringLiteral("Lichtschranke"), start);
    JournalEntry stopLine = add(JournalEntry::Kind::Command, QStringLiteral("Stopp"),
                                QStringLiteral("Lichtschranke"), stop);
    stopLine.runMicroseconds = stop - start;
    JournalEntry enter = add(JournalEntry::Kind::Command, QStringLiteral("Eintragen"),
                             QStringLiteral("Taste"), stop + 500'000);
    enter.remark = JournalRuns::entryRemark(start, stop);
    JournalEntry cell = add(JournalEntry::Kind::Cell, QString(), QStringLiteral("Eintragen"), {});
    cell.table = QStringLiteral("Vorlauf");
    cell.row = 1;
    cell.number = Number;
    cell.column = QStringLiteral("Zeit1");
    cell.newText = RunTime;
    for (const JournalEntry& line : {startLine, stopLine, enter, cell})
        chunk += JournalLineFormat::format(line).toUtf8() + '\n';
    file.write(chunk);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QMenu* popupWithSubstitute(MainWindow& window) {
    for (QMenu* menu : window.findChildren<QMenu*>())
        for (QAction* action : menu->actions())
            if (action->objectName() == QStringLiteral("mErsatzzeitLauf"))
                return menu;
    return nullptr;
}

struct Figures {
    double startUpMs = 0;
    double popupMs = 0;
    double knownMs = 0; // until the journal's runs are known
    QString entry;
};

Figures measure(const QString& dir) {
    Figures figures;
    QElapsedTimer clock;
    clock.start();
    RaceSession session(environmentIn(dir));
    session.start();
    MainWindow window(session);
    window.show();
    QCoreApplication::processEvents();
    figures.startUpMs = clock.nsecsElapsed() / 1e6;
    QMenu* popup = popupWithSubstitute(window);
    if (!popup)
        return figures;
    QAction* entry = nullptr;
    for (QAction* action : popup->actions())
        if (action->objectName() == QStringLiteral("mErsatzzeitLauf"))
            entry = action;
    std::vector<double> popups;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer shown;
        shown.start();
        popup->popup(window.geometry().center());
        QCoreApplication::processEvents();
        popups.push_back(shown.nsecsElapsed() / 1e6);
        popup->hide();
        QCoreApplication::processEvents();
    }
    figures.popupMs = median(popups);
    const JournalRunIndex& index = session.journal()->runIndex();
    while (!index.runs() && clock.elapsed() < 600'000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    figures.knownMs = clock.nsecsElapsed() / 1e6;
    figures.entry = entry->isEnabled() ? QStringLiteral("offered") : entry->toolTip();
    return figures;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir plain;
    QTemporaryDir large;
    for (const QTemporaryDir* dir : {&plain, &large}) {
        writeBackup(dir->path());
        QFile::remove(journalPath(dir->path()));
    }
    writeJournal(journalPath(large.path()));
    std::vector<Figures> without, with;
    for (int i = 0; i < 3; ++i) {
        without.push_back(measure(plain.path()));
        QFile::remove(journalPath(plain.path()));
        with.push_back(measure(large.path()));
    }
    const auto medianOf = [](const std::vector<Figures>& runs, double Figures::*figure) {
        std::vector<double> values;
        for (const Figures& f : runs)
            values.push_back(f.*figure);
        return median(values);
    };
    const double startWithout = medianOf(without, &Figures::startUpMs);
    const double startWith = medianOf(with, &Figures::startUpMs);
    const double popupWithout = medianOf(without, &Figures::popupMs);
    const double popupWith = medianOf(with, &Figures::popupMs);
    std::printf("start-up without journal: %.0f ms, with a 200 MB journal: %.0f ms (%+.0f ms)\n",
                startWithout, startWith, startWith - startWithout);
    std::printf("popup menu without journal: %.1f ms, with a 200 MB journal: %.1f ms (%+.1f ms)\n",
                popupWithout, popupWith, popupWith - popupWithout);
    std::printf("substitute entry without journal: %s; with it: %s after %.0f ms, read in the "
                "background\n",
                qPrintable(without.back().entry), qPrintable(with.back().entry),
                medianOf(with, &Figures::knownMs));
    return 0;
}
