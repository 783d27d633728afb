#include "ui/program/CupWindow.h"

#include "cup/CupCsv.h"
#include "cup/CupDocument.h"
#include "cup/CupFile.h"
#include "cup/CupHtmlPage.h"
#include "cup/CupWorkbook.h"
#include "cup/NextRaceStartOrder.h"
#include "output/BackgroundExport.h"
#include "print/PrintPreviewWindow.h"
#include "session/ProgramEnvironment.h"
#include "ui/program/CupCertificateCommand.h"
#include "ui/program/CupClassModel.h"
#include "ui/program/CupClubModel.h"
#include "ui/program/CupMatchDialog.h"
#include "ui/program/CupPrintCommand.h"
#include "ui/program/CupRulesDialog.h"
#include "widgets/QtFileDialogs.h"

#include <QAction>
#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString CupFilter = QStringLiteral("Velmora-Cup (*.cup)");
constexpr int NoticeMs = 8000;

QString weightText(int percent) {
    if (percent == 100)
        return QStringLiteral("einfach");
    if (percent % 100 == 0)
        return QStringLiteral("%1-fach").arg(percent / 100);
    return QStringLiteral("%1 %").arg(percent);
}

QString fileStateText(CupDocument::RaceFileState state) {
    switch (state) {
    case CupDocument::RaceFileState::Unchanged:
        return QStringLiteral("unverändert");
    case CupDocument::RaceFileState::Changed:
        return QStringLiteral("geändert");
    case CupDocument::RaceFileState::Missing:
        return QStringLiteral("fehlt");
    case CupDocument::RaceFileState::Unchecked:
        break;
    }
    return QStringLiteral("…");
}

} // namespace

CupWindow::CupWindow(Inputs inputs, QWidget* parent)
    : QMainWindow(parent), m_inputs(std::move(inputs)) {
    setObjectName(QStringLiteral("CupWindow"));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(1000, 700);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* splitter = new QSplitter(Qt::Vertical, central);
    m_races = new QTableWidget(0, 6, splitter);
    m_races->setObjectName(QStringLiteral("races"));
    m_races->setHorizontalHeaderLabels({QStringLiteral("Lauf"), QStringLiteral("Titel"),
                                        QStringLiteral("Datei"), QStringLiteral("Gewicht"),
                                        QStringLiteral("Annulliert"), QStringLiteral("Datei ist")});
    m_races->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_races->setSelectionMode(QAbstractItemView::SingleSelection);
    m_races->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_races->verticalHeader()->hide();
    m_races->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_races->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    connect(m_races, &QTableWidget::itemSelectionChanged, this, &CupWindow::updateCommands);
    connect(m_races, &QTableWidget::cellDoubleClicked, this, &CupWindow::renameRace);

    auto* lower = new QWidget(splitter);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    m_warnings = new QLabel(lower);
    m_warnings->setObjectName(QStringLiteral("warnings"));
    m_warnings->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));
    m_warnings->setWordWrap(true);
    m_warnings->hide();
    lowerLayout->addWidget(m_warnings);
    m_tabs = new QTabWidget(lower);
    m_tabs->setObjectName(QStringLiteral("standings"));
    lowerLayout->addWidget(m_tabs, 1);
    splitter->addWidget(m_races);
    splitter->addWidget(lower);
    // The standings are what the window is for; the list of races needs a few lines.
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 4);
    splitter->setSizes({fontMetrics().height() * 10, fontMetrics().height() * 40});
    layout->addWidget(splitter);
    setCentralWidget(central);

    m_clubModel = new CupClubModel(this);
    m_export = new BackgroundExport(this);
    m_busy = new QLabel(this);
    statusBar()->addPermanentWidget(m_busy);

    createMenus();
    CupDocument& cup = m_inputs.cup;
    connect(&cup, &CupDocument::changed, this, &CupWindow::refreshRaces);
    connect(&cup, &CupDocument::standingsChanged, this, &CupWindow::refreshStandings);
    connect(&cup, &CupDocument::failed, this, &CupWindow::showFailure);
    connect(&cup, &CupDocument::notice, this, &CupWindow::showNotice);
    connect(&cup, &CupDocument::busyChanged, this, [this](bool busy) {
        m_busy->setText(busy ? QStringLiteral("Wird berechnet …") : QString());
    });
    refreshRaces();
    refreshStandings();
}

CupWindow::~CupWindow() = default;

void CupWindow::exportDocument(const QString& filter, const QString& suffix, const QString& what,
                               Writer write) {
    const CupDocument& cup = m_inputs.cup;
    if (cup.standings().classes.isEmpty())
        return;
    FileDialogs::Request request;
    request.filters = {filter};
    request.defaultSuffix = suffix;
    request.fileName = cup.definition().name + QLatin1Char('.') + suffix;
    const auto choice = dialogs().saveFile(this, request);
    if (!choice)
        return;
    const QString fileName =
        FileDialogs::withSuffix(choice->fileName, request, choice->filterIndex);
    showNotice(what + QStringLiteral(" wird geschrieben …"));
    // The job works on a copy: the standings may be recomputed while it writes.
    m_export->run(
        what,
        [write, fileName, standings = cup.standings(), name = cup.definition().name,
         scoring = cup.definition().rules.scoring](BackgroundExport::Progress&) {
            return write(fileName, standings, name, scoring);
        },
        [this, fileName, what](const FileWriteResult& result) {
            if (result.ok)
                showNotice(what + QStringLiteral(" gespeichert: ") + fileName);
            else
                showFailure(result.message +
                            (result.reason.isEmpty()
                                 ? QString()
                                 : QStringLiteral(" (") + result.reason + QLatin1Char(')')));
        });
}

void CupWindow::writeWebPage() {
    exportDocument(QStringLiteral("Webseite (*.html)"), QStringLiteral("html"),
                   QStringLiteral("Webseite"), &CupHtmlPage::write);
}

void CupWindow::writeCsv() {
    exportDocument(QStringLiteral("CSV-Datei (*.csv)"), QStringLiteral("csv"),
                   QStringLiteral("CSV-Datei"), &CupCsv::write);
}

void CupWindow::writeWorkbook() {
    exportDocument(QStringLiteral("Excel-Mappe (*.xlsx)"), QStringLiteral("xlsx"),
                   QStringLiteral("Excel-Mappe"), &CupWorkbook::write);
}

CupPrintCommand* CupWindow::printCommand() {
    PrintPreviewWindow* preview = m_inputs.printPreview ? m_inputs.printPreview() : nullptr;
    if (!preview) {
        showFailure(QStringLiteral("Die Druckvorschau ist noch nicht bereit"));
        return nullptr;
    }
    if (!m_print)
        m_print = std::make_unique<CupPrintCommand>(*preview, m_inputs.environment.programTitle());
    return m_print.get();
}

void CupWindow::printPreview() {
    const CupDocument& cup = m_inputs.cup;
    if (CupPrintCommand* print = printCommand())
        print->preview(this, cup.standings(), cup.definition().name,
                       cup.definition().rules.scoring);
}

void CupWindow::writePdf() {
    const CupDocument& cup = m_inputs.cup;
    if (CupPrintCommand* print = printCommand())
        print->exportPdf(cup.standings(), cup.definition().name, cup.definition().rules.scoring);
}

void CupWindow::certificates() {
    if (!m_certificates)
        m_certificates = std::make_unique<CupCertificateCommand>(m_inputs.environment,
                                                                 m_inputs.fileDialogs, this);
    PrintPreviewWindow* preview = m_inputs.printPreview ? m_inputs.printPreview() : nullptr;
    const CupDocument& cup = m_inputs.cup;
    m_certificates->show(cup.standings(), cup.definition().name, cup.definition().rules.scoring,
                         preview ? &preview->printers() : nullptr);
}

QAction* CupWindow::addCommand(QMenu* menu, const char* objectName, const QString& text,
                               std::function<void()> handler, const QKeySequence& shortcut) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(objectName));
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, std::move(handler));
    return action;
}

void CupWindow::createMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Cup"));
    addCommand(
        file, "cupNew", QStringLiteral("Neu..."), [this] { newCup(); }, QKeySequence::New);
    addCommand(
        file, "cupOpen", QStringLiteral("Öffnen..."), [this] { openCup(); }, QKeySequence::Open);
    addCommand(
        file, "cupSave", QStringLiteral("Speichern"), [this] { saveCup(); }, QKeySequence::Save);
    addCommand(file, "cupSaveAs", QStringLiteral("Speichern unter..."), [this] { saveCupAs(); });
    file->addSeparator();
    addCommand(file, "cupClose", QStringLiteral("Cup schließen"), [this] { closeCup(); });
    file->addSeparator();
    addCommand(
        file, "cupHide", QStringLiteral("Fenster schließen"), [this] { close(); },
        QKeySequence(Qt::Key_Escape));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Bearbeiten"));
    addCommand(
        edit, "cupUndo", QStringLiteral("Rückgängig"), [this] { undo(); }, QKeySequence::Undo);
    addCommand(
        edit, "cupRedo", QStringLiteral("Wiederholen"), [this] { redo(); }, QKeySequence::Redo);

    QMenu* races = menuBar()->addMenu(QStringLiteral("&Rennen"));
    addCommand(
        races, "raceAdd", QStringLiteral("Rennen hinzufügen..."), [this] { addRaces(); },
        QKeySequence(Qt::CTRL | Qt::Key_Plus));
    addCommand(races, "raceRemove", QStringLiteral("Rennen entfernen"), [this] { removeRace(); });
    addCommand(
        races, "raceUp", QStringLiteral("Nach vorn"), [this] { moveRaceUp(); },
        QKeySequence(Qt::ALT | Qt::Key_Up));
    addCommand(
        races, "raceDown", QStringLiteral("Nach hinten"), [this] { moveRaceDown(); },
        QKeySequence(Qt::ALT | Qt::Key_Down));
    races->addSeparator();
    addCommand(races, "raceTitle", QStringLiteral("Titel..."), [this] { renameRace(); });
    addCommand(races, "raceWeight", QStringLiteral("Gewicht..."), [this] { weighRace(); });
    addCommand(races, "raceVoid", QStringLiteral("Klasse annullieren..."), [this] { voidClass(); });
    addCommand(races, "raceRestore", QStringLiteral("Annullierung aufheben..."),
               [this] { restoreClass(); });
    races->addSeparator();
    addCommand(races, "raceAccept", QStringLiteral("Änderung der Datei übernehmen"),
               [this] { acceptChange(); });
    addCommand(races, "raceCheck", QStringLiteral("Dateien prüfen"), [this] { checkFiles(); });

    QMenu* rules = menuBar()->addMenu(QStringLiteral("&Wertung"));
    addCommand(rules, "cupRules", QStringLiteral("Wertungsregeln..."), [this] { editRules(); });
    addCommand(rules, "cupMatches", QStringLiteral("Namensabgleich..."), [this] { matchNames(); });

    m_outputMenu = menuBar()->addMenu(QStringLiteral("&Ausgabe"));
    addCommand(
        m_outputMenu, "cupWebPage", QStringLiteral("Als Webseite speichern..."),
        [this] { writeWebPage(); }, QKeySequence(Qt::CTRL | Qt::Key_H));
    addCommand(
        m_outputMenu, "cupPrint", QStringLiteral("Druckvorschau..."), [this] { printPreview(); },
        QKeySequence(Qt::CTRL | Qt::Key_D));
    addCommand(m_outputMenu, "cupPdf", QStringLiteral("Als PDF speichern..."),
               [this] { writePdf(); });
    addCommand(
        m_outputMenu, "cupExcel", QStringLiteral("Export in Excel..."), [this] { writeWorkbook(); },
        QKeySequence(Qt::CTRL | Qt::Key_E));
    addCommand(m_outputMenu, "cupCsv", QStringLiteral("Als CSV speichern..."),
               [this] { writeCsv(); });
    addCommand(
        m_outputMenu, "cupCertificates", QStringLiteral("Urkunden..."), [this] { certificates(); },
        QKeySequence(Qt::CTRL | Qt::Key_U));
    m_outputMenu->addSeparator();
    addCommand(m_outputMenu, "cupStartList", QStringLiteral("Startliste für das nächste Rennen"),
               [this] { nextStartList(); });
}

QAction* CupWindow::command(const QString& objectName) const {
    return findChild<QAction*>(objectName);
}

FileDialogs& CupWindow::dialogs() {
    if (m_inputs.fileDialogs)
        return *m_inputs.fileDialogs;
    if (!m_ownDialogs)
        m_ownDialogs = std::make_unique<QtFileDialogs>();
    return *m_ownDialogs;
}

void CupWindow::showNotice(const QString& text) {
    statusBar()->setStyleSheet(QString());
    statusBar()->showMessage(text, NoticeMs);
}

void CupWindow::showFailure(const QString& text) {
    statusBar()->setStyleSheet(QStringLiteral("color: #c00000"));
    statusBar()->showMessage(QString(text).replace(QLatin1Char('\n'), QStringLiteral("; ")));
}

int CupWindow::selectedRace() const {
    const int row = m_races->currentRow();
    return row >= 0 && row < m_inputs.cup.definition().races.size() &&
                   !m_races->selectedItems().isEmpty()
               ? row
               : -1;
}

void CupWindow::refreshRaces() {
    const CupDocument& cup = m_inputs.cup;
    const QString name = cup.isOpen() ? cup.definition().name : QStringLiteral("kein Cup offen");
    setWindowTitle(QStringLiteral("Cupwertung – ") + name +
                   (cup.isModified() ? QStringLiteral(" *") : QString()));
    const int kept = m_races->currentRow();
    const auto& races = cup.definition().races;
    m_races->setRowCount(static_cast<int>(races.size()));
    for (int i = 0; i < races.size(); ++i) {
        const CupRace& race = races[i];
        QStringList voided;
        for (auto it = race.voidedClasses.cbegin(); it != race.voidedClasses.cend(); ++it)
            voided.append(QStringLiteral("Kl. %1: %2").arg(it.key(), it.value()));
        const QStringList texts{QString::number(i + 1),
                                race.title,
                                QDir::toNativeSeparators(race.file),
                                weightText(race.weightPercent),
                                voided.join(QStringLiteral("; ")),
                                fileStateText(cup.raceFileState(i))};
        for (int column = 0; column < texts.size(); ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            if (column == 5 && cup.raceFileState(i) != CupDocument::RaceFileState::Unchanged &&
                cup.raceFileState(i) != CupDocument::RaceFileState::Unchecked)
                item->setForeground(QColor(192, 0, 0));
            m_races->setItem(i, column, item);
        }
    }
    if (kept >= 0 && kept < m_races->rowCount())
        m_races->selectRow(kept);
    updateCommands();
}

void CupWindow::refreshStandings() {
    const CupDocument& cup = m_inputs.cup;
    const CupStandings& standings = cup.standings();
    const CupRules::Scoring scoring = cup.definition().rules.scoring;
    const QStringList warnings = standings.warnings;
    m_warnings->setText(warnings.join(QLatin1Char('\n')));
    m_warnings->setVisible(!warnings.isEmpty());

    // The tab the operator looks at stays; a cup's first standings open on its first class.
    const QString shown = m_tabs->currentIndex() >= 0 && !m_classViews.isEmpty()
                              ? m_tabs->tabText(m_tabs->currentIndex())
                              : QString();
    // One table per class; the views are kept where the classes stay, so a recomputation
    // does not throw the operator's scroll position away.
    while (m_classViews.size() > standings.classes.size()) {
        QTableView* view = m_classViews.takeLast();
        m_tabs->removeTab(m_tabs->indexOf(view));
        delete view;
    }
    for (int i = 0; i < standings.classes.size(); ++i) {
        const CupStandings::ClassTable& table = standings.classes[i];
        if (i == m_classViews.size()) {
            auto* view = new QTableView(m_tabs);
            view->setObjectName(QStringLiteral("classTable%1").arg(i));
            auto* model = new CupClassModel(view);
            view->setModel(model);
            view->setSelectionBehavior(QAbstractItemView::SelectRows);
            view->setEditTriggers(QAbstractItemView::NoEditTriggers);
            view->verticalHeader()->hide();
            view->setAlternatingRowColors(true);
            m_tabs->insertTab(i, view, QString());
            m_classViews.append(view);
        }
        QTableView* view = m_classViews[i];
        static_cast<CupClassModel*>(view->model())->setTable(table, standings.raceTitles, scoring);
        view->resizeColumnsToContents();
        m_tabs->setTabText(m_tabs->indexOf(view), QStringLiteral("Kl. ") + table.cls);
    }
    QTableView* clubView = m_tabs->findChild<QTableView*>(QStringLiteral("clubTable"));
    if (!clubView) {
        clubView = new QTableView(m_tabs);
        clubView->setObjectName(QStringLiteral("clubTable"));
        clubView->setModel(m_clubModel);
        clubView->verticalHeader()->hide();
        clubView->setEditTriggers(QAbstractItemView::NoEditTriggers);
        clubView->horizontalHeader()->setStretchLastSection(true);
        m_tabs->addTab(clubView, QStringLiteral("Vereine"));
    }
    m_clubModel->setTables(standings.clubs, scoring);
    clubView->resizeColumnsToContents();
    m_tabs->setCurrentIndex(0);
    for (int i = 0; i < m_tabs->count(); ++i) {
        if (m_tabs->tabText(i) == shown)
            m_tabs->setCurrentIndex(i);
    }
    updateCommands();
}

void CupWindow::updateCommands() {
    const CupDocument& cup = m_inputs.cup;
    const bool open = cup.isOpen();
    const int race = selectedRace();
    const int races = static_cast<int>(cup.definition().races.size());
    const auto enable = [this](const char* name, bool on, const QString& why) {
        if (QAction* action = command(QString::fromLatin1(name))) {
            action->setEnabled(on);
            action->setStatusTip(on ? QString() : why);
            action->setToolTip(on ? action->text() : why);
        }
    };
    const QString noCup = QStringLiteral("Erst einen Cup anlegen oder öffnen");
    const QString noRace = QStringLiteral("Erst ein Rennen in der Liste wählen");
    enable("cupSave", open, noCup);
    enable("cupSaveAs", open, noCup);
    enable("cupClose", open, noCup);
    enable("cupUndo", cup.canUndo(), QStringLiteral("Nichts rückgängig zu machen"));
    enable("cupRedo", cup.canRedo(), QStringLiteral("Nichts zu wiederholen"));
    enable("raceAdd", open, noCup);
    enable("raceRemove", race >= 0, noRace);
    enable("raceUp", race > 0, noRace);
    enable("raceDown", race >= 0 && race + 1 < races, noRace);
    enable("raceTitle", race >= 0, noRace);
    enable("raceWeight", race >= 0, noRace);
    enable("raceVoid", race >= 0, noRace);
    enable("raceRestore", race >= 0 && !cup.definition().races[race].voidedClasses.isEmpty(),
           QStringLiteral("Im gewählten Rennen ist keine Klasse annulliert"));
    enable("raceAccept",
           race >= 0 && cup.raceFileState(race) == CupDocument::RaceFileState::Changed,
           QStringLiteral("Die Datei des gewählten Rennens ist unverändert"));
    enable("raceCheck", races > 0, QStringLiteral("Der Cup hat noch kein Rennen"));
    enable("cupRules", open, noCup);
    enable("cupMatches", open && races > 1, QStringLiteral("Erst zwei Rennen hinzufügen"));
    enable("cupStartList", open && !cup.standings().classes.isEmpty(),
           QStringLiteral("Der Cup hat noch keine Wertung"));
    for (QAction* action : m_outputMenu->actions()) {
        if (!action->isSeparator() && action->objectName() != QStringLiteral("cupStartList")) {
            const bool on = open && !cup.standings().classes.isEmpty();
            action->setEnabled(on);
            action->setToolTip(on ? action->text()
                                  : QStringLiteral("Der Cup hat noch keine Wertung"));
        }
    }
    const QString undo = cup.undoText();
    if (QAction* action = command(QStringLiteral("cupUndo")))
        action->setText(undo.isEmpty() ? QStringLiteral("Rückgängig")
                                       : QStringLiteral("Rückgängig: ") + undo);
    const QString redo = cup.redoText();
    if (QAction* action = command(QStringLiteral("cupRedo")))
        action->setText(redo.isEmpty() ? QStringLiteral("Wiederholen")
                                       : QStringLiteral("Wiederholen: ") + redo);
}

bool CupWindow::mayDiscard() {
    const CupDocument& cup = m_inputs.cup;
    if (!cup.isOpen() || !cup.isModified())
        return true;
    return m_inputs.ask(QStringLiteral("Der Cup „%1“ ist nicht gespeichert. Änderungen verwerfen?")
                            .arg(cup.definition().name));
}

void CupWindow::newCup() {
    if (!mayDiscard())
        return;
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, QStringLiteral("Neuer Cup"), QStringLiteral("Name des Cups:"),
                              QLineEdit::Normal, QStringLiteral("Velmora-Cup"), &ok)
            .trimmed();
    if (!ok || name.isEmpty())
        return;
    m_inputs.cup.create(name);
}

void CupWindow::openCup() {
    if (!mayDiscard())
        return;
    FileDialogs::Request request;
    request.filters = {CupFilter, QStringLiteral("Alle Dateien (*)")};
    const auto choice = dialogs().openFile(this, request);
    if (choice)
        m_inputs.cup.open(choice->fileName);
}

bool CupWindow::saveCup() {
    if (m_inputs.cup.fileName().isEmpty())
        return saveCupAs();
    m_inputs.cup.save();
    return true;
}

bool CupWindow::saveCupAs() {
    if (!m_inputs.cup.isOpen())
        return false;
    FileDialogs::Request request;
    request.filters = {CupFilter};
    request.defaultSuffix = QStringLiteral("cup");
    request.fileName = m_inputs.cup.fileName().isEmpty()
                           ? m_inputs.cup.definition().name + QStringLiteral(".cup")
                           : m_inputs.cup.fileName();
    const auto choice = dialogs().saveFile(this, request);
    if (!choice)
        return false;
    m_inputs.cup.save(FileDialogs::withSuffix(choice->fileName, request, choice->filterIndex));
    return true;
}

void CupWindow::closeCup() {
    if (mayDiscard())
        m_inputs.cup.close();
}

void CupWindow::undo() {
    const QString name = m_inputs.cup.undoText();
    m_inputs.cup.undo();
    if (!name.isEmpty())
        showNotice(QStringLiteral("Rückgängig: ") + name);
}

void CupWindow::redo() {
    const QString name = m_inputs.cup.redoText();
    m_inputs.cup.redo();
    if (!name.isEmpty())
        showNotice(QStringLiteral("Wiederholt: ") + name);
}

void CupWindow::addRaces() {
    if (!m_inputs.cup.isOpen())
        return;
    FileDialogs::Request request;
    request.filters = {QStringLiteral("Protokolldatei (*.txt)"),
                       QStringLiteral("Alle Dateien (*)")};
    const auto choice = dialogs().openFile(this, request);
    if (!choice)
        return;
    m_inputs.cup.addRaces({choice->fileName});
    showNotice(QStringLiteral("Rennen wird gelesen: ") + QFileInfo(choice->fileName).fileName());
}

void CupWindow::removeRace() {
    const int race = selectedRace();
    if (race < 0)
        return;
    const QString title = m_inputs.cup.definition().races[race].title;
    if (m_inputs.ask(QStringLiteral("Rennen „%1“ aus dem Cup entfernen?").arg(title)))
        m_inputs.cup.removeRace(race);
}

void CupWindow::moveRaceUp() {
    const int race = selectedRace();
    if (race > 0) {
        m_inputs.cup.moveRace(race, race - 1);
        m_races->selectRow(race - 1);
    }
}

void CupWindow::moveRaceDown() {
    const int race = selectedRace();
    if (race >= 0 && race + 1 < m_races->rowCount()) {
        m_inputs.cup.moveRace(race, race + 1);
        m_races->selectRow(race + 1);
    }
}

void CupWindow::renameRace() {
    const int race = selectedRace();
    if (race < 0)
        return;
    bool ok = false;
    const QString title =
        QInputDialog::getText(this, QStringLiteral("Titel des Rennens"), QStringLiteral("Titel:"),
                              QLineEdit::Normal, m_inputs.cup.definition().races[race].title, &ok)
            .trimmed();
    if (ok && !title.isEmpty())
        m_inputs.cup.setRaceTitle(race, title);
}

void CupWindow::weighRace() {
    const int race = selectedRace();
    if (race < 0)
        return;
    bool ok = false;
    const int percent = QInputDialog::getInt(
        this, QStringLiteral("Gewicht des Rennens"),
        QStringLiteral("Das Rennen zählt mit (100 % einfach, 200 % doppelt):"),
        m_inputs.cup.definition().races[race].weightPercent, 10, 1000, 10, &ok);
    if (ok)
        m_inputs.cup.setRaceWeight(race, percent);
}

void CupWindow::voidClass() {
    const int race = selectedRace();
    if (race < 0)
        return;
    const CupRace& chosen = m_inputs.cup.definition().races[race];
    QStringList classes;
    for (const CupEntry& entry : chosen.entries) {
        if (!classes.contains(entry.cls) && !chosen.isVoided(entry.cls))
            classes.append(entry.cls);
    }
    if (classes.isEmpty()) {
        showFailure(QStringLiteral("Im Rennen „%1“ ist keine Klasse mehr zu annullieren")
                        .arg(chosen.title));
        return;
    }
    bool ok = false;
    const QString cls = QInputDialog::getItem(this, QStringLiteral("Klasse annullieren"),
                                              QStringLiteral("Klasse:"), classes, 0, false, &ok);
    if (!ok)
        return;
    const QString reason =
        QInputDialog::getText(this, QStringLiteral("Klasse annullieren"),
                              QStringLiteral("Grund (wird mit der Wertung gedruckt):"),
                              QLineEdit::Normal, QString(), &ok)
            .trimmed();
    if (!ok)
        return;
    if (reason.isEmpty()) {
        showFailure(QStringLiteral("Eine Annullierung braucht einen Grund"));
        return;
    }
    m_inputs.cup.voidClass(race, cls, reason);
}

void CupWindow::restoreClass() {
    const int race = selectedRace();
    if (race < 0)
        return;
    const QStringList classes = m_inputs.cup.definition().races[race].voidedClasses.keys();
    if (classes.isEmpty())
        return;
    bool ok = false;
    const QString cls = QInputDialog::getItem(this, QStringLiteral("Annullierung aufheben"),
                                              QStringLiteral("Klasse:"), classes, 0, false, &ok);
    if (ok)
        m_inputs.cup.restoreClass(race, cls);
}

void CupWindow::acceptChange() {
    const int race = selectedRace();
    if (race < 0)
        return;
    const QString title = m_inputs.cup.definition().races[race].title;
    if (m_inputs.ask(
            QStringLiteral("Die Datei des Rennens „%1“ wurde geändert. Ihre Ergebnisse neu "
                           "einlesen und die Wertung damit rechnen?")
                .arg(title)))
        m_inputs.cup.acceptRaceChange(race);
}

void CupWindow::checkFiles() {
    m_inputs.cup.checkRaces();
    showNotice(QStringLiteral("Die Dateien der Rennen werden geprüft"));
}

void CupWindow::editRules() {
    CupRulesDialog dialog(m_inputs.cup.definition().name, m_inputs.cup.definition().rules, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!dialog.name().isEmpty())
        m_inputs.cup.setName(dialog.name());
    m_inputs.cup.setRules(dialog.rules());
}

void CupWindow::matchNames() {
    CupMatchDialog dialog(m_inputs.cup, this);
    dialog.exec();
}

void CupWindow::nextStartList() {
    const CupStandings& standings = m_inputs.cup.standings();
    if (standings.classes.isEmpty())
        return;
    const QList<QStringList> rows = NextRaceStartOrder::rows(standings, m_inputs.startListHeader());
    if (!m_inputs.ask(QStringLiteral("Die Vorlauf-Startliste durch %1 Teilnehmer in der "
                                     "Reihenfolge der Cupwertung ersetzen (der Führende startet "
                                     "zuletzt)?")
                          .arg(rows.size() - 1)))
        return;
    if (m_inputs.applyStartList(rows))
        showNotice(QStringLiteral("Vorlauf-Startliste aus der Cupwertung: %1 Teilnehmer")
                       .arg(rows.size() - 1));
    else
        showFailure(QStringLiteral("Die Vorlauf-Startliste blieb, wie sie war"));
}
