#pragma once

class AppState;

// Plugs the dialogs into the shared state's hand-overs: showOptions, prepareOptions,
// showWizard, showTip, showHelpContent and showAbout. Each window is made on use and
// destroyed when it closes.
void installDialogHooks(AppState& state);
