#include "fileio.h"

static const FileOps* gFileOps = nullptr;

const FileOps* currentFileOps() {
    return gFileOps ? gFileOps : platformFileOps();
}

void setFileOps(const FileOps* ops) {
    gFileOps = ops;
}

size_t pathLength(const PathChar* path) {
    size_t n = 0;
    while (path[n] != 0)
        ++n;
    return n;
}
