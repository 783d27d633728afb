// Recomputes the standings of a large cup: 30 races of 1,000 competitors each in 4 classes,
// from a population that mostly comes back, with some changes of class, some spellings the
// organiser joined, DNF, DNS and incomplete runs. Best 20 of 30, at least 5 starts, club
// standings. Prints the median and the slowest of several recomputations (wall and thread CPU
// time) for a points table and for a formula; the window recomputes on every change of the
// cup, so the slowest must stay under a second.
#include "cup/CupCalculator.h"
#include "cup/CupDefinition.h"
#include "cup/CupValueText.h"
#include "cup/MatchProposals.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <numeric>
#include <random>

namespace {

constexpr int Races = 30;
constexpr int PerRace = 1000;
constexpr int Population = 1250;
constexpr int Newcomers = 50;
constexpr int Clubs = 60;
constexpr int Runs = 7;

struct Person {
    QString name;
    QString firstName;
    QString club;
    int cls = 1;
    double skill = 60.0; // his usual G-Zeit in s
    QString variant;     // another spelling of his name, confirmed by the organiser
};

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

QList<Person> population(std::mt19937& rng) {
    static const char* const firstNames[] = {"Jörg",  "Anna",  "Max",   "Lena", "Paul",  "Sophie",
                                             "Jonas", "Marie", "Felix", "Emma", "Lukas", "Lea"};
    std::uniform_real_distribution<double> skill(55.0, 75.0);
    QList<Person> people;
    for (int i = 0; i < Population; ++i) {
        Person person;
        person.name = QStringLiteral("Müller%1").arg(i);
        person.firstName = QString::fromUtf8(firstNames[i % 12]);
        person.club = QStringLiteral("SV Süd %1").arg(i % Clubs);
        person.cls = 1 + i % 4;
        person.skill = skill(rng);
        if (i % 50 == 0)
            person.variant = QStringLiteral("Mueller%1 ").arg(i);
        people.append(person);
    }
    return people;
}

CupRace race(int index, QList<Person>& people, std::mt19937& rng) {
    std::uniform_real_distribution<double> form(-2.0, 2.0);
    std::uniform_int_distribution<int> percent(0, 99);
    // Some move up a class between races.
    for (Person& person : people) {
        if (percent(rng) == 0)
            person.cls = std::min(4, person.cls + 1);
    }
    // The last few of the population join only for the last races: too few starts to rank.
    QList<int> starters(index < Races - 4 ? Population - Newcomers : Population);
    std::iota(starters.begin(), starters.end(), 0);
    std::shuffle(starters.begin(), starters.end(), rng);
    starters.resize(PerRace);

    CupRace race;
    race.title = QStringLiteral("Lauf %1").arg(index + 1);
    race.weightPercent = index == Races - 1 ? 200 : 100;
    for (int cls = 1; cls <= 4; ++cls) {
        struct Run {
            int person;
            qint32 total;
            QString status;
        };
        QList<Run> ranked;
        QList<Run> unplaced;
        for (int p : starters) {
            const Person& person = people.at(p);
            if (person.cls != cls)
                continue;
            const int roll = percent(rng);
            const qint32 total = qint32((person.skill + form(rng)) * 100.0);
            if (roll < 3)
                unplaced.append({p, 0, QStringLiteral("DNF")});
            else if (roll < 5)
                unplaced.append({p, 0, QStringLiteral("DNS")});
            else if (roll < 6)
                unplaced.append({p, 0, QStringLiteral("o.E.")});
            else
                ranked.append({p, total, QString()});
        }
        std::sort(ranked.begin(), ranked.end(),
                  [](const Run& a, const Run& b) { return a.total < b.total; });
        int place = 0;
        for (qsizetype i = 0; i < ranked.size(); ++i) {
            if (i == 0 || ranked.at(i).total != ranked.at(i - 1).total)
                place = int(i) + 1;
            ranked[i].status = QString::number(place);
        }
        for (const Run& run : ranked + unplaced) {
            const Person& person = people.at(run.person);
            CupEntry entry;
            entry.number = QString::number(run.person + 1);
            entry.name = !person.variant.isEmpty() && index % 2 ? person.variant : person.name;
            entry.firstName = person.firstName;
            entry.club = person.club;
            entry.cls = QString::number(cls);
            bool placed = false;
            entry.place = run.status.toInt(&placed);
            if (!placed)
                entry.status = run.status;
            entry.total = run.total;
            entry.finalist = placed && entry.place <= 8;
            race.entries.append(entry);
        }
    }
    if (index == 12)
        race.voidedClasses.insert(QStringLiteral("2"), QStringLiteral("Sturm"));
    return race;
}

CupDefinition cup() {
    std::mt19937 rng(20270110);
    QList<Person> people = population(rng);
    CupDefinition definition;
    definition.name = QStringLiteral("Bench-Cup");
    definition.rules.pointsTable = CupRules::worldCupTable();
    definition.rules.statusRule = CupRules::StatusRule::AfterLast;
    definition.rules.bestOf = 20;
    definition.rules.minStarts = 5;
    definition.rules.clubMembers = 3;
    definition.rules.plannedRaces = 32;
    for (int i = 0; i < Races; ++i)
        definition.races.append(race(i, people, rng));
    for (const Person& person : people) {
        if (!person.variant.isEmpty())
            definition.matches.confirm(CupIdentity{person.name, person.firstName, person.club},
                                       CupIdentity{person.variant, person.firstName, person.club});
    }
    return definition;
}

void measure(const char* label, const CupDefinition& definition) {
    CupStandings standings = CupCalculator::compute(definition); // warm-up
    QList<double> wall;
    QList<double> cpu;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        const double cpuStart = threadCpuMs();
        timer.start();
        standings = CupCalculator::compute(definition);
        wall.append(double(timer.nsecsElapsed()) / 1e6);
        cpu.append(threadCpuMs() - cpuStart);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    qsizetype rows = 0;
    for (const CupStandings::ClassTable& table : standings.classes)
        rows += table.rows.size();
    std::printf("%-14s %d races x %d: median wall %7.1f ms, cpu %7.1f ms; max wall %7.1f ms, "
                "cpu %7.1f ms (%d runs; %lld rows in %lld classes, %lld club tables)\n",
                label, Races, PerRace, wall.at(Runs / 2), cpu.at(Runs / 2), wall.last(), cpu.last(),
                Runs, static_cast<long long>(rows),
                static_cast<long long>(standings.classes.size()),
                static_cast<long long>(standings.clubs.size()));
    // What was computed, to see at a glance that the cup is a plausible one.
    for (const CupStandings::ClassTable& table : standings.classes) {
        const auto ranked = std::count_if(table.rows.cbegin(), table.rows.cend(),
                                          [](const CupStandings::Row& row) { return row.place; });
        const CupStandings::Row& leader = table.rows.first();
        std::printf("  Kl. %s: %lld gewertet, %lld ohne Platz; 1. %s, %s Punkte aus %d Läufen%s\n",
                    qPrintable(table.cls), static_cast<long long>(ranked),
                    static_cast<long long>(table.rows.size() - ranked),
                    qPrintable(leader.identity.display()),
                    qPrintable(CupValueText::format(leader.total, definition.rules.scoring)),
                    leader.countedRaces, leader.titleDecided ? ", uneinholbar" : "");
    }
}

// The window computes the proposed matches of spellings together with the standings.
void measureProposals(const CupDefinition& definition) {
    QList<double> wall;
    qsizetype found = 0;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        found = MatchProposals::find(definition).size();
        wall.append(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(wall.begin(), wall.end());
    std::printf("%-14s median wall %7.1f ms, max wall %7.1f ms (%lld proposals)\n",
                "Namensabgleich", wall.at(Runs / 2), wall.last(), static_cast<long long>(found));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    CupDefinition definition = cup();
    measure("Punkte-Tabelle", definition);
    measureProposals(definition);
    definition.rules.scoring = CupRules::Scoring::Formula;
    definition.rules.formula = QStringLiteral("550 - 250 * t / best");
    definition.rules.cutOffPercent = 30;
    definition.rules.clubScope = CupRules::ClubScope::AllClasses;
    measure("Formel", definition);
    return 0;
}
