#pragma once

class AppState;
class QWidget;

// The Help menu both editors share: mnuHelp 0 contents, 1 feedback, 2 technical support,
// 5 about; mnuOnWeb 0 product home page, 1 maker home page. Other indices do nothing.
namespace HelpMenu {
void helpItem(AppState& state, QWidget* window, int index, bool aboutModal);
void onWebItem(AppState& state, int index);
}  // namespace HelpMenu
