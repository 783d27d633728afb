#pragma once

#include "competition/StartListCommands.h"
#include "output/FileWriteResult.h"
#include "widgets/FileDialogs.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class Competition;
class ProgramEnvironment;
class QWidget;

// The file commands of the "Startliste" menu: "Öffnen...", "Speichern als…" with its four
// output types, and "Als Webseite speichern". It runs the dialogs, writes or reads the files
// and tells the operator when a file could not be written or read.
class FileCommands {
public:
    enum class SaveType { Text, Csv, Word, WebPage };
    // Starts writing the Word document of a stage page under the name, or says why it cannot;
    // the Word export provides it and tells what fails later itself.
    using WordExport = std::function<FileWriteResult(const QString& fileName, int page)>;

    // fileTypeNames: the descriptions of text, web page, Word and Excel files, in this order.
    FileCommands(Competition& competition, const ProgramEnvironment& environment,
                 FileDialogs& dialogs, const QStringList& fileTypeNames, QWidget* window);
    ~FileCommands();
    FileCommands(const FileCommands&) = delete;
    FileCommands& operator=(const FileCommands&) = delete;

    static QStringList openFilters(const QStringList& fileTypeNames);
    // Text, CSV, Word, web page: filter indices 1 to 4.
    static QStringList saveFilters(const QStringList& fileTypeNames);
    // Index 1 and any value outside 2..4 save the protocol text.
    static SaveType saveType(int filterIndex);
    // ProgramTitle "_" trimmed tab caption ".html", in the current folder.
    static QString webPageName(const QString& programTitle, const QString& tabCaption);

    QStringList openFilters() const { return openFilters(m_typeNames); }
    QStringList saveFilters() const { return saveFilters(m_typeNames); }

    void setWordExport(WordExport exporter) { m_wordExport = std::move(exporter); }
    // Asks a yes/no question, true for "Ja". Unset, every question counts as answered "Nein".
    void setQuestion(std::function<bool(const QString& question)> ask) { m_ask = std::move(ask); }
    // Whether the heat start list may become the data rows of a file being opened (a run may
    // be open); unset, it may.
    void setAdmission(std::function<bool(const QList<QStringList>& rows)> admits) {
        m_admits = std::move(admits);
    }

    // Takes the release a protocol file carried behind its table, once its rows are loaded.
    void setReleaseLoaded(std::function<void(const QByteArray& trailer)> loaded) {
        m_releaseLoaded = std::move(loaded);
    }

    // Journals a note (name, remark); unset, nothing is journaled.
    void setJournalNote(std::function<void(const QString& name, const QString& remark)> note) {
        m_journalNote = std::move(note);
    }

    // Asked before the times of a file written under the other "Ergebnis:" setting are
    // converted into the one set; "Nein" leaves the file unopened.
    static QString conversionQuestion(const StartListCommands::TimeConversion& plan);

    // The question of "Neue", asked before a competition is emptied.
    static QString newProtocolQuestion() {
        return QStringLiteral(
            "Haben Sie das Protokoll gespeichert und/oder wollen Sie ein Neues öffnen?");
    }

    // "Öffnen...": true when the chosen file was read into the heat start list; a file that
    // cannot be read leaves the competition as it was and says so. A file without competitors
    // replaces a competition that has some only after the question of "Neue"; times written
    // in the other notation come in converted after conversionQuestion.
    bool open();

    // "Speichern als…" on the given page; filterIndex is the type shown first and, after OK,
    // the type the operator left selected.
    void saveAs(int page, const QString& tabCaption, int& filterIndex);

    // "Als Webseite speichern": writes the page's table and opens the written page.
    void saveWebPage(int page, const QString& tabCaption);

private:
    FileWriteResult write(SaveType type, const QString& fileName, int page,
                          const QString& tabCaption);
    void reportError(const QString& message, const QString& reason = QString());

    Competition& m_competition;
    const ProgramEnvironment& m_environment;
    FileDialogs& m_dialogs;
    QStringList m_typeNames;
    QWidget* m_window;
    WordExport m_wordExport;
    std::function<bool(const QString&)> m_ask;
    std::function<bool(const QList<QStringList>&)> m_admits;
    std::function<void(const QString&, const QString&)> m_journalNote;
    std::function<void(const QByteArray&)> m_releaseLoaded;
};
