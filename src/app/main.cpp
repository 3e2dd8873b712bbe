#include <QApplication>

#include "OrvaneE_Class.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return OrvaneE_Class::run(app);
}
