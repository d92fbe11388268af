// A D-Bus session bus of the test's own: a dbus-daemon that ends with the object.
#pragma once

#include <QProcess>
#include <QString>
#include <stdexcept>

namespace nivu::test {

class PrivateBus {
public:
    PrivateBus() {
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--session"), QStringLiteral("--nofork"),
                       QStringLiteral("--print-address=1")});
        if (!daemon_.waitForReadyRead(10000)) {
            throw std::runtime_error("dbus-daemon did not start");
        }
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus() {
        daemon_.kill();
        daemon_.waitForFinished();
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    const QString& address() const { return address_; }

private:
    QProcess daemon_;
    QString address_;
};

} // namespace nivu::test
