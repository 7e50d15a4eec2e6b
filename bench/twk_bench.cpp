// Times twk's exports and its OPML import at 100,000 items against twk json
// on the same document: each command whole, loading included, best of five.
// Prints figures; asserts nothing.
#include "notefile.h"
#include "notemodel.h"
#include "outliner.h"
#include "twk_commands.h"

#include <chrono>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <unistd.h>
#include <vector>

static void buildDocument(NoteList* list, int items) {
    initList(list);
    setTitle(list, u"Benchmark & <friends>");
    unsigned seed = 12345;
    std::u16string note;
    for (int i = 0; i < items; ++i) {
        NoteItem item;
        memset(&item, 0, sizeof item);
        const char16_t name[] = u"Item \"quoted\" & <tagged> \U0001F333";
        memcpy(item.name, name, sizeof name);
        // Every seventh item at the top, the others under it or a sibling's child.
        item.level = i % 7 == 0 ? 1 : i % 7 < 4 ? 2 : 3;
        item.parentId = item.level == 1 ? 0 : (uint32_t)(i - i % 7 + (item.level == 3 ? 2 : 1));
        item.checkState = i % 3 ? kUnchecked : kChecked;
        item.icon = (uint16_t)(4 + i % 16);
        item.priority = (uint16_t)(i % 10);
        item.taskTimeUnit = -1;
        if (i % 2)
            memcpy(item.category, u"Work", 10);
        if (i % 5 == 0)
            item.dueDate = {
                2026, 12, (uint16_t)dayOfWeek(2026, 12, 1 + i % 28), (uint16_t)(1 + i % 28), 0, 0,
                0,    0};
        seed = seed * 1103515245u + 12345u;
        size_t length = (seed >> 16) % 4 == 0 ? 0 : (seed >> 16) % 600; // a quarter without
        note.assign(length, (char16_t)(u'a' + i % 26));
        if (length > 20)
            note.replace(10, 4, u"\r\n&<");
        item.note = copyNote(note.data(), note.size());
        appendNew(list, &item);
    }
}

static double timeCommand(std::vector<std::string> args, FILE* sink, int rounds) {
    double best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(&a[0]);
        auto start = std::chrono::steady_clock::now();
        int status = twkMain((int)argv.size(), argv.data(), sink, stderr);
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (status != kTwkOk)
            fprintf(stderr, "twk %s failed with %d\n", args[1].c_str(), status);
        if (s < best)
            best = s;
        if (args[1] == "convert")
            unlink(args[3].c_str());
    }
    return best;
}

int main(int argc, char** argv) {
    int items = argc > 1 ? atoi(argv[1]) : 100000;
    int rounds = 5;
    char folder[] = "/tmp/twigmark-twk-bench-XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    std::string twkPath = std::string(folder) + "/bench.twk";
    std::string opmlPath = std::string(folder) + "/bench.opml";
    std::string backPath = std::string(folder) + "/back.twk";

    NoteList list;
    memset(&list, 0, sizeof list);
    buildDocument(&list, items);
    ViewOptions options = {0, 0, 0, 0, 1};
    FILE* opml = fopen(opmlPath.c_str(), "wb");
    FILE* sink = fopen("/dev/null", "wb");
    if (!writeNoteFile(&list, twkPath.c_str(), &options) || !opml || !sink ||
        !writeOpml(&list, opml).ok) {
        fprintf(stderr, "cannot write the benchmark files in %s\n", folder);
        return 1;
    }
    fclose(opml);
    clearList(&list);

    double json = timeCommand({"twk", "json", twkPath}, sink, rounds);
    double toOpml = timeCommand({"twk", "opml", twkPath}, sink, rounds);
    double toMarkdown = timeCommand({"twk", "markdown", twkPath}, sink, rounds);
    double fromOpml = timeCommand({"twk", "convert", opmlPath, backPath}, sink, rounds);
    printf("%d items, best of %d\n", items, rounds);
    printf("  twk json               %8.1f ms\n", json * 1000);
    printf("  twk opml               %8.1f ms  (%.2f x json)\n", toOpml * 1000, toOpml / json);
    printf("  twk markdown           %8.1f ms  (%.2f x json)\n", toMarkdown * 1000,
           toMarkdown / json);
    printf("  twk convert from OPML  %8.1f ms  (%.2f x json)\n", fromOpml * 1000, fromOpml / json);
    unlink(twkPath.c_str());
    unlink(opmlPath.c_str());
    rmdir(folder);
    fclose(sink);
    return 0;
}
