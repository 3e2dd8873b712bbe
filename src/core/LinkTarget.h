#pragma once

#include <QString>

#include "LinkKinds.h"

class EditorDocument;

// The single-link editor as the startup wizard and the startup sequence fill it.
class LinkTarget {
public:
    LinkTarget() = default;
    virtual ~LinkTarget() = default;
    Q_DISABLE_COPY_MOVE(LinkTarget)

    // Sets the address box's text; a real change marks the link changed.
    virtual void setAddress(const QString& text) = 0;
    virtual void setLinkKind(LinkKind kind) = 0;
    virtual EditorDocument& document() = 0;
    // Reads `path` as File > Open does; false (after saying why) when nothing was read.
    virtual bool openFile(const QString& path) = 0;
};
