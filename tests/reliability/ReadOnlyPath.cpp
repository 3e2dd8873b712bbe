#include "ReadOnlyPath.h"

#include <QFile>
#include <QFileInfo>
#include <QDir>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace {

bool runningAsRoot() {
    return geteuid() == 0;
}

QString lastError(const char* what) {
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

QString privateMountsError = QStringLiteral("enterPrivateMounts() was not called");

}  // namespace

QString ReadOnlyPath::enterPrivateMounts() {
    if (!runningAsRoot()) {
        privateMountsError.clear();
        return {};
    }
    if (unshare(CLONE_NEWNS) != 0) {
        privateMountsError = lastError("unshare(CLONE_NEWNS)");
    } else if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        privateMountsError = lastError("making / private");
    } else {
        privateMountsError.clear();
    }
    return privateMountsError;
}

ReadOnlyPath::ReadOnlyPath(const QString& path) : path_(path) {
    if (!runningAsRoot()) {
        permissions_ = QFile::permissions(path);
        const QFileDevice::Permissions writeBits =
            QFileDevice::WriteOwner | QFileDevice::WriteUser | QFileDevice::WriteGroup |
            QFileDevice::WriteOther;
        if (!QFile::setPermissions(path, permissions_ & ~writeBits)) {
            error_ = QStringLiteral("cannot clear the write permission of ") + path;
        }
        return;
    }
    if (!privateMountsError.isEmpty()) {
        error_ = privateMountsError;
        return;
    }
    const QByteArray native = QFile::encodeName(path);
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
    } else if (!runningAsRoot()) {
        QFile::setPermissions(path_, permissions_);
    }
}

TinyDisk::TinyDisk(const QString& folder, const char* size) : folder_(folder) {
    if (!runningAsRoot()) {
        error_ = QStringLiteral("mounting a tmpfs needs root");
    } else if (!privateMountsError.isEmpty()) {
        error_ = privateMountsError;
    } else if (mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
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
