#pragma once

#include <QString>

// Browse hands the address to the desktop, which would start a program named by it. The
// path of the local program that `link` names (an executable by its mode, an ELF or "#!"
// file, a desktop launcher by its suffix or content, a Windows program by its suffix), or
// the empty text when it names none (a web address, a document, a folder, a missing file).
QString localProgramPath(const QString& link);
