#pragma once

#include <QString>

// Browse hands the address to the desktop, which would start a program named by it. The
// path of the local executable file or desktop launcher that `link` names, or the empty
// text when it names none (a web address, a document, a folder, a missing file).
QString localProgramPath(const QString& link);
