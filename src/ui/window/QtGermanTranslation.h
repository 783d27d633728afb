#pragma once

#include <QString>
#include <QTranslator>

// Qt's own German texts for the standard parts of the window (file dialogs, context menus,
// standard buttons), installed whatever the system's language is, since the program speaks
// German throughout. Lives as long as the texts are wanted.
class QtGermanTranslation {
public:
    // The folder of Qt's translations as installed with Qt.
    static QString installedFolder();

    explicit QtGermanTranslation(const QString& folder = installedFolder());
    ~QtGermanTranslation();
    QtGermanTranslation(const QtGermanTranslation&) = delete;
    QtGermanTranslation& operator=(const QtGermanTranslation&) = delete;

    // False when no German catalogue was found; Qt's texts then stay English.
    bool installed() const { return m_installed; }
    QString file() const { return m_translator.filePath(); }

private:
    QTranslator m_translator;
    bool m_installed = false;
};
