#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <unistd.h>

#include "FuzzSupport.h"

// A file in the temporary folder that belongs to this process alone, so that several
// fuzzers can run at once; removed when the run ends.
class ScratchFile {
public:
    explicit ScratchFile(const char* name)
        : path_(QDir::temp().filePath(
              QStringLiteral("orvane-fuzz-%1-%2").arg(::getpid()).arg(QLatin1String(name)))) {}
    ~ScratchFile() { QFile::remove(path_); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const QString& path() const { return path_; }

    void put(const QByteArray& bytes) const {
        QFile file(path_);
        expect(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                   file.write(bytes) == bytes.size(),
               "the scratch file is written");
    }

private:
    QString path_;
};
