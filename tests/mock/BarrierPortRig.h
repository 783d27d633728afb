#pragma once

#include "mock/FakeSerialSystem.h"
#include "mock/FakeTickSource.h"
#include "timing/BarrierLogic.h"
#include "timing/LightBarrierPort.h"
#include "timing/RunClock.h"

#include <memory>

// The light-barrier port on a fake adapter at /dev/ttyUSB0, with the clock and the barrier
// logic it drives, all on one fake tick source.
struct BarrierPortRig {
    explicit BarrierPortRig(FakeLineDevice::Options options = {})
        : ticks(std::make_shared<FakeTickSource>(1'000'000)),
          system(std::make_shared<FakeSerialSystem>([t = ticks] { return t->nowMicroseconds(); })),
          device(system->addDevice(QStringLiteral("/dev/ttyUSB0"), options)), clock(*ticks),
          barriers(clock), port(barriers, system, ticks) {}
    std::shared_ptr<FakeTickSource> ticks;
    std::shared_ptr<FakeSerialSystem> system;
    std::shared_ptr<FakeLineDevice> device;
    RunClock clock;
    BarrierLogic barriers;
    LightBarrierPort port;
};
