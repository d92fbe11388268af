// The scheduler on Qt's event loop.
#include "qt/QtScheduler.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

namespace nivu {

QtScheduler::QtScheduler() = default;
QtScheduler::~QtScheduler() = default;

void QtScheduler::runAfter(Duration delay, Task task) {
    QTimer::singleShot(static_cast<int>(delay.count()), Qt::PreciseTimer, &context_,
                       std::move(task));
}

Subscription QtScheduler::startTimer(Duration interval, bool repeats, Task task) {
    auto* timer = new QTimer(&context_);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setSingleShot(!repeats);
    timer->setInterval(static_cast<int>(interval.count()));
    QObject::connect(timer, &QTimer::timeout, timer, std::move(task));
    timer->start();
    return Subscription([guard = QPointer<QTimer>(timer)] {
        if (guard) {
            guard->stop();
            guard->deleteLater();
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
