#pragma once

#include <QString>
#include <QStringList>

// The desktop's system-information program on systems without MSINFO32: the first of a
// short list of well-known tools that is installed.
namespace SystemInfoTool {

// The programs looked for, in order of preference.
const QStringList& programNames();

// The full path of the first program of programNames() found as an executable file in the
// folders of `pathVariable` (a PATH-style list separated by ':' or, on Windows, ';');
// empty when none is there.
QString find(const QString& pathVariable);

}  // namespace SystemInfoTool
