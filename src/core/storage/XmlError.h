#pragma once

#include <cstddef>
#include <string>

#include "core/Error.h"

namespace vorkel {

/// A buffer that is not a well-formed XML 1.0 document. what() reads
/// "The document is not well-formed XML (byte <offset>: <reason>)."
class XmlError : public Error {
public:
    XmlError(std::size_t offset, const std::string& reason);
    std::size_t offset() const { return m_offset; }
    const std::string& reason() const { return m_reason; }

private:
    std::size_t m_offset;
    std::string m_reason;
};

}  // namespace vorkel
