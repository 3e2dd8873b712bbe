#pragma once

#include <QString>

// The program's name: the title of its message boxes, of the main editor and of the splash.
inline const QString AppTitle = QStringLiteral("Orvane Editor");
