#include "AppState.h"

#include "LinkDocument.h"

void AppState::addEditorWindow(QWidget* window, LinkDocument* document) {
    editors_.append({window, document});
}

QList<QWidget*> AppState::editorWindows() const {
    QList<QWidget*> windows;
    for (const Entry& entry : editors_) {
        if (entry.window) {
            windows.append(entry.window);
        }
    }
    return windows;
}

bool AppState::settleAllBeforeExit() {
    // The list may change while a prompt runs (a save dialog's event loop): work on a copy.
    const QList<Entry> editors = editors_;
    for (const Entry& entry : editors) {
        if (entry.window && entry.document->isLinkChanged() &&
            !entry.document->settleBeforeExit()) {
            return false;
        }
    }
    return true;
}
