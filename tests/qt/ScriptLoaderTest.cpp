// Loading Nivu's script into a KWin on a private bus: a stand-in for KWin's scripting that
// numbers scripts the way KWin does, by how many it holds, so that a number may repeat, and
// that can keep its answers back, as a busy KWin does.
#include "kwin/ScriptLoader.h"

#include "PrivateBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QTest>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace nivu::kwin {
namespace {

// Answers on the thread it lives on, a thread of its own.
class FakeScripting : public QDBusVirtualObject {
public:
    void publish(const QString& address) {
        bus_ = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(address, QStringLiteral("fake-kwin")));
        bus_->registerVirtualObject(QStringLiteral("/Scripting"), this, QDBusConnection::SubPath);
        bus_->registerService(QStringLiteral("org.kde.KWin"));
    }
    void withdraw() {
        bus_.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-kwin"));
    }
    bool runs(const QString& name) const {
        const auto script = scripts_.find(name);
        return script != scripts_.end() && script->second.running;
    }
    // While busy, calls wait unanswered; then they are answered in order.
    void setBusy(bool busy) {
        busy_ = busy;
        for (auto waiting = std::exchange(waiting_, {}); const auto& message : waiting) {
            handleMessage(message, *bus_);
        }
    }
    std::size_t waiting() const { return waiting_.size(); }

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
        if (busy_) {
            message.setDelayedReply(true);
            waiting_.push_back(message);
            return true;
        }
        const auto arguments = message.arguments();
        const QString name = arguments.value(1, arguments.value(0)).toString();
        const QString method = message.member();
        QVariant answer;
        if (message.path() != QStringLiteral("/Scripting")) { // a script's own object: run()
            const auto owner = paths_.find(message.path());
            if (owner == paths_.end()) {
                return false;
            }
            scripts_[owner->second].running = true; // a running script returns at once
        } else if (method == QStringLiteral("loadScript")) {
            // Numbered by how many there are; where that number's path is still another
            // script's, the new one gets none.
            const int id = scripts_.contains(name) ? -1 : static_cast<int>(scripts_.size());
            if (id >= 0) {
                scripts_[name] = {};
                paths_.try_emplace(QStringLiteral("/Scripting/Script") + QString::number(id), name);
            }
            answer = id;
        } else if (method == QStringLiteral("unloadScript")) {
            std::erase_if(paths_, [&](const auto& path) { return path.second == name; });
            answer = scripts_.erase(name) > 0;
        } else if (method == QStringLiteral("isScriptLoaded")) {
            answer = scripts_.contains(name);
        } else if (method == QStringLiteral("start")) {
            for (auto& [_, script] : scripts_) {
                script.running = true;
            }
        } else {
            return false;
        }
        bus.send(answer.isValid() ? message.createReply(answer) : message.createReply());
        return true;
    }

private:
    struct Script {
        bool running = false;
    };
    std::unique_ptr<QDBusConnection> bus_;
    std::map<QString, Script> scripts_;
    std::map<QString, QString> paths_; // object path -> script name
    bool busy_ = false;
    std::vector<QDBusMessage> waiting_;
};

class ScriptLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        thread_.start();
        kwin_.moveToThread(&thread_);
        onKWinThread([&] { kwin_.publish(bus_.address()); });
    }
    void TearDown() override {
        QDBusConnection::disconnectFromBus(QStringLiteral("nivu"));
        onKWinThread([&] { kwin_.withdraw(); });
        thread_.quit();
        thread_.wait();
    }
    void onKWinThread(const std::function<void()>& work) {
        QMetaObject::invokeMethod(&kwin_, work, Qt::BlockingQueuedConnection);
    }
    bool runs(const QString& name) {
        bool result = false;
        onKWinThread([&] { result = kwin_.runs(name); });
        return result;
    }
    // Whether the loader got the script running, once its load has ended.
    static bool loads(ScriptLoader& loader) {
        loader.load();
        return QTest::qWaitFor([&] { return !loader.loading(); }) && loader.running();
    }
    QDBusConnection nivuBus() {
        return QDBusConnection::connectToBus(bus_.address(), QStringLiteral("nivu"));
    }
    QDBusConnection otherProgram() {
        return QDBusConnection::connectToBus(bus_.address(), QStringLiteral("other"));
    }

    test::PrivateBus bus_;
    QThread thread_;
    FakeScripting kwin_;
};

TEST_F(ScriptLoaderTest, RunsItsOwnScriptAlsoWhereKWinRepeatsANumberAfterAnUnload) {
    // Another program's scripts: the first of two unloaded, so KWin numbers the next script as
    // the second, whose object answers at that number's path.
    ScriptLoader first(otherProgram(), QStringLiteral("/tmp/a.js"), QStringLiteral("first"));
    ScriptLoader second(otherProgram(), QStringLiteral("/tmp/b.js"), QStringLiteral("second"));
    ASSERT_TRUE(loads(first) && loads(second));
    first.unload();

    ScriptLoader nivu(nivuBus(), QStringLiteral("/tmp/nivu.js"), QStringLiteral("nivu"));
    EXPECT_TRUE(loads(nivu));
    EXPECT_TRUE(runs(QStringLiteral("nivu")));
    EXPECT_TRUE(runs(QStringLiteral("second")));

    // An earlier Nivu's script of the same name is replaced, and the new one runs.
    ScriptLoader again(nivuBus(), QStringLiteral("/tmp/nivu.js"), QStringLiteral("nivu"));
    EXPECT_TRUE(loads(again));
    EXPECT_TRUE(runs(QStringLiteral("nivu")));
}

TEST_F(ScriptLoaderTest, ABusyKWinKeepsNivuWaitingForNothing) {
    // Nivu asks for its load on each turn of the access poll; KWin answers late. The loop turns
    // meanwhile (the test goes on while KWin still holds the call), the later asks begin
    // nothing new, and the late answers still start the script.
    onKWinThread([&] { kwin_.setBusy(true); });
    ScriptLoader nivu(nivuBus(), QStringLiteral("/tmp/nivu.js"), QStringLiteral("nivu"));
    QString kwin;
    nivu.load([&](const QString& sender) { kwin = sender; });
    std::size_t waiting = 0;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        onKWinThread([&] { waiting = kwin_.waiting(); });
        return waiting > 0;
    }));
    nivu.load();
    EXPECT_TRUE(nivu.loading() && !nivu.running());
    onKWinThread([&] { kwin_.setBusy(false); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !nivu.loading(); }));
    EXPECT_TRUE(nivu.running());
    EXPECT_TRUE(runs(QStringLiteral("nivu")));
    EXPECT_TRUE(kwin.startsWith(u':')) << "KWin's unique name: " << kwin.toStdString();

    // Without KWin on the bus, a load ends at once, with nothing running.
    onKWinThread([&] { kwin_.withdraw(); });
    ScriptLoader alone(nivuBus(), QStringLiteral("/tmp/nivu.js"), QStringLiteral("nivu"));
    EXPECT_FALSE(loads(alone));
}

} // namespace
} // namespace nivu::kwin
