// Times the save when Twigmark goes to the background (the main window
// deactivated in favour of another program) against the save at close, on
// the real main window under Wine, for documents of 10k and 100k items with
// a typed note and ticked boxes (and 1k). The tree view's part of a save,
// reading the boxes back into the items, is timed on its own beside its
// floor: the bare tree view reading the one node that was ticked and
// selected. Prints figures; asserts nothing about time.
#include "bench_window.h"
#include "docsave.h"
#include "document_builder.h"
#include "floor.h"
#include "notemodel.h"
#include "program.h"
#include "random_items.h"
#include "treefill.h"

#include <commctrl.h>
#include <stdio.h>

#include <vector>

// Each item under a random earlier one or at the top, a note on every
// third.
static void makeDocument(int n) {
    beginBenchDocument();
    std::vector<NoteItem*> made((size_t)n);
    for (int i = 0; i < n; ++i) {
        NoteItem item = randomlyNamedItem(i);
        uint32_t up = i ? nextRandom() % (uint32_t)(i + 1) : 0;
        placeUnder(&item, up < (uint32_t)i ? made[up] : nullptr);
        made[(size_t)i] = appendWithNote(&gList, &item, i % 3 ? nullptr : "a note");
    }
    setNextId(&gList);
    fillTree(gProgram.treeView);
}

// What the user did before leaving: a tick, a typed note.
static void changeSomething() {
    HWND tree = gProgram.treeView;
    HTREEITEM first = TreeView_GetChild(tree, TreeView_GetRoot(tree));
    TreeView_SelectItem(tree, first);
    SendMessageW(tree, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(gProgram.notePane, EM_REPLACESEL, TRUE, (LPARAM)L" typed");
    gProgram.documentChanged = 1;
}

static double atClose() {
    changeSomething();
    double start = nowMs();
    int saved = saveKeepingDamaged(gProgram.treeView, gProgram.notePath, &gProgram.notePathDamaged);
    double spent = nowMs() - start;
    if (!saved)
        printf("the save at close failed\n");
    return spent;
}

static double inBackground() {
    changeSomething();
    double start = nowMs();
    SendMessageW(gProgram.mainWindow, WM_ACTIVATE, WA_INACTIVE, 0);
    double spent = nowMs() - start;
    if (gProgram.documentChanged)
        printf("the background save failed\n");
    return spent;
}

// Unchanged: the deactivation writes nothing.
static double unchanged() {
    double start = nowMs();
    SendMessageW(gProgram.mainWindow, WM_ACTIVATE, WA_INACTIVE, 0);
    return nowMs() - start;
}

// The tree view's part of a save after a tick: every box that may have
// changed read back into its item.
static double treePart() {
    changeSomething();
    double start = nowMs();
    refreshCheckStates(gProgram.treeView, TreeView_GetRoot(gProgram.treeView));
    return nowMs() - start;
}

// Its floor: the ticked node, which is the selected one, read for the
// pane's item and for its box.
static double floorTreePart() {
    HWND tree = floorTree();
    HTREEITEM node = TreeView_GetChild(tree, floorRoot());
    double start = nowMs();
    for (int read = 0; read < 2; ++read) {
        TVITEMW item = {};
        item.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE;
        item.hItem = node;
        item.stateMask = TVIS_STATEIMAGEMASK;
        TreeView_GetItem(tree, &item);
    }
    return nowMs() - start;
}

int main(int argc, char** argv) {
    if (!startBenchWindow(L"twigmark-background-bench.twk"))
        return 1;
    int sizes[3];
    int sizeCount = benchSizes(argc, argv, sizes);
    floorTree();
    Figure best[4][3] = {};
    for (int s = 0; s < sizeCount; ++s) {
        makeDocument(sizes[s]);
        std::vector<int32_t> parents, rank;
        viewShape(&parents, &rank);
        floorClear();
        floorFill(parents, rank);
        // The machine is shared: each figure is the best of several runs.
        for (int run = 0; run < runsFor(sizes[s]); ++run) {
            keepBest(&best[0][s], atClose(), -1, run);
            keepBest(&best[1][s], inBackground(), -1, run);
            keepBest(&best[2][s], unchanged(), -1, run);
            double ms = treePart();
            keepBest(&best[3][s], ms, floorTreePart(), run);
        }
    }
    const char* names[4] = {"at close (saveKeepingDamaged)", "background (WM_ACTIVATE)",
                            "background, nothing changed", "  of a save: the boxes read back"};
    printFigureHeader("save", sizes, sizeCount);
    for (int k = 0; k < 4; ++k)
        printFigures(names[k], best[k], sizeCount, "");
    endBenchWindow();
    return 0;
}
