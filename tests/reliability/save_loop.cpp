// Saves a link file over and over through the program's own writers, switching between two
// versions, until it is killed. Prints the number of each finished save on its own line.
// Usage: save_loop url|ram PATH
#include <QString>
#include <QStringList>

#include <cstdio>

#include "LinkFiles.h"
#include "SaveLoopVersions.h"

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: save_loop url|ram PATH\n");
        return 2;
    }
    const QString kind = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    const QStringList playLists[2] = {SaveLoopVersions::playList(0), SaveLoopVersions::playList(1)};
    for (unsigned long long i = 0;; ++i) {
        const int version = int(i % 2);
        const QString error =
            kind == QLatin1String("url")
                // Keeping the other keys reads the file first: a read of a half-written
                // file would show up as a third version.
                ? writeInternetShortcut(path, SaveLoopVersions::address(version), true)
                : writeRealMedia(path, playLists[version]);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        std::printf("%llu\n", i);
        std::fflush(stdout);
    }
}
