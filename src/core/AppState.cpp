#include "AppState.h"

#include "AddressEditorWindow.h"
#include "AppTitle.h"
#include "Prompts.h"
#include "Shell.h"
#include "Windows.h"

namespace {

class NoWindows final : public Windows {
public:
    void showOptions(QWidget*) override {}
    void showWizard(QWidget*, LinkTarget*) override {}
    void showTip(QWidget*) override {}
    void showPlayList(bool) override {}
    void sendToPlayList(const QStringList&, const QString&) override {}
    void showHelpContent() override {}
    void showAbout(QWidget*, bool) override {}
    void startLinkTest(QWidget*, const QString&) override {}
    void endProgram() override {}
};

}  // namespace

Windows& AppState::windows() const {
    static NoWindows none;
    return windows_ != nullptr ? *windows_ : none;
}

void AppState::openAddress(QWidget* parent, const QString& address) const {
    if (!shell.open(address)) {
        prompts.message(parent,
                        QStringLiteral("The link \"%1\" could not be opened: the desktop has no "
                                       "program that opens it.")
                            .arg(address),
                        AppTitle, Prompts::Icon::Warning, Prompts::Buttons::Ok);
    }
}

void AppState::addEditorWindow(AddressEditorWindow* window) {
    editors_.append(window);
}

QList<QWidget*> AppState::editorWindows() const {
    QList<QWidget*> windows;
    for (const QPointer<AddressEditorWindow>& window : editors_) {
        if (window) {
            windows.append(window);
        }
    }
    return windows;
}

bool AppState::settleAllBeforeExit() {
    // The list may change while a prompt runs (a save dialog's event loop): work on a copy.
    const QList<QPointer<AddressEditorWindow>> editors = editors_;
    for (const QPointer<AddressEditorWindow>& window : editors) {
        if (window && window->urlChanged() && !window->settleBeforeExit()) {
            return false;
        }
    }
    return true;
}
