#include "timing/ControlStates.h"

namespace {

template <typename States> auto& pick(States& states, TimingButton which) {
    switch (which) {
    case TimingButton::Timer:
        return states.timer;
    case TimingButton::Start:
        return states.start;
    case TimingButton::Lap:
        return states.lap;
    case TimingButton::Stop:
        return states.stop;
    case TimingButton::Enter:
        return states.enter;
    case TimingButton::Reset:
        break;
    }
    return states.reset;
}

} // namespace

const ControlStates::Button& ControlStates::button(TimingButton which) const {
    return pick(*this, which);
}

ControlStates::Button& ControlStates::button(TimingButton which) {
    return pick(*this, which);
}
