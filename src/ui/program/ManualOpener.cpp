#include "ui/program/ManualOpener.h"

#include "session/ProgramEnvironment.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

ManualOpener::ManualOpener(std::optional<QString> manual, QStringList places, Viewer viewer,
                           Teller teller)
    : m_manual(std::move(manual)), m_places(std::move(places)), m_viewer(std::move(viewer)),
      m_teller(std::move(teller)) {}

bool ManualOpener::open() const {
    if (!m_manual || !QFileInfo(*m_manual).isFile()) {
        m_teller(missingMessage(m_places));
        return false;
    }
    if (m_viewer(QUrl::fromLocalFile(*m_manual)))
        return true;
    m_teller(noViewerMessage(*m_manual));
    return false;
}

ManualOpener::Teller ManualOpener::messageBoxOn(QWidget& window, const QString& title) {
    return [&window, title](const QString& message) {
        auto* box = window.findChild<QMessageBox*>(messageBoxName());
        if (!box) {
            box =
                new QMessageBox(QMessageBox::Information, title, message, QMessageBox::Ok, &window);
            box->setObjectName(messageBoxName());
            box->setModal(false);
            box->setAttribute(Qt::WA_DeleteOnClose);
        }
        box->setText(message);
        box->show();
        box->raise();
    };
}

ManualOpener::Viewer ManualOpener::desktopViewer(const ProgramEnvironment& environment) {
    return [&environment](const QUrl& file) {
        const char* kind = file.path().endsWith(QStringLiteral(".chm"), Qt::CaseInsensitive)
                               ? "application/vnd.ms-htmlhelp"
                               : "text/html";
        return environment.hasApplicationFor(kind) && QDesktopServices::openUrl(file);
    };
}

QStringList ManualOpener::placesFor(const ProgramEnvironment& environment) {
    const QString name = environment.programTitle() + QStringLiteral(".html");
    QStringList places{environment.pathNextToExecutable(name)};
    if (!environment.dataDir().isEmpty())
        places.append(QDir(environment.dataDir()).filePath(name));
    return places;
}

QString ManualOpener::noViewerMessage(const QString& manual) {
    return QStringLiteral("Es ist kein Programm zum Anzeigen des Handbuchs eingerichtet.\n\n"
                          "Das Handbuch liegt unter %1")
        .arg(QDir::toNativeSeparators(manual));
}

QString ManualOpener::missingMessage(const QStringList& places) {
    QStringList shown;
    for (const QString& place : places)
        shown.append(QDir::toNativeSeparators(place));
    return QStringLiteral("Das Handbuch wurde nicht gefunden.\n\nEs gehört nach %1")
        .arg(shown.join(QStringLiteral(" oder ")));
}
