#pragma once

#include <QFileDevice>
#include <QString>

// Makes a file or folder read-only for this process in a way that bites even for root,
// which ignores permission bits: as root, the path is bind-mounted read-only onto itself
// inside a mount namespace of the process's own; otherwise its permission bits are cleared.
// Undone when the object goes, so the temporary folder can be removed.
class ReadOnlyPath {
public:
    // As root: gives the process its own mount namespace, so that the mounts it makes are
    // seen by nobody else and vanish with it. Call at the start of main, before any thread
    // starts. Returns the reason when that is not possible.
    static QString enterPrivateMounts();

    explicit ReadOnlyPath(const QString& path);
    ~ReadOnlyPath();
    ReadOnlyPath(const ReadOnlyPath&) = delete;
    ReadOnlyPath& operator=(const ReadOnlyPath&) = delete;

    // Empty when the path is read-only now, else the reason it could not be made so.
    QString error() const { return error_; }

private:
    QString path_;
    QString error_;
    bool mounted_ = false;
    QFileDevice::Permissions permissions_;
};

// A tmpfs of `size` ("64k") mounted on an existing folder, for a disk that a test can fill:
// only as root, inside the private mounts. Unmounted when the object goes.
class TinyDisk {
public:
    TinyDisk(const QString& folder, const char* size);
    ~TinyDisk();
    TinyDisk(const TinyDisk&) = delete;
    TinyDisk& operator=(const TinyDisk&) = delete;

    QString error() const { return error_; }
    // Fills what room is left with a file of its own; true when the disk is full.
    bool fill() const;

private:
    QString folder_;
    QString error_;
};
