#pragma once

#include <QString>

namespace vorkel::gui {

/// Gives a new widget its object name in the expression that makes it: the tests and the
/// window's own lookups find controls by these names.
template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace vorkel::gui
