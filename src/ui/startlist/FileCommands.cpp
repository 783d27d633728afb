#include "ui/startlist/FileCommands.h"

#include "competition/Competition.h"
#include "competition/CompetitionTable.h"
#include "competition/TimeNotation.h"
#include "output/CsvFile.h"
#include "output/ProtocolFile.h"
#include "output/ProtocolPage.h"
#include "output/ReleaseSection.h"
#include "output/SubstituteMarksFile.h"
#include "platform/ProgramPaths.h"
#include "session/ProgramEnvironment.h"

#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace {

enum TypeName { TextName, WebPageName, WordName, ExcelName };

QString typeName(const QStringList& names, TypeName which) {
    return which < names.size() ? names.at(which) : QString();
}

const QString kDefaultSuffix = QStringLiteral("txt");

} // namespace

FileCommands::FileCommands(Competition& competition, const ProgramEnvironment& environment,
                           FileDialogs& dialogs, const QStringList& fileTypeNames, QWidget* window)
    : m_competition(competition), m_environment(environment), m_dialogs(dialogs),
      m_typeNames(fileTypeNames), m_window(window) {}

FileCommands::~FileCommands() = default;

QStringList FileCommands::openFilters(const QStringList& fileTypeNames) {
    return {typeName(fileTypeNames, TextName) + QStringLiteral(" (*.txt)")};
}

QStringList FileCommands::saveFilters(const QStringList& fileTypeNames) {
    return {typeName(fileTypeNames, TextName) + QStringLiteral(" (*.txt)"),
            typeName(fileTypeNames, ExcelName) + QStringLiteral(" (*.csv)"),
            typeName(fileTypeNames, WordName) + QStringLiteral(" (*.docx)"),
            typeName(fileTypeNames, WebPageName) + QStringLiteral(" (*.html)")};
}

FileCommands::SaveType FileCommands::saveType(int filterIndex) {
    switch (filterIndex) {
    case 2:
        return SaveType::Csv;
    case 3:
        return SaveType::Word;
    case 4:
        return SaveType::WebPage;
    default:
        return SaveType::Text;
    }
}

QString FileCommands::webPageName(const QString& programTitle, const QString& tabCaption) {
    return programTitle + u'_' + tabCaption.trimmed() + QStringLiteral(".html");
}

bool FileCommands::open() {
    const FileDialogs::Request request{openFilters(), 1, QString(), kDefaultSuffix};
    const auto choice = m_dialogs.openFile(m_window, request);
    if (!choice)
        return false;
    CompetitionTable& heatStartList = m_competition.heatStartList();
    QByteArray trailer;
    auto rows = ProtocolFile::readProtocolFile(choice->fileName, heatStartList, &trailer);
    if (!rows) {
        reportError(QStringLiteral("Der Lesefehler der Datei: ") + choice->fileName);
        return false;
    }
    // Times written under the other "Ergebnis:" setting would read as no time or as absurd
    // ones: they come in converted, as a switch of the setting converts, or not at all.
    const TimeFormat& notation = m_competition.timeFormat();
    const StartListCommands::TimeConversion conversion = TimeNotation::plan(*rows, notation);
    if (conversion.cells > 0 && !(m_ask && m_ask(conversionQuestion(conversion))))
        return false;
    // A file without competitors empties the competition and so the backup: that takes the
    // question of "Neue".
    if (!ProtocolFile::rowsHaveData(*rows) && heatStartList.hasData() &&
        !(m_ask && m_ask(newProtocolQuestion())))
        return false;
    if (m_admits && !m_admits(rows->mid(1)))
        return false;
    if (conversion.cells > 0) {
        TimeNotation::convert(*rows, notation);
        // Before the cells, so the journal tells why every time of the file reads differently.
        if (m_journalNote)
            m_journalNote(QStringLiteral("Ergebnis: ") + notation.formatTime(1024),
                          choice->fileName + QStringLiteral(": ") +
                              TimeNotation::summary(conversion));
    }
    ProtocolFile::replaceRows(heatStartList, *rows);
    // The file's release comes with it, for the classes the file still holds as released.
    if (m_releaseLoaded)
        m_releaseLoaded(trailer);
    // The file's substitute times come with it; a file without companion has none.
    const QString marksPath = SubstituteMarksFile::companionPath(choice->fileName);
    const SubstituteMarksFile::ReadResult marks = SubstituteMarksFile::read(marksPath);
    m_competition.substituteMarks() = marks.marks;
    TimeNotation::convertMarks(m_competition.substituteMarks(), notation);
    Q_EMIT m_competition.substituteMarksChanged();
    if (const QString damaged = SubstituteMarksFile::damagedText(marksPath, marks);
        !damaged.isEmpty())
        QMessageBox::warning(m_window, m_environment.programTitle(), damaged);
    return true;
}

QString FileCommands::conversionQuestion(const StartListCommands::TimeConversion& plan) {
    return QStringLiteral("Ergebnis: Die %1 Zeiten dieser Datei stehen im anderen Format und "
                          "werden in das eingestellte umgerechnet („%2“ wird „%3“). Umrechnen "
                          "und öffnen?")
        .arg(plan.cells)
        .arg(plan.before, plan.after);
}

void FileCommands::saveAs(int page, const QString& tabCaption, int& filterIndex) {
    const FileDialogs::Request request{saveFilters(), filterIndex,
                                       ProgramPaths::defaultExportName(QDate::currentDate()),
                                       kDefaultSuffix};
    const auto choice = m_dialogs.saveFile(m_window, request);
    if (!choice)
        return;
    filterIndex = choice->filterIndex;
    const QString fileName = FileDialogs::withSuffix(choice->fileName, request, filterIndex);
    const SaveType type = saveType(filterIndex);
    FileWriteResult result = write(type, fileName, page, tabCaption);
    // A protocol keeps its substitute times beside it; one left there from before must not
    // pass for this protocol's.
    if (result && type == SaveType::Text)
        result =
            SubstituteMarksFile::write(SubstituteMarksFile::companionPath(fileName),
                                       SubstituteMarksFile::shownIn(m_competition.substituteMarks(),
                                                                    m_competition.heatStartList()));
    if (!result)
        reportError(result.message, result.reason);
}

FileWriteResult FileCommands::write(SaveType type, const QString& fileName, int page,
                                    const QString& tabCaption) {
    switch (type) {
    case SaveType::Csv:
        return CsvFile::SaveToCsv(m_competition.heatStartList(), fileName);
    case SaveType::Word:
        if (m_wordExport)
            return m_wordExport(fileName, page);
        // Never the protocol text under a Word document's name.
        return FileWriteResult::failure(QStringLiteral("Der Schreibfehler der Datei: ") + fileName,
                                        QString());
    case SaveType::WebPage:
        return ProtocolPage::WriteProtocolPage(
            fileName, m_competition.stageTable(page), m_environment.programTitle(), tabCaption,
            m_competition.substitutes(), m_competition.releaseText());
    case SaveType::Text:
        break;
    }
    return ProtocolFile::SaveProtocolText(m_competition.heatStartList(), fileName,
                                          ReleaseSection::bytes(m_competition.release().entries()));
}

void FileCommands::saveWebPage(int page, const QString& tabCaption) {
    const QString fileName = m_environment.paths().pageFolder(QDir::currentPath()) +
                             webPageName(m_environment.programTitle(), tabCaption);
    const FileWriteResult result = ProtocolPage::WriteProtocolPage(
        fileName, m_competition.stageTable(page), m_environment.programTitle(), tabCaption,
        m_competition.substitutes(), m_competition.releaseText());
    if (!result) {
        // An older page of the same name is not shown: it would pass for the current one.
        reportError(result.message, result.reason);
        return;
    }
    const QFileInfo written(fileName);
    if (written.isFile())
        QDesktopServices::openUrl(QUrl::fromLocalFile(written.absoluteFilePath()));
}

void FileCommands::reportError(const QString& message, const QString& reason) {
    QMessageBox box(QMessageBox::Critical, m_environment.programTitle(), message, QMessageBox::Ok,
                    m_window);
    // Which step failed and why, under the message the operator knows.
    box.setInformativeText(reason);
    box.exec();
}
