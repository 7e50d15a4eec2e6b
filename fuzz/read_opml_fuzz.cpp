// libFuzzer target: any bytes as an OPML document. A read may fail, but
// never crash, read out of bounds, leak or allocate beyond reason; whatever
// was read must also export as OPML and Markdown.
#include "notemodel.h"
#include "outliner.h"

#include <stdio.h>
#include <string.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FILE* sink = fopen("/dev/null", "wb");
    NoteList list;
    memset(&list, 0, sizeof list);
    initList(&list);
    setTitle(&list, kDefaultTitle);
    CategoryList categories = {};
    MemoryBytes bytes = {data, size, 0};
    XmlSource source = {&bytes, readMemoryBytes};
    XmlProblem problem;
    readOpml(&source, &list, &categories, &problem);
    if (sink) {
        writeOpml(&list, sink);
        writeMarkdown(&list, sink);
    }
    clearList(&list);
    clearCategories(&categories);
    return 0;
}
