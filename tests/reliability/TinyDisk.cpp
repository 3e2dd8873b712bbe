#include "TinyDisk.h"

#include <QDir>
#include <QFile>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

static QString privateMountsError = QStringLiteral("enterPrivateMounts() was not called");

QString TinyDisk::enterPrivateMounts() {
    if (geteuid() != 0) {
        privateMountsError = QStringLiteral("mounting a tmpfs needs root");
    } else if (unshare(CLONE_NEWNS) != 0) {
        privateMountsError = "unshare(CLONE_NEWNS): " + qt_error_string();
    } else if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        privateMountsError = "making / private: " + qt_error_string();
    } else {
        privateMountsError.clear();
    }
    return privateMountsError;
}

TinyDisk::TinyDisk(const QString& folder, const char* size)
    : folder_(folder), error_(privateMountsError) {
    if (error_.isEmpty() && mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                                  (QByteArray("mode=0777,size=") + size).constData()) != 0) {
        error_ = "tmpfs mount: " + qt_error_string();
    }
}

TinyDisk::~TinyDisk() {
    if (error_.isEmpty()) {
        umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
    }
}

bool TinyDisk::fill() const {
    QFile filler(QDir(folder_).filePath(QStringLiteral(".filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return false;
    }
    const QByteArray block(4096, 'f');
    while (filler.write(block) > 0) {
    }
    return filler.error() != QFileDevice::NoError;
}
