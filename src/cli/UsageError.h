#pragma once

#include "core/Error.h"

namespace vorkel::cli {

/// A command line the tool cannot act on (unknown command or option, a missing or malformed
/// argument, unusable typed input); the tool ends with exit code 2.
class UsageError : public Error {
public:
    using Error::Error;
};

}  // namespace vorkel::cli
