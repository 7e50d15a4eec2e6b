// Times saving and loading a 100,000-item document against writing and
// reading the same bytes as one block. Prints figures; asserts nothing.
#include "notefile.h"
#include "notemodel.h"

#include <chrono>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <unistd.h>

static double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

static void buildDocument(NoteList* list, int items) {
    initList(list);
    setTitle(list, kDefaultTitle);
    unsigned seed = 12345;
    std::u16string note;
    for (int i = 0; i < items; ++i) {
        NoteItem item;
        memset(&item, 0, sizeof item);
        const char16_t name[] = u"Generated item";
        memcpy(item.name, name, sizeof name);
        item.level = i % 7 == 0 ? 1 : 2;
        item.checkState = kUnchecked;
        item.icon = (uint16_t)(4 + i % 16);
        seed = seed * 1103515245u + 12345u;
        size_t length = (seed >> 16) % 4 == 0 ? 0 : (seed >> 16) % 600; // a quarter without
        note.assign(length, (char16_t)(u'a' + i % 26));
        item.note = copyNote(note.data(), note.size());
        appendNew(list, &item);
    }
}

// 40,000 items, each with its own category or all with one: files of the
// same size, so the difference is what the category list costs.
static double loadWithCategories(const std::string& path, bool distinct, int items) {
    NoteList list;
    memset(&list, 0, sizeof list);
    initList(&list);
    for (int i = 0; i < items; ++i) {
        NoteItem item;
        memset(&item, 0, sizeof item);
        char text[16];
        snprintf(text, sizeof text, "Cat %05d", distinct ? i : 0);
        for (int k = 0; text[k]; ++k)
            item.category[k] = (WideChar)text[k];
        item.level = 1;
        appendNew(&list, &item);
    }
    ViewOptions options = {};
    if (!writeNoteFile(&list, path.c_str(), &options))
        return -1;
    clearList(&list);
    double best = 1e9;
    for (int r = 0; r < 3; ++r) {
        NoteList loaded;
        memset(&loaded, 0, sizeof loaded);
        initList(&loaded);
        CategoryList categories = {};
        auto t = std::chrono::steady_clock::now();
        readNoteFile(&loaded, path.c_str(), &options, &categories);
        best = std::min(best, seconds(t));
        if (categories.count != (distinct ? items : 1))
            best = -1;
        clearList(&loaded);
        clearCategories(&categories);
    }
    unlink(path.c_str());
    return best;
}

int main(int argc, char** argv) {
    int items = argc > 1 ? atoi(argv[1]) : 100000;
    int rounds = 5;
    char folder[] = "/tmp/twigmark-bench-XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    std::string path = std::string(folder) + "/bench.twk";
    std::string block = std::string(folder) + "/block.bin";

    NoteList list;
    memset(&list, 0, sizeof list);
    buildDocument(&list, items);
    ViewOptions options = {0, 0, 0, 0, 1};

    double bestWrite = 1e9, bestRead = 1e9, bestBlockWrite = 1e9, bestBlockRead = 1e9;
    long size = 0;
    for (int r = 0; r < rounds; ++r) {
        auto t = std::chrono::steady_clock::now();
        if (!writeNoteFile(&list, path.c_str(), &options))
            return 1;
        bestWrite = std::min(bestWrite, seconds(t));

        NoteList loaded;
        memset(&loaded, 0, sizeof loaded);
        initList(&loaded);
        CategoryList categories = {};
        ViewOptions readOptions = {};
        t = std::chrono::steady_clock::now();
        if (!readNoteFile(&loaded, path.c_str(), &readOptions, &categories))
            return 1;
        bestRead = std::min(bestRead, seconds(t));
        clearList(&loaded);
        clearCategories(&categories);

        // The same bytes as one block each way, with the same flush as a save.
        FILE* f = fopen(path.c_str(), "rb");
        fseek(f, 0, SEEK_END);
        size = ftell(f);
        fseek(f, 0, SEEK_SET);
        char* bytes = (char*)malloc((size_t)size);
        t = std::chrono::steady_clock::now();
        size_t got = fread(bytes, 1, (size_t)size, f);
        bestBlockRead = std::min(bestBlockRead, seconds(t));
        fclose(f);
        t = std::chrono::steady_clock::now();
        FILE* out = fopen(block.c_str(), "wb");
        fwrite(bytes, 1, got, out);
        fflush(out);
        fsync(fileno(out));
        fclose(out);
        bestBlockWrite = std::min(bestBlockWrite, seconds(t));
        free(bytes);
    }
    printf("document: %d items, %.1f MB\n", items, size / 1e6);
    printf("writeNoteFile %8.2f ms   one-block write %8.2f ms   ratio %.2f\n", bestWrite * 1e3,
           bestBlockWrite * 1e3, bestWrite / bestBlockWrite);
    printf("readNoteFile  %8.2f ms   one-block read  %8.2f ms   ratio %.2f\n", bestRead * 1e3,
           bestBlockRead * 1e3, bestRead / bestBlockRead);
    clearList(&list);
    const int kCategoryItems = 40000;
    double many = loadWithCategories(path, true, kCategoryItems);
    double one = loadWithCategories(path, false, kCategoryItems);
    printf("readNoteFile, %d items: %d categories %8.2f ms   one category %8.2f ms   ratio %.2f\n",
           kCategoryItems, kCategoryItems, many * 1e3, one * 1e3, many / one);
    unlink(path.c_str());
    unlink(block.c_str());
    rmdir(folder);
    return 0;
}
