#include "FileSteps.h"
#include "MemoryFileSteps.h"

namespace relicwright {

// A web page has no file system of its own: the files it reads and writes live in its memory.
FileSteps& platformFileSteps() {
    static MemoryFileSteps steps;
    return steps;
}

std::string_view pathSeparators() {
    return "/";
}

} // namespace relicwright
