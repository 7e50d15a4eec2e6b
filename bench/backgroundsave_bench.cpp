// Times the save when Twigmark goes to the background (the main window
// deactivated in favour of another program) against the save at close, on
// the real main window under Wine, for documents of 10k and 100k items with
// a typed note and ticked boxes. Prints figures; asserts nothing about time.
#include "bench_window.h"
#include "docsave.h"
#include "notemodel.h"
#include "program.h"
#include "treefill.h"
#include "widetext.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

namespace {

// Each item under a random earlier one or at the top, a note on every
// third.
void makeDocument(int n) {
    beginBenchDocument();
    NoteItem** made = new NoteItem*[(size_t)n];
    NoteItem item;
    for (int i = 0; i < n; ++i) {
        memset(&item, 0, sizeof item);
        char text[32];
        randomName(text, sizeof text, i);
        copyAsciiField(item.name, kNameChars, text);
        item.id = (uint32_t)i + 1;
        item.icon = 4;
        item.checkState = kUnchecked;
        item.taskTimeUnit = -1;
        item.level = 1;
        uint32_t up = i ? nextRandom() % (uint32_t)(i + 1) : 0;
        if (up < (uint32_t)i) {
            item.parentId = made[up]->id;
            item.level = made[up]->level + 1;
        }
        static const WideChar kNote[] = {'a', ' ', 'n', 'o', 't', 'e', 0};
        made[i] = appendLoaded(&gList, &item, i % 3 ? nullptr : kNote);
    }
    gList.nextId = n + 1;
    delete[] made;
    fillTree(gProgram.treeView);
}

// What the user did before leaving: a tick, a typed note.
void changeSomething() {
    HWND tree = gProgram.treeView;
    HTREEITEM first = TreeView_GetChild(tree, TreeView_GetRoot(tree));
    TreeView_SelectItem(tree, first);
    SendMessageW(tree, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(gProgram.notePane, EM_REPLACESEL, TRUE, (LPARAM)L" typed");
    gProgram.documentChanged = 1;
}

double atClose() {
    changeSomething();
    double start = nowMs();
    int saved = saveKeepingDamaged(gProgram.treeView, gProgram.notePath, &gProgram.notePathDamaged);
    double spent = nowMs() - start;
    if (!saved)
        printf("the save at close failed\n");
    return spent;
}

double inBackground() {
    changeSomething();
    double start = nowMs();
    SendMessageW(gProgram.mainWindow, WM_ACTIVATE, WA_INACTIVE, 0);
    double spent = nowMs() - start;
    if (gProgram.documentChanged)
        printf("the background save failed\n");
    return spent;
}

// Unchanged: the deactivation writes nothing.
double unchanged() {
    double start = nowMs();
    SendMessageW(gProgram.mainWindow, WM_ACTIVATE, WA_INACTIVE, 0);
    return nowMs() - start;
}

} // namespace

int main() {
    if (!startBenchWindow(L"twigmark-background-bench.twk"))
        return 1;
    printf("%-36s %10s %10s\n", "save", "10k ms", "100k ms");
    const int sizes[2] = {10000, 100000};
    double best[3][2] = {};
    for (int s = 0; s < 2; ++s) {
        makeDocument(sizes[s]);
        // The machine is shared: each figure is the best of five runs.
        for (int rep = 0; rep < 5; ++rep) {
            double figures[3] = {atClose(), inBackground(), unchanged()};
            for (int k = 0; k < 3; ++k)
                if (rep == 0 || figures[k] < best[k][s])
                    best[k][s] = figures[k];
        }
    }
    const char* names[3] = {"at close (saveKeepingDamaged)", "background (WM_ACTIVATE)",
                            "background, nothing changed"};
    for (int k = 0; k < 3; ++k)
        printf("%-36s %10.1f %10.1f\n", names[k], best[k][0], best[k][1]);
    endBenchWindow();
    return 0;
}
