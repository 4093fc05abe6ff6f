#include "core/storage/FileCalls.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace vorkel {
namespace {

int openFolderCall(const char* path, int flags) {
    return ::open(path, flags);
}

}  // namespace

FileCalls realFileCalls() {
    return FileCalls{::mkostemp, ::write, ::fsync, ::close, ::link, ::rename, openFolderCall};
}

FileCalls& fileCalls() {
    static FileCalls calls = realFileCalls();
    return calls;
}

}  // namespace vorkel
