#include "ui/stopwatch/EntryOwnerQuestion.h"

#include <QMessageBox>
#include <QPushButton>

RaceSession::EntryOwner EntryOwnerQuestion::ask(QWidget* parent, const QString& title,
                                                const QString& bound, const QString& selected,
                                                const QString& time) {
    QMessageBox box(QMessageBox::Question, title,
                    QStringLiteral("Der Lauf wurde für ") + bound +
                        QStringLiteral(" gestartet, gewählt ist jetzt ") + selected +
                        QStringLiteral(".\nWem gehört die Zeit ") + time + QStringLiteral("?"),
                    QMessageBox::NoButton, parent);
    QPushButton* forBound = box.addButton(QStringLiteral("Für ") + bound, QMessageBox::YesRole);
    QPushButton* forSelected =
        box.addButton(QStringLiteral("Für ") + selected, QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    // The safe answer is the one a hasty Enter gives: the competitor the run was started for.
    box.setDefaultButton(forBound);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == forBound)
        return RaceSession::EntryOwner::Bound;
    if (box.clickedButton() == forSelected)
        return RaceSession::EntryOwner::Selected;
    return RaceSession::EntryOwner::Nobody;
}

QString EntryOwnerQuestion::forBound(const QString& bound, const QString& selected,
                                     const QString& time) {
    return QStringLiteral("Der Lauf wurde für ") + bound +
           QStringLiteral(" gestartet, gewählt ist ") + selected + QStringLiteral(". Zeit ") +
           time + QStringLiteral(" für ") + bound + QStringLiteral(" eintragen?");
}

QString EntryOwnerQuestion::forSelected(const QString& selected, const QString& time) {
    return QStringLiteral("Zeit ") + time + QStringLiteral(" für ") + selected +
           QStringLiteral(" eintragen?");
}
