#pragma once

#include "Shell.h"

// The real shell: QDesktopServices (xdg-open on Linux, ShellExecute on Windows).
class DesktopShell final : public Shell {
public:
    bool open(const QString& address) override;
};
