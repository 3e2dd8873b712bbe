#include "ReadOnlyPath.h"

#include <QDir>
#include <QFile>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace {

QString lastError(const char* what) {
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

QString privateMountsError = QStringLiteral("enterPrivateMounts() was not called");

// Why nothing can be mounted here, or empty.
QString cannotMount() {
    return geteuid() != 0 ? QStringLiteral("mounting needs root") : privateMountsError;
}

}  // namespace

QString ReadOnlyPath::enterPrivateMounts() {
    privateMountsError.clear();
    if (geteuid() != 0) {
        return {};
    }
    if (unshare(CLONE_NEWNS) != 0) {
        privateMountsError = lastError("unshare(CLONE_NEWNS)");
    } else if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        privateMountsError = lastError("making / private");
    }
    return privateMountsError;
}

ReadOnlyPath::ReadOnlyPath(const QString& path) : path_(path) {
    if (geteuid() != 0) {
        permissions_ = QFile::permissions(path);
        if (!QFile::setPermissions(
                path, permissions_ & ~(QFileDevice::WriteOwner | QFileDevice::WriteUser |
                                       QFileDevice::WriteGroup | QFileDevice::WriteOther))) {
            error_ = QStringLiteral("cannot clear the write permission of ") + path;
        }
        return;
    }
    const QByteArray native = QFile::encodeName(path);
    error_ = cannotMount();
    if (!error_.isEmpty()) {
        return;
    }
    if (mount(native.constData(), native.constData(), nullptr, MS_BIND, nullptr) != 0) {
        error_ = lastError("bind mount");
        return;
    }
    mounted_ = true;
    if (mount(nullptr, native.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) !=
        0) {
        error_ = lastError("read-only remount");
    }
}

ReadOnlyPath::~ReadOnlyPath() {
    if (mounted_) {
        umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
    } else if (geteuid() != 0) {
        QFile::setPermissions(path_, permissions_);
    }
}

TinyDisk::TinyDisk(const QString& folder, const char* size)
    : folder_(folder), error_(cannotMount()) {
    if (error_.isEmpty() && mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                                  (QByteArray("mode=0777,size=") + size).constData()) != 0) {
        error_ = lastError("tmpfs mount");
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
