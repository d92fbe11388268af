// The scheduler on Qt's event loop.
#include "qt/QtScheduler.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QTimerEvent>
#include <unordered_map>

namespace nivu {

class QtScheduler::Timers final : public QObject {
public:
    // Returns a serial number: Qt reuses timer ids, so a cancel that comes after its timer
    // fired must not stop a newer timer that got the same id.
    std::uint64_t start(Duration interval, bool repeats, Task task) {
        const int id = QObject::startTimer(std::chrono::milliseconds(interval), Qt::PreciseTimer);
        entries_[id] = {++serial_, repeats, std::move(task)};
        return serial_;
    }
    void cancel(std::uint64_t serial) {
        for (auto entry = entries_.begin(); entry != entries_.end(); ++entry) {
            if (entry->second.serial == serial) {
                killTimer(entry->first);
                entries_.erase(entry);
                return;
            }
        }
    }

protected:
    void timerEvent(QTimerEvent* event) override {
        const auto entry = entries_.find(event->timerId());
        if (entry == entries_.end()) {
            return;
        }
        if (entry->second.repeats) {
            auto task = entry->second.task; // the task may cancel its own timer
            task();
            return;
        }
        killTimer(entry->first);
        auto task = std::move(entry->second.task);
        entries_.erase(entry);
        task();
    }

private:
    struct Entry {
        std::uint64_t serial;
        bool repeats;
        Task task;
    };
    std::unordered_map<int, Entry> entries_; // by Qt's timer id; a handful at a time
    std::uint64_t serial_ = 0;
};

QtScheduler::QtScheduler()
    : timers_(std::make_unique<Timers>()) {}

QtScheduler::~QtScheduler() = default;

void QtScheduler::runAfter(Duration delay, Task task) {
    timers_->start(delay, /*repeats=*/false, std::move(task));
}

Subscription QtScheduler::startTimer(Duration interval, bool repeats, Task task) {
    const auto serial = timers_->start(interval, repeats, std::move(task));
    return Subscription([timers = QPointer<Timers>(timers_.get()), serial] {
        if (timers) {
            timers->cancel(serial);
        }
    });
}

Subscription QtScheduler::watchReadable(int fd, Task onReadable) {
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, &context_);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, std::move(onReadable));
    return Subscription([guard = QPointer<QSocketNotifier>(notifier)] {
        if (guard) {
            guard->setEnabled(false);
            guard->deleteLater();
        }
    });
}

} // namespace nivu
