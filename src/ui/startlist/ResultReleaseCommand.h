#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>

class QAction;
class QWidget;
class RaceSession;
class ResultReleaseDialog;

// "Ergebnisse freigeben...": opens the dialog of the classes and their release, asks before a
// release or its withdrawal takes effect and hands it to the session. The menu entry is
// disabled with a hint while no run has an entry. It also decides whether certificates may be
// made while "Urkunden erst nach Freigabe" is on.
class ResultReleaseCommand : public QObject {
    Q_OBJECT
public:
    using Ask = std::function<bool(const QString& question)>;
    using Tell = std::function<void(const QString& message)>;

    ResultReleaseCommand(RaceSession& session, QAction& action, Ask ask, Tell tell,
                         QWidget* window);
    ~ResultReleaseCommand() override;

    static QString noResultsHint() {
        return QStringLiteral("Noch keine Ergebnisse: erst Zeiten eintragen");
    }

    // Shows the dialog beside the window; a second call brings it to the front.
    void show();
    ResultReleaseDialog* dialog() const;

    // After the question: releases those classes; true when any was released.
    bool release(const QStringList& classes);
    bool releaseAll();
    bool withdraw(const QStringList& classes);

    // True when certificates may be made now: nothing is withheld, or the operator releases
    // what is; otherwise the refusal naming the classes is told.
    bool admitCertificates();

private:
    void updateAction();

    RaceSession& m_session;
    QAction& m_action;
    Ask m_ask;
    Tell m_tell;
    QWidget* m_window;
    QPointer<ResultReleaseDialog> m_dialog;
};
