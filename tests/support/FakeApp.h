// The controller built on a full set of fakes, for tests of what it does. Fixtures derive from
// it; with a journal, every fake notes its calls in that one list.
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
    FakeApp() = default;
    explicit FakeApp(std::vector<std::string>& journal)
        : desktop(journal)
        , clock(journal)
        , pointer(journal)
        , shell(journal)
        , hotKeyPlatform(journal)
        , journal_(&journal) {}

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

private:
    void note(const char* text) {
        if (journal_) {
            journal_->push_back(text);
        }
    }

    std::vector<std::string>* journal_ = nullptr;
    bool settingsUsed_ = false;

public:
    AppDelegate delegate{AppEnvironment{desktop, clock, pointer, shell, hotKeys,
                                        [this]() -> SizeMemory& {
                                            note("size memory");
                                            return *sizeMemory;
                                        },
                                        [this]() -> AppSettings& {
                                            if (!std::exchange(settingsUsed_, true)) {
                                                note("load settings");
                                            }
                                            return settings;
                                        }}};
};

} // namespace nivu::test
