#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace vorkel::gui {

// The core speaks UTF-8 std::string, Qt speaks QString; these are the only crossings.

/// A core text as a QString.
inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

/// A QString as the core's UTF-8 text.
inline std::string toStdString(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

}  // namespace vorkel::gui
