#include "SafeWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "TextFileIo.h"

namespace SafeWrite {

namespace {

// A descriptor closed on every way out.
struct Fd {
    int fd = -1;
    Fd() = default;
    explicit Fd(int f) : fd(f) {}
    ~Fd() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    // Closes now, so that a failing close (a delayed write error) is seen.
    bool close() {
        const int f = fd;
        fd = -1;
        return ::close(f) == 0;
    }
};

// Writes every byte, at `offset` or at the file's end (offset < 0); false with errno set.
bool writeAll(int fd, const char* data, qint64 size, qint64 offset) {
    while (size > 0) {
        const size_t chunk = size_t(qMin<qint64>(size, qint64(1) << 30));
        const ssize_t done =
            offset < 0 ? ::write(fd, data, chunk) : ::pwrite(fd, data, chunk, offset);
        if (done < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (done == 0) {
            errno = ENOSPC;
            return false;
        }
        data += done;
        size -= done;
        offset = offset < 0 ? offset : offset + done;
    }
    return true;
}

// Asks the file system for the room `size` more bytes at `offset` need, without changing the
// file, so that a full disk shows before a byte is written. File systems that cannot say
// are trusted.
bool reserve(int fd, qint64 offset, qint64 size) {
    if (size <= 0 || ::fallocate(fd, FALLOC_FL_KEEP_SIZE, offset, size) == 0) {
        return true;
    }
    return errno == EOPNOTSUPP || errno == ENOSYS || errno == EINVAL;
}

// The file `path` names, its links followed, even when the last one leads nowhere yet.
QString finalPath(const QString& path) {
    QFileInfo info(path);
    for (int hops = 0; info.isSymLink() && hops < 40; ++hops) {
        info.setFile(info.symLinkTarget());
    }
    return info.absoluteFilePath();
}

// Opens an existing file for writing without waiting on a pipe, and makes sure it is a
// regular file. -1 with `error` set, or with `refusal` set for another kind of file.
int openRegular(const QByteArray& native, int flags, int& error, QString& refusal) {
    const int fd = ::open(native.constData(), flags | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = errno;
        refusal = QStringLiteral("it is not a regular file");
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

enum class Outcome { Done, Failed, InPlace };

// A name beside the target that nothing holds yet is found by trying.
QByteArray randomSuffix() {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray suffix(".");
    for (int i = 0; i < 6; ++i) {
        suffix += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    }
    return suffix;
}

// The new content in a file of its own beside the target, renamed over it once whole.
// InPlace when this process may create or hand over no such file but the old one may do.
Outcome viaNewFile(const QByteArray& folder, const QByteArray& name, const struct stat* old,
                   const QByteArray& bytes, int& error) {
    Fd dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd < 0) {
        error = errno;
        return Outcome::Failed;
    }
    // A file without a name until it is whole: a kill leaves nothing behind.
    Fd file(::openat(dir.fd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    QByteArray tempName;
    if (file.fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        for (int tries = 0; file.fd < 0 && tries < 100; ++tries) {
            tempName = name + randomSuffix();
            file.fd = ::openat(dir.fd, tempName.constData(),
                               O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (file.fd < 0 && errno != EEXIST) {
                break;
            }
        }
    }
    const bool inPlacePossible = old != nullptr;
    if (file.fd < 0) {
        error = errno;
        return inPlacePossible && (error == EACCES || error == EPERM) ? Outcome::InPlace
                                                                      : Outcome::Failed;
    }
    auto fail = [&](bool inPlaceWillDo) {
        error = errno;
        if (!tempName.isEmpty()) {
            ::unlinkat(dir.fd, tempName.constData(), 0);
        }
        return inPlacePossible && inPlaceWillDo && (error == EPERM || error == EACCES)
                   ? Outcome::InPlace
                   : Outcome::Failed;
    };
    // The owner first: a change of owner clears the set-id bits the mode then restores.
    if (old && (::fchown(file.fd, old->st_uid, old->st_gid) != 0 ||
                ::fchmod(file.fd, old->st_mode & 07777) != 0)) {
        return fail(true);
    }
    if (!writeAll(file.fd, bytes.constData(), bytes.size(), -1) || ::fsync(file.fd) != 0) {
        return fail(false);
    }
    if (tempName.isEmpty()) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(file.fd);
        int linked = -1;
        for (int tries = 0; linked != 0 && tries < 100; ++tries) {
            tempName = name + randomSuffix();
            linked = ::linkat(AT_FDCWD, self.constData(), dir.fd, tempName.constData(),
                              AT_SYMLINK_FOLLOW);
            if (linked != 0 && errno != EEXIST) {
                tempName.clear();
                return fail(false);
            }
        }
    }
    if (!file.close()) {
        return fail(false);
    }
    // In a shared folder with the sticky bit, only a file's owner may replace it.
    if (::renameat(dir.fd, tempName.constData(), dir.fd, name.constData()) != 0) {
        return fail(true);
    }
    // The new name is on disk too; a folder that cannot be synced has nothing to sync.
    if (::fsync(dir.fd) != 0 && errno != EINVAL && errno != EROFS) {
        error = errno;
        return Outcome::Failed;
    }
    return Outcome::Done;
}

// Writes over the old content: room for the new one is reserved first, so that only a
// fault of the machine mid-write can leave a mix.
bool inPlace(const QByteArray& native, const QByteArray& bytes, int& error, QString& refusal) {
    Fd file(openRegular(native, O_WRONLY, error, refusal));
    if (file.fd < 0) {
        return false;
    }
    if (!reserve(file.fd, 0, bytes.size()) ||
        !writeAll(file.fd, bytes.constData(), bytes.size(), 0) ||
        ::ftruncate(file.fd, bytes.size()) != 0 || ::fsync(file.fd) != 0 || !file.close()) {
        error = errno;
        return false;
    }
    return true;
}

}  // namespace

QString errorText(int errorNumber) {
    return TextFileIo::reasonFromErrorString(QString::fromLocal8Bit(std::strerror(errorNumber)));
}

QString typeRefusal(const QString& path) {
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return QString();
    }
    if (S_ISDIR(st.st_mode)) {
        return QStringLiteral("it is a folder");
    }
    if (!S_ISREG(st.st_mode)) {
        return QStringLiteral("it is not a regular file");
    }
    return QString();
}

QString failureReason(const QString& path, int errorNumber) {
    if (path.isEmpty()) {
        return QStringLiteral("no file name was given");
    }
    // Only a refused or missing path is better told from what is on disk.
    const bool fromDisk = errorNumber == EACCES || errorNumber == EPERM || errorNumber == EROFS ||
                          errorNumber == ENOENT || errorNumber == ENOTDIR || errorNumber == EISDIR;
    if (!fromDisk) {
        return errorText(errorNumber);
    }
    const QFileInfo info(path);
    if (info.isDir()) {
        return QStringLiteral("it is a folder");
    }
    const QFileInfo folder(info.absolutePath());
    const QString folderName = QDir::toNativeSeparators(folder.absoluteFilePath());
    if (!folder.exists()) {
        return QStringLiteral("the folder \"%1\" does not exist").arg(folderName);
    }
    if (!folder.isDir()) {
        return QStringLiteral("\"%1\" is not a folder").arg(folderName);
    }
    if (info.exists() && !info.isWritable()) {
        return QStringLiteral("it is read-only");
    }
    if (!folder.isWritable()) {
        return QStringLiteral("the folder \"%1\" is read-only").arg(folderName);
    }
    return errorText(errorNumber);
}

QString replaceFile(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty()) {
        return failureReason(path, 0);
    }
    const QString target = finalPath(path);
    QString refusal = typeRefusal(target);
    if (!refusal.isEmpty()) {
        return refusal;
    }
    const QByteArray native = QFile::encodeName(target);
    struct stat old;
    const bool exists = ::stat(native.constData(), &old) == 0;
    int error = 0;
    if (exists && ::access(native.constData(), W_OK) != 0) {
        return failureReason(target, errno);
    }
    const QFileInfo info(target);
    switch (viaNewFile(QFile::encodeName(info.absolutePath()), QFile::encodeName(info.fileName()),
                       exists ? &old : nullptr, bytes, error)) {
        case Outcome::Done:
            return QString();
        case Outcome::InPlace:
            if (inPlace(native, bytes, error, refusal)) {
                return QString();
            }
            break;
        case Outcome::Failed:
            break;
    }
    return refusal.isEmpty() ? failureReason(target, error) : refusal;
}

QString appendWhole(const QString& path, const std::function<QByteArray(const QByteArray&)>& line) {
    if (path.isEmpty()) {
        return failureReason(path, 0);
    }
    const QString target = finalPath(path);
    QString refusal = typeRefusal(target);
    if (!refusal.isEmpty()) {
        return refusal;
    }
    const QByteArray native = QFile::encodeName(target);
    const bool created = !QFileInfo::exists(target);
    int error = 0;
    Fd file(openRegular(native, O_RDWR | O_APPEND | O_CREAT, error, refusal));
    if (file.fd < 0) {
        return refusal.isEmpty() ? failureReason(target, error) : refusal;
    }
    // Two windows (or two copies of the program) adding at once take turns.
    while (::flock(file.fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    struct stat st;
    if (::fstat(file.fd, &st) != 0) {
        return errorText(errno);
    }
    const qint64 size = st.st_size;
    QByteArray tail(qMin<qint64>(size, 4), '\0');
    if (::pread(file.fd, tail.data(), size_t(tail.size()), size - tail.size()) != tail.size()) {
        return errorText(errno ? errno : EIO);
    }
    const QByteArray bytes = line(tail);
    if (!reserve(file.fd, size, bytes.size())) {
        return errorText(errno);
    }
    if (!writeAll(file.fd, bytes.constData(), bytes.size(), -1) || ::fsync(file.fd) != 0) {
        error = errno;
        // No cut line may stay behind to be read as a path.
        if (::ftruncate(file.fd, size) == 0) {
            ::fsync(file.fd);
        }
        return errorText(error);
    }
    if (!file.close()) {
        return errorText(errno);
    }
    if (created) {
        Fd dir(::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(),
                      O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir.fd >= 0 && ::fsync(dir.fd) != 0 && errno != EINVAL) {
            return errorText(errno);
        }
    }
    return QString();
}

}  // namespace SafeWrite
