#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// Asks the operator for a file to open or a name to save under. The window reaches the
// desktop's dialogs only through this, so tests can answer in their place.
class FileDialogs {
public:
    struct Request {
        QStringList filters; // "Textdatei (*.txt)", ...
        int filterIndex = 1; // 1-based, the entry shown first
        QString fileName;    // proposed name, may be empty
        // Added to a name typed without a suffix when the selected filter names none.
        QString defaultSuffix;
    };
    struct Choice {
        QString fileName;
        int filterIndex = 1; // 1-based, the entry left selected
    };

    virtual ~FileDialogs() = default;

    // "csv" for "MS Excel (*.csv)"; empty when the filter names no single suffix.
    static QString filterSuffix(const QString& filter);
    // The name with the suffix of the selected filter (else defaultSuffix) when it has none.
    static QString withSuffix(const QString& fileName, const Request& request, int filterIndex);

    // An existing file; nullopt on Cancel.
    virtual std::optional<Choice> openFile(QWidget* parent, const Request& request) = 0;
    // Any name, without asking about overwriting; nullopt on Cancel.
    virtual std::optional<Choice> saveFile(QWidget* parent, const Request& request) = 0;
};
