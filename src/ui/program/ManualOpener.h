#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>

// Opens the manual with the desktop's viewer. When no manual was found, or no viewer takes it,
// the operator is told where the manual is (or belongs), so help is never just silent.
class ProgramEnvironment;
class QWidget;

class ManualOpener {
public:
    // True when a viewer took the file.
    using Viewer = std::function<bool(const QUrl& file)>;
    using Teller = std::function<void(const QString& message)>;

    // places: where a missing manual is looked for, in that order.
    ManualOpener(std::optional<QString> manual, QStringList places, Viewer viewer, Teller teller);

    // True when a viewer shows the manual; otherwise the operator has been told.
    bool open() const;

    // Tells in an information box on the window that does not hold up the window: a run may
    // be timed meanwhile. A second message reuses the box.
    static Teller messageBoxOn(QWidget& window, const QString& title);
    static QString messageBoxName() { return QStringLiteral("ManualMessage"); }

    // The desktop's viewer for the manual's kind of file. Starting the desktop's opener counts
    // as success even when nothing on the machine shows the file (the opener then fails on its
    // own), so a viewer registered for that kind of file is looked for first.
    static Viewer desktopViewer(const ProgramEnvironment& environment);

    // Where the shipped manual of this installation belongs.
    static QStringList placesFor(const ProgramEnvironment& environment);

    static QString noViewerMessage(const QString& manual);
    static QString missingMessage(const QStringList& places);

private:
    std::optional<QString> m_manual;
    QStringList m_places;
    Viewer m_viewer;
    Teller m_teller;
};
