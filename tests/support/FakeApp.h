// The controller built on a full set of fakes, for tests of what it does.
#pragma once

#include "FakeDesktop.h"
#include "FakeHotKeys.h"
#include "FakePointer.h"
#include "FakeShell.h"
#include "InMemoryUserDefaults.h"
#include "RecordingSizeMemory.h"
#include "VirtualClock.h"
#include "app/AppDelegate.h"

namespace nivu::test {

struct FakeApp {
    FakeDesktop desktop;
    VirtualClock clock;
    FakePointer pointer;
    FakeShell shell;
    RecordingSizeMemory memory;
    InMemoryUserDefaults defaults;
    AppSettings settings{defaults};
    FakeHotKeys hotKeyPlatform;
    HotKeyRegistry hotKeys{hotKeyPlatform};
    // The store the controller uses; a test may point it at a real one before launching.
    SizeMemory* sizeMemory = &memory;
    AppDelegate delegate{AppEnvironment{desktop, clock, pointer, shell, hotKeys,
                                        [this]() -> SizeMemory& { return *sizeMemory; },
                                        [this]() -> AppSettings& { return settings; }}};
};

} // namespace nivu::test
