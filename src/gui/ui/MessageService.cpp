#include "gui/ui/MessageService.h"

namespace vorkel::gui {

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
