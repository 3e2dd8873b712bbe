#pragma once

#include <QFileDevice>
#include <QString>

// Paths made read-only, and disks made full, in ways that bite even for root. As root, the
// mounts are made inside a mount namespace of the process's own (enterPrivateMounts), seen
// by nobody else and gone with it; otherwise permission bits stand in for a read-only mount,
// and there is no full disk. Each is undone when its object goes.
class ReadOnlyPath {
public:
    // Call at the start of main, before any thread starts. Returns why the process could
    // not have mounts of its own (as root), else empty.
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

// A tmpfs of `size` ("64k") mounted on an existing folder, for a disk that a test can fill.
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
