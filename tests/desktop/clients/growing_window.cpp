// A program that resizes its own window, for the desktop suites: while told to, its window
// grows and shrinks by a few pixels at every tick, which keeps Nivu's badge showing as long as
// a suite needs it. Lines on standard input: "grow" starts, "stop" stops; its end quits.
#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    QApplication::setDesktopFileName(QStringLiteral("growing-window"));
    const QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Growing window"));
    window.resize(640, 480);
    window.show();

    QTimer tick;
    tick.setInterval(50);
    int step = 4;
    QObject::connect(&tick, &QTimer::timeout, &window, [&] {
        step = -step;
        window.resize(window.width() + step, window.height());
    });

    std::string line;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &window, [&] {
        char byte = 0;
        if (read(STDIN_FILENO, &byte, 1) != 1) {
            QApplication::quit();
        } else if (byte != '\n') {
            line += byte;
        } else {
            if (line == "grow") {
                tick.start();
            } else if (line == "stop") {
                tick.stop();
            }
            line.clear();
        }
    });
    return QApplication::exec();
}
