// A real Qt client for desktop tests: a main window, optionally fixed-size, with a role, and
// optionally a parented dialog (transient, dialog type) with its own role.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QStringList>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto option = [&](const QString& name) {
        const auto index = args.indexOf(name);
        return index >= 0 && index + 1 < args.size() ? args[index + 1] : QString();
    };

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("nivu test window"));
    window.setCentralWidget(new QLabel(QStringLiteral("test"), &window));
    if (!option(QStringLiteral("--role")).isEmpty()) {
        window.setWindowRole(option(QStringLiteral("--role")));
    }
    if (args.contains(QStringLiteral("--fixed"))) {
        window.setFixedSize(300, 200);
    } else {
        window.resize(400, 300);
    }
    window.show();

    QDialog dialog(&window);
    if (!option(QStringLiteral("--dialog")).isEmpty()) {
        dialog.setWindowRole(option(QStringLiteral("--dialog")));
        dialog.resize(250, 150);
        dialog.show();
    }
    return app.exec();
}
