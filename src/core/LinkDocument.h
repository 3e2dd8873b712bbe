#pragma once

// An editor window whose link may hold unsaved changes. The program asks every open one
// before it ends, so no changed link is dropped without asking.
class LinkDocument {
public:
    virtual ~LinkDocument() = default;
    virtual bool isLinkChanged() const = 0;
    // Raises the window, runs its unsaved-changes prompt (saving on Yes) and returns false
    // when the user cancelled, in which case the program must not end.
    virtual bool settleBeforeExit() = 0;
};
