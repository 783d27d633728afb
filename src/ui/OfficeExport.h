#pragma once

#include "output/FileWriteResult.h"

#include <QDate>
#include <QString>
#include <functional>

class Competition;
class ProgramEnvironment;
class QUrl;
class QWidget;

// The Word and Excel commands of the main window: it builds the documents from the stage tables
// and the window's texts, writes them where the web page goes, opens them with the desktop's
// application for the type and tells the operator what could not be written.
class OfficeExport {
public:
    // What the documents take from the window.
    struct Sources {
        std::function<QString()> eventTitle;         // the event title field
        std::function<QString(int page)> tabCaption; // with its leading blanks
        std::function<QString()> windowCaption;      // the new workbook's subject
    };
    using Opener = std::function<bool(const QUrl& url)>;
    using Teller = std::function<void(const QString& message, const QString& reason)>;

    enum WordMode { Shown = 0, Saved = 1 };

    OfficeExport(const Competition& competition, const ProgramEnvironment& environment,
                 Sources sources, Teller teller, Opener opener);

    // DefaultExportName + ".docx" / ".xlsx", without folder: beside the web page.
    static QString wordFileName(const QDate& date);
    static QString excelFileName(const QDate& date);

    // The page's table into a document from the Word template. Mode Shown opens the written
    // document and tells a failure itself; mode Saved (the save dialog, which tells failures)
    // only writes. The hourglass shows meanwhile.
    FileWriteResult ExportToWord(int mode, const QString& fileName, int page);

    // All four stage tables into fileName, based on the Excel template when there is one, then
    // opened; a failure is told.
    FileWriteResult ExportToExcel(const QString& fileName);

    // A box on the window that does not hold it up, with the reason under the message.
    static Teller messageBoxOn(QWidget& window, const QString& title);

private:
    void open(const QString& fileName) const;

    const Competition& m_competition;
    const ProgramEnvironment& m_environment;
    Sources m_sources;
    Teller m_teller;
    Opener m_opener;
};
