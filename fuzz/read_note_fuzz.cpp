// libFuzzer target: any bytes as a note file. A load may fail, but never
// crash, read out of bounds, leak or allocate beyond the input's size. The
// bytes are read twice: from memory, and as a pipe, whose size is unknown.
#include "notefile.h"
#include "notemodel.h"
#include "viewplan.h"

#include <string.h>

namespace {

// The input served as a pipe: in small pieces, with no size.
struct PipeInput {
    const uint8_t* data;
    size_t size, position;
};

} // namespace

static PipeInput gPipe;

static FileHandle* pipeOpen(const PathChar*, int) {
    gPipe.position = 0;
    return (FileHandle*)&gPipe;
}
static long pipeRead(FileHandle*, void* buffer, size_t bytes) {
    size_t n = gPipe.size - gPipe.position;
    if (n > bytes)
        n = bytes;
    if (n > 4093)
        n = 4093; // a pipe hands out what it holds, not what was asked
    memcpy(buffer, gPipe.data + gPipe.position, n);
    gPipe.position += n;
    return (long)n;
}
static int64_t pipeSize(FileHandle*) {
    return -1;
}
static void pipeClose(FileHandle*) {}

static void loadAndLayOut(const uint8_t* data, size_t size, bool asPipe) {
    NoteList list;
    memset(&list, 0, sizeof list);
    initList(&list);
    setTitle(&list, kDefaultTitle);
    ViewOptions options;
    memset(&options, 0, sizeof options);
    CategoryList categories = {};
    LoadReport report;
    if (asPipe) {
        FileOps ops = *platformFileOps();
        ops.openRead = pipeOpen;
        ops.read = pipeRead;
        ops.size = pipeSize;
        ops.close = pipeClose;
        gPipe = {data, size, 0};
        setFileOps(&ops);
        readNoteFileEx(&list, "pipe", &options, &categories, kOpenStreams, &report);
        setFileOps(nullptr);
    } else {
        readNoteBytes(&list, data, size, &options, &categories, &report);
    }
    // Whatever loaded must also lay out as a tree.
    ViewPlan plan;
    if (planDefaultView(&list, options.hideChecked, &plan))
        freeViewPlan(&plan);
    clearList(&list);
    clearCategories(&categories);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    loadAndLayOut(data, size, false);
    loadAndLayOut(data, size, true);
    return 0;
}
