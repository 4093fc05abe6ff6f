#pragma once

class QWidget;

namespace vorkel::gui {

/// Moves a top-level window so that its frame is centred on the available area of its owner's
/// screen (the primary screen without an owner), whatever size and state the owner has.
void centreOnScreen(QWidget& window);

}  // namespace vorkel::gui
