#pragma once

#include <QString>

// A tmpfs of `size` ("64k") mounted on an existing folder, for a disk that a test can fill.
// Only as root, inside a mount namespace of the process's own (enterPrivateMounts), so that
// nobody else sees it; unmounted when the object goes.
class TinyDisk {
public:
    // Call at the start of main, before any thread starts. Returns why the process could
    // not have mounts of its own, else empty.
    static QString enterPrivateMounts();

    TinyDisk(const QString& folder, const char* size);
    ~TinyDisk();
    TinyDisk(const TinyDisk&) = delete;
    TinyDisk& operator=(const TinyDisk&) = delete;

    // Empty when the disk is mounted, else the reason it is not.
    QString error() const { return error_; }
    // Fills what room is left with a file of its own; true when the disk is full.
    bool fill() const;

private:
    QString folder_;
    QString error_;
};
