// The yardstick for bench_startup: a bare Qt Widgets window, shown as soon as the program
// runs, measured the same way as orvane-editor.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare Qt window"));
    window.resize(400, 120);
    window.show();
    return app.exec();
}
