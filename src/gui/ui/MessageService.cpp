#include "gui/ui/MessageService.h"

#include <exception>

namespace vorkel::gui {

void MessageService::guarded(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        reportUnexpected(e.what());
    }
}

QString MessageService::caption(Kind kind) {
    switch (kind) {
        case Kind::Warning:
            return QStringLiteral("Warning");
        case Kind::Error:
            return QStringLiteral("Error");
        case Kind::Information:
            return QStringLiteral("Information");
        case Kind::Confirm:
            return QStringLiteral("Confirm");
    }
    return {};
}

}  // namespace vorkel::gui
