#include "core/storage/XmlError.h"

namespace vorkel {

XmlError::XmlError(std::size_t offset, const std::string& reason)
    : Error("The document is not well-formed XML (byte " + std::to_string(offset) + ": " + reason +
            ")."),
      m_offset(offset),
      m_reason(reason) {}

}  // namespace vorkel
