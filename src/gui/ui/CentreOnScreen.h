#pragma once

class QWidget;

/// Moves a top-level window so that its frame is centred on the available area of its owner's
/// screen (the primary screen without an owner), whatever size and state the owner has.
void centreOnScreen(QWidget& window);
