#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Writing files so that a save reported done is on disk, whole, with the file's owner,
// group and mode as they were, and so that a failed save says why and loses nothing. Used
// by the link files, the recent list and the settings file. POSIX only.
namespace SafeWrite {

// Replaces the content of `path` (after following symbolic links) with `bytes`. Refuses
// anything that is not a regular file. The new content goes to a fresh file beside the old
// one, synced, given the old file's owner, group and mode, and renamed over it; where that
// cannot be done (a folder this process may not write, a file it may not give away), the
// file is written in place, its room reserved first so that a full disk leaves it as it
// was. Returns the empty text, or the reason ("no space left on device").
QString replaceFile(const QString& path, const QByteArray& bytes);

// Appends the bytes `line(tail)` makes from the last (up to four) bytes of the file, whole
// or not at all: a write that fails part-way is cut off again. Creates a missing file.
// Appenders that use this routine take turns. Returns the empty text or the reason.
QString appendWhole(const QString& path, const std::function<QByteArray(const QByteArray&)>& line);

// Why writing `path` failed, explained from what is on disk ("the folder \"/x\" is
// read-only"); `errorNumber` is the system's error, used when nothing better is known.
QString failureReason(const QString& path, int errorNumber);

// Refuses a path that exists and is not a regular file (after following links): "it is a
// folder", "it is not a regular file". Empty when the path may be written.
QString typeRefusal(const QString& path);

// The system's text for an error number, as the end of a sentence: "no space left on device".
QString errorText(int errorNumber);

}  // namespace SafeWrite
