// libFuzzer target: any bytes as a note file. A load may fail, but never
// crash, read out of bounds, leak or allocate beyond the input's size.
#include "notefile.h"
#include "notemodel.h"
#include "viewplan.h"

#include <string.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    NoteList list;
    memset(&list, 0, sizeof list);
    initList(&list);
    setTitle(&list, kDefaultTitle);
    ViewOptions options;
    memset(&options, 0, sizeof options);
    CategoryList categories = {};
    LoadReport report;
    readNoteBytes(&list, data, size, &options, &categories, &report);
    // Whatever loaded must also lay out as a tree.
    ViewPlan plan;
    if (planDefaultView(&list, options.hideChecked, &plan))
        freeViewPlan(&plan);
    clearList(&list);
    clearCategories(&categories);
    return 0;
}
