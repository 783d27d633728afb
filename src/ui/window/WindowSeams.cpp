#include "ui/window/WindowSeams.h"

#include "widgets/QtFileDialogs.h"

WindowSeams WindowSeams::forDesktop() {
    return WindowSeams{std::make_shared<QtFileDialogs>(), {}};
}
