#pragma once

#include <stdexcept>
#include <string>

namespace vorkel {

/// A failure that abandons the command that met it; what() is the text the user sees.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A value that does not convert to the number it must hold (a counter, an option).
class ConversionError : public Error {
public:
    using Error::Error;
};

}  // namespace vorkel
