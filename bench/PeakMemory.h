#pragma once

#include <cstddef>
#include <string>

namespace vorkel::bench {

/// The command-line switch that makes vorkel-bench the child of measureOpenPeak.
inline constexpr const char* kOpenPeakSwitch = "--open-peak-child";

/// Memory of one open, in bytes above what the process held before it began. "Peak" figures are
/// the high-water mark of the resident set up to the end of that step.
struct OpenMemory {
    std::size_t peakAfterDecrypt = 0;  // file read and deciphered
    std::size_t peakAfterParse = 0;    // entries parsed
    std::size_t peakOpen = 0;          // entry list built: the whole open
    std::size_t heldOpen = 0;          // resident once the open is done
    std::size_t peakLoad = 0;          // and the rows shown and sorted A to Z, as the program does
    std::size_t heldLoad = 0;
};

/// Opens the store at `path` in a fresh process (this executable run with kOpenPeakSwitch), so
/// nothing this process allocated earlier is counted or reused, and returns its figures.
OpenMemory measureOpenPeak(const std::string& path);

/// The child's side: opens `path` step by step, measuring after each, and prints the figures
/// to standard output. Returns the exit status.
int runOpenPeakChild(const char* path);

}  // namespace vorkel::bench
