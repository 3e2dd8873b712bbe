#pragma once

class QWidget;

// Places a dialog in the middle of the screen it is on (or the primary screen): left =
// (screen width - window width) / 2, top = (screen height - window height) / 2. The window's
// size is settled first, so the frame ends up centred as the user sees it.
void centreOnScreen(QWidget* window);
