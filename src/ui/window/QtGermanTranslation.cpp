#include "ui/window/QtGermanTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

QString QtGermanTranslation::installedFolder() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

QtGermanTranslation::QtGermanTranslation(const QString& folder) {
    const QLocale german(QLocale::German, QLocale::Germany);
    // qtbase holds the widget texts; the qt catalogue gathers it with the other modules.
    for (const QString& catalogue : {QStringLiteral("qtbase"), QStringLiteral("qt")}) {
        if (m_translator.load(german, catalogue, QStringLiteral("_"), folder)) {
            m_installed = QCoreApplication::installTranslator(&m_translator);
            break;
        }
    }
}

QtGermanTranslation::~QtGermanTranslation() {
    if (m_installed)
        QCoreApplication::removeTranslator(&m_translator);
}
