#pragma once

#include <QString>

// Turns a "Description|*.ext|Description|*.a;*.b" filter into Qt's
// "Description (*.ext);;Description (*.a *.b)" form.
QString toQtNameFilter(const QString& filter);
