// Times the commands that touch many nodes, on the real main window under
// Wine: every arrange command on one flat list of siblings, "Delete Item" on
// an item with every other item below it, "Hide Checked Items", switching
// views and "Create Copy". Documents of 10k and 100k items, flat and a deep
// and wide tree. Prints figures; asserts nothing about time.
#include "commandparts.h"
#include "commands.h"
#include "bench_window.h"
#include "notemodel.h"
#include "program.h"
#include "resource.h"
#include "sorting.h"
#include "treefill.h"
#include "widetext.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

namespace {

enum Shape { kTopLevel, kFlat, kDeepWide };

// Top level: every item directly under the root node. Otherwise item 1 is
// the only top-level item and every other item lies below it. Flat: all
// others are its direct children. Deep and wide: each hangs under a random
// earlier item, and every 100th under the one just before, so chains and
// wide lists both occur.
void makeDocument(Shape shape, int n) {
    beginBenchDocument();
    NoteItem** made = new NoteItem*[(size_t)n];
    NoteItem item;
    for (int i = 0; i < n; ++i) {
        memset(&item, 0, sizeof item);
        char text[32];
        randomName(text, sizeof text, i);
        copyAsciiField(item.name, kNameChars, text);
        item.id = (uint32_t)i + 1;
        item.icon = (uint16_t)(4 + nextRandom() % 16);
        item.checkState = nextRandom() % 5 == 0 ? kChecked : kUnchecked;
        item.priority = (uint16_t)(nextRandom() % 10);
        item.taskTimeUnit = -1;
        snprintf(text, sizeof text, "Category %u", nextRandom() % 50);
        copyAsciiField(item.category, kCategoryChars, text);
        if (nextRandom() % 3) {
            item.dueDate.year = 2024;
            item.dueDate.month = (uint16_t)(1 + nextRandom() % 12);
            item.dueDate.day = (uint16_t)(1 + nextRandom() % 28);
        }
        if (i == 0 || shape == kTopLevel) {
            item.level = 1;
        } else {
            NoteItem* parent = made[0];
            if (shape == kDeepWide)
                parent = i % 100 == 0 ? made[i - 1] : made[nextRandom() % (uint32_t)i];
            item.parentId = parent->id;
            item.level = parent->level + 1;
        }
        made[i] = appendLoaded(&gList, &item, nullptr);
    }
    gList.nextId = n + 1;
    delete[] made;
    gOptions.viewMode = kDefaultView;
    gOptions.hideChecked = 0;
    gOptions.arrangeKey = kArrangeByName;
    gOptions.ascending = 1;
    fillTree(gProgram.treeView);
}

double command(UINT id) {
    double start = nowMs();
    SendMessageW(gProgram.mainWindow, WM_COMMAND, id, 0);
    return nowMs() - start;
}

HTREEITEM topItemNode() {
    HWND tree = gProgram.treeView;
    return TreeView_GetChild(tree, TreeView_GetRoot(tree));
}

// "Delete Item" after its question: the top item and everything below it.
double deleteTop() {
    HTREEITEM top = topItemNode();
    TreeView_SelectItem(gProgram.treeView, top);
    double start = nowMs();
    deleteItemWithDescendants(gProgram.mainWindow, top, nodeItem(gProgram.treeView, top));
    return nowMs() - start;
}

// The delete question is answered as soon as it appears.
HHOOK gHook;
int gAnswer = IDYES;
LRESULT CALLBACK answerYes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE)
        PostMessageW((HWND)wParam, WM_COMMAND, (WPARAM)gAnswer, 0);
    return CallNextHookEx(gHook, code, wParam, lParam);
}

// Keeps the best figure of the runs of one row.
void keep(double* slot, double value, int rep) {
    if (rep == 0 || value < *slot)
        *slot = value;
}

struct Row {
    const char* name;
    double ms[2];
};

void printRow(const Row& row) {
    printf("%-44s %10.1f %10.1f %8.1f\n", row.name, row.ms[0], row.ms[1], row.ms[1] / row.ms[0]);
    fflush(stdout);
}

} // namespace

int main() {
    if (!startBenchWindow(L"twigmark-commands-bench.twk"))
        return 1;
    gHook = SetWindowsHookExW(WH_CBT, answerYes, nullptr, GetCurrentThreadId());
    HWND tree = gProgram.treeView;
    const int sizes[2] = {10000, 100000};
    const char* arrangeNames[5] = {"By Name", "By Priority", "By Category", "By Check Flag",
                                   "By Task/Due Date"};
    char labels[5][64], sortLabels[5][64];
    Row arrange[7], sorts[5];
    for (int k = 0; k < 5; ++k) {
        snprintf(labels[k], 64, "arrange %s (top level)", arrangeNames[k]);
        arrange[k].name = labels[k];
        snprintf(sortLabels[k], 64, "  of which sortChildren %s", arrangeNames[k]);
        sorts[k].name = sortLabels[k];
    }
    Row collapse = {"  of which collapseAll (top level)", {}};
    Row refresh = {"  of a fill: refreshCheckStates", {}};
    Row emptying = {"  of a fill: deleting every node", {}};
    Row filling = {"  of a fill: inserting every node", {}};
    arrange[5].name = "Descending (top level, by date)";
    arrange[6].name = "Ascending (top level, by date)";
    Row copyFlat = {"Create Copy, flat", {}}, copyDeep = {"Create Copy, deep and wide", {}};
    Row removeFlat = {"Delete Item, flat (all descendants)", {}};
    Row removeDeep = {"Delete Item, deep and wide (all descendants)", {}};
    Row removeNo = {"Delete Item answered No (the question alone)", {}};
    Row hide = {"Hide Checked Items on, deep and wide", {}};
    Row unhide = {"Hide Checked Items off, deep and wide", {}};
    Row views[4] = {{"switch to By Category", {}},
                    {"switch to By Due/Task Date", {}},
                    {"switch to By Priority", {}},
                    {"switch to Default View", {}}};
    const UINT viewCommands[4] = {IDM_VIEW_CATEGORY, IDM_VIEW_DATE, IDM_VIEW_PRIORITY,
                                  IDM_VIEW_DEFAULT};
    // The machine is shared: each 10k figure is the best of three runs.
    for (int s = 0; s < 2; ++s)
        for (int rep = 0; rep < (s == 0 ? 3 : 1); ++rep) {
            int n = sizes[s];
            makeDocument(kTopLevel, n);
            for (int k = 0; k < 5; ++k) {
                keep(&arrange[k].ms[s], command((UINT)(IDM_ARRANGE_FIRST + k)), rep);
                gOptions.arrangeKey = k == 0 ? kArrangeByPriority : kArrangeByName;
                sortChildren(tree, TreeView_GetRoot(tree)); // another order first
                gOptions.arrangeKey = k;
                double start = nowMs();
                sortChildren(tree, TreeView_GetRoot(tree));
                keep(&sorts[k].ms[s], nowMs() - start, rep);
            }
            double start = nowMs();
            collapseAll(tree, TreeView_GetRoot(tree));
            keep(&collapse.ms[s], nowMs() - start, rep);
            keep(&arrange[5].ms[s], command(IDM_DESCENDING), rep);
            keep(&arrange[6].ms[s], command(IDM_ASCENDING), rep);

            makeDocument(kFlat, n + 1);
            HTREEITEM top = topItemNode();
            TreeView_Expand(tree, top, TVE_EXPAND);
            TreeView_SelectItem(tree, TreeView_GetChild(tree, top));
            keep(&copyFlat.ms[s], command(IDM_CREATE_COPY), rep);
            TreeView_SelectItem(tree, top);
            gAnswer = IDNO;
            keep(&removeNo.ms[s], command(IDM_DELETE_ITEM), rep);
            keep(&removeFlat.ms[s], deleteTop(), rep);
            if (gList.count != 0)
                printf("flat delete left %d items\n", gList.count);

            makeDocument(kDeepWide, n + 1);
            top = topItemNode();
            TreeView_Expand(tree, top, TVE_EXPAND);
            TreeView_SelectItem(tree, TreeView_GetChild(tree, top));
            keep(&copyDeep.ms[s], command(IDM_CREATE_COPY), rep);
            keep(&hide.ms[s], command(IDM_HIDE_CHECKED), rep);
            keep(&unhide.ms[s], command(IDM_HIDE_CHECKED), rep);
            for (int v = 0; v < 4; ++v)
                keep(&views[v].ms[s], command(viewCommands[v]), rep);
            start = nowMs();
            refreshCheckStates(tree, TreeView_GetRoot(tree));
            keep(&refresh.ms[s], nowMs() - start, rep);
            start = nowMs();
            TreeView_DeleteAllItems(tree);
            keep(&emptying.ms[s], nowMs() - start, rep);
            start = nowMs();
            fillTree(tree);
            keep(&filling.ms[s], nowMs() - start, rep);
            TreeView_SelectItem(tree, topItemNode());
            keep(&removeDeep.ms[s], deleteTop(), rep);
            if (gList.count != 0)
                printf("deep delete left %d items\n", gList.count);
        }
    printf("%-44s %10s %10s %8s\n", "command", "10k ms", "100k ms", "ratio");
    for (int k = 0; k < 5; ++k) {
        printRow(arrange[k]);
        printRow(sorts[k]);
    }
    printRow(collapse);
    printRow(arrange[5]);
    printRow(arrange[6]);
    printRow(copyFlat);
    printRow(copyDeep);
    printRow(removeFlat);
    printRow(removeDeep);
    printRow(removeNo);
    printRow(hide);
    printRow(unhide);
    for (int v = 0; v < 4; ++v)
        printRow(views[v]);
    printRow(refresh);
    printRow(emptying);
    printRow(filling);
    UnhookWindowsHookEx(gHook);
    endBenchWindow();
    return 0;
}
