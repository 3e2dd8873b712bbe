// The yardstick for bench_startup: a bare Qt Widgets main window with a menu bar and a
// line edit, shown as soon as the program runs, measured the same way as orvane-editor.
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare Qt window"));
    window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("E&xit"));
    window.setCentralWidget(new QLineEdit(QStringLiteral("http://")));
    window.resize(400, 120);
    window.show();
    return app.exec();
}
