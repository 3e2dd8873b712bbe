#pragma once

#include <QStringList>

#include "Shell.h"

// Records every address it is asked to open; answers with `result`.
class RecordingShell final : public Shell {
public:
    bool open(const QString& address) override {
        opened.append(address);
        return result;
    }
    QStringList opened;
    bool result = true;
};
