#include "HelpMenu.h"

#include "AppState.h"
#include "Shell.h"
#include "WebPages.h"

namespace HelpMenu {

void helpItem(AppState& state, QWidget* window, int index, bool aboutModal) {
    switch (index) {
        case 0:
            if (state.showHelpContent) {
                state.showHelpContent();
            }
            break;
        case 1:
            state.shell.open(WebPages::feedback());
            break;
        case 2:
            state.shell.open(WebPages::technicalSupport());
            break;
        case 5:
            if (state.showAbout) {
                state.showAbout(window, aboutModal);
            }
            break;
        default:
            break;
    }
}

void onWebItem(AppState& state, int index) {
    if (index == 0) {
        state.shell.open(WebPages::productHome());
    } else if (index == 1) {
        state.shell.open(WebPages::makerHome());
    }
}

}  // namespace HelpMenu
