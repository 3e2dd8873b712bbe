#pragma once

#include <QString>

// Opens an address or a file in the program the desktop associates with it.
class Shell {
public:
    virtual ~Shell() = default;
    // Returns false when the desktop could not hand the address to any program.
    virtual bool open(const QString& address) = 0;
};
