#include "ui/program/TvEntries.h"

#include "ui/window/MainActions.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

namespace {

constexpr int PopupOffset = 8;

} // namespace

void TvEntries::enable(MainActions& actions, QWidget* button) {
    button->setEnabled(true);
    for (QAction* entry : {actions.tvModes[1], actions.tvModes[3], actions.tvModes[4]})
        entry->setEnabled(button->isEnabled());
    actions.insertTvSubmenu();
    actions.tvMenu->menuAction()->setEnabled(button->isEnabled());
}

QAction* TvEntries::ctrlTEntry(const MainActions& actions) {
    return actions.tvModes[0]->isChecked() ? actions.tvModes[1] : actions.tvModes[0];
}

void TvEntries::openPopup(const MainActions& actions, QWidget* button) {
    actions.tvMenu->popup(button->mapToGlobal(QPoint(PopupOffset, PopupOffset)));
}
