// Times the commands that touch many nodes, on the real main window under
// Wine: every arrange command on one flat list of siblings, "Delete Item" on
// an item with every other item below it, "Hide Checked Items", switching
// views and "Create Copy". Documents of 1k, 10k and 100k items, flat and a
// deep and wide tree. Beside each figure the floor: the bare tree view doing
// the command's node work (the sort of the same sibling list from the same
// order, the deletion or insertion of the same nodes, the old tree deleted
// and the new one inserted). Prints figures; asserts nothing about time.
#include "commandparts.h"
#include "commands.h"
#include "bench_window.h"
#include "document_builder.h"
#include "floor.h"
#include "notemodel.h"
#include "program.h"
#include "random_items.h"
#include "resource.h"
#include "sorting.h"
#include "treefill.h"

#include <commctrl.h>
#include <stdio.h>

#include <algorithm>
#include <vector>

namespace {

enum Shape { kTopLevel, kFlat, kDeepWide };

} // namespace

// Top level: every item directly under the root node. Otherwise item 1 is
// the only top-level item and every other item lies below it. Flat: all
// others are its direct children. Deep and wide: each hangs under a random
// earlier item, and every 100th under the one just before, so chains and
// wide lists both occur.
static void makeDocument(Shape shape, int n) {
    beginBenchDocument();
    std::vector<NoteItem*> made((size_t)n);
    for (int i = 0; i < n; ++i) {
        NoteItem item = randomItem(i);
        item.priority = (uint16_t)(nextRandom() % 10);
        randomCategory(&item);
        randomDueDate(&item);
        if (i == 0 || shape == kTopLevel)
            placeUnder(&item, nullptr);
        else if (shape == kFlat)
            placeUnder(&item, made[0]);
        else
            placeUnder(&item,
                       i % 100 == 0 ? made[(size_t)i - 1] : made[nextRandom() % (uint32_t)i]);
        made[(size_t)i] = appendLoaded(&gList, &item, nullptr);
    }
    setNextId(&gList);
    gOptions.viewMode = kDefaultView;
    gOptions.hideChecked = 0;
    gOptions.arrangeKey = kArrangeByName;
    gOptions.ascending = 1;
    fillTree(gProgram.treeView);
}

static double command(UINT id) {
    double start = nowMs();
    SendMessageW(gProgram.mainWindow, WM_COMMAND, id, 0);
    return nowMs() - start;
}

static HTREEITEM topItemNode() {
    HWND tree = gProgram.treeView;
    return TreeView_GetChild(tree, TreeView_GetRoot(tree));
}

// "Delete Item" after its question: the top item and everything below it.
static double deleteTop() {
    HTREEITEM top = topItemNode();
    TreeView_SelectItem(gProgram.treeView, top);
    double start = nowMs();
    deleteItemWithDescendants(gProgram.mainWindow, top, nodeItem(gProgram.treeView, top));
    return nowMs() - start;
}

// The delete question is answered as soon as it appears.
static HHOOK gHook;
static int gAnswer = IDYES;
static LRESULT CALLBACK answerYes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE)
        PostMessageW((HWND)wParam, WM_COMMAND, (WPARAM)gAnswer, 0);
    return CallNextHookEx(gHook, code, wParam, lParam);
}

namespace {

struct Row {
    const char* name;
    Figure f[3];
};

} // namespace

// The sibling list order as the ranks give it.
static void reorder(std::vector<int32_t>* order, const std::vector<int32_t>& rank) {
    std::stable_sort(order->begin(), order->end(),
                     [&](int32_t a, int32_t b) { return rank[(size_t)a] < rank[(size_t)b]; });
}

// The control's part of an arrangement of the root's children (nothing
// below them is open): their sort from the order they have into the order
// of key; order follows.
static double floorArrange(std::vector<int32_t>* order, const std::vector<NoteItem*>& items,
                           int key, int ascending) {
    std::vector<int32_t> rank;
    rankByItems(*order, items, key, ascending, &rank);
    double start = nowMs();
    floorSort(floorRoot(), rank);
    double took = nowMs() - start;
    reorder(order, rank);
    return took;
}

// The floor tree as the fill of a document below one top item leaves it,
// with that item opened by the user (its children sorted by name) and its
// first child selected. Returns the top item's index.
static int32_t floorOpenedTop() {
    std::vector<int32_t> parents, rank, top, children;
    std::vector<NoteItem*> items;
    defaultViewShape(0, &parents, &items, &top);
    identityRank(parents.size(), &rank);
    floorClear();
    floorFill(parents, rank);
    for (size_t i = 0; i < parents.size(); ++i)
        if (parents[i] == top[0])
            children.push_back((int32_t)i);
    rankByItems(children, items, kArrangeByName, 1, &rank);
    HWND tree = floorTree();
    floorSort(floorNode(top[0]), rank);
    TreeView_Expand(tree, floorNode(top[0]), TVE_EXPAND);
    TreeView_SelectItem(tree, TreeView_GetChild(tree, floorNode(top[0])));
    return top[0];
}

// A fill's node work after the command that made it: the old nodes go, the
// view's new ones come.
static double floorRefill() {
    std::vector<int32_t> parents, rank;
    viewShape(&parents, &rank);
    return floorClear() + floorFill(parents, rank);
}

static double floorDelete(int32_t index) {
    HWND tree = floorTree();
    TreeView_SelectItem(tree, floorNode(index));
    double start = nowMs();
    TreeView_DeleteItem(tree, floorNode(index));
    return nowMs() - start;
}

int main(int argc, char** argv) {
    if (!startBenchWindow(L"twigmark-commands-bench.twk"))
        return 1;
    gHook = SetWindowsHookExW(WH_CBT, answerYes, nullptr, GetCurrentThreadId());
    HWND tree = gProgram.treeView;
    int sizes[3];
    int sizeCount = benchSizes(argc, argv, sizes);
    floorTree();
    const char* arrangeNames[5] = {"By Name", "By Priority", "By Category", "By Check Flag",
                                   "By Task/Due Date"};
    char labels[5][64], sortLabels[5][64];
    Row arrange[7] = {}, sorts[5] = {};
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
    int failures = 0;
    for (int s = 0; s < sizeCount; ++s)
        for (int run = 0; run < runsFor(sizes[s]); ++run) {
            int n = sizes[s];
            makeDocument(kTopLevel, n);
            std::vector<int32_t> parents, rank, order;
            std::vector<NoteItem*> items;
            defaultViewShape(0, &parents, &items, &order);
            rankByItems(order, items, kArrangeByName, 1, &rank);
            floorClear();
            floorFill(parents, rank);
            reorder(&order, rank);
            // The control's sort first builds its list of the children,
            // growing it a few at a time: what that costs depends on the
            // heap as the work just before left it. The program and the
            // floor therefore take turns going first, so that neither
            // always inherits the other's heap.
            bool floorFirst = run % 2 == 1;
            auto inTurn = [&](Figure* figure, int key, int ascending, auto program) {
                double floor = floorFirst ? floorArrange(&order, items, key, ascending) : 0;
                double ms = program();
                if (!floorFirst)
                    floor = floorArrange(&order, items, key, ascending);
                keepBest(figure, ms, floor, run);
            };
            for (int k = 0; k < 5; ++k) {
                inTurn(&arrange[k].f[s], k, 1,
                       [k]() { return command((UINT)(IDM_ARRANGE_FIRST + k)); });
                int other = k == 0 ? kArrangeByPriority : kArrangeByName;
                // Another order first, in the same turns, so that each side
                // comes to its sort with its nodes as fresh in the cache as
                // the other's.
                gOptions.arrangeKey = other;
                if (floorFirst)
                    floorArrange(&order, items, other, 1);
                sortChildren(tree, TreeView_GetRoot(tree));
                if (!floorFirst)
                    floorArrange(&order, items, other, 1);
                gOptions.arrangeKey = k;
                inTurn(&sorts[k].f[s], k, 1, [tree]() {
                    double start = nowMs();
                    sortChildren(tree, TreeView_GetRoot(tree));
                    return nowMs() - start;
                });
            }
            // Nothing below the root is open: the control has nothing to
            // collapse.
            double start = nowMs();
            collapseAll(tree, TreeView_GetRoot(tree));
            keepBest(&collapse.f[s], nowMs() - start, 0, run);
            inTurn(&arrange[5].f[s], kArrangeByDate, 0, []() { return command(IDM_DESCENDING); });
            inTurn(&arrange[6].f[s], kArrangeByDate, 1, []() { return command(IDM_ASCENDING); });

            makeDocument(kFlat, n + 1);
            HTREEITEM top = topItemNode();
            TreeView_Expand(tree, top, TVE_EXPAND);
            TreeView_SelectItem(tree, TreeView_GetChild(tree, top));
            int32_t floorTop = floorOpenedTop();
            double ms = command(IDM_CREATE_COPY);
            start = nowMs();
            floorAppend(floorNode(floorTop));
            keepBest(&copyFlat.f[s], ms, nowMs() - start, run);
            TreeView_SelectItem(tree, top);
            gAnswer = IDNO;
            keepBest(&removeNo.f[s], command(IDM_DELETE_ITEM), 0, run);
            ms = deleteTop();
            keepBest(&removeFlat.f[s], ms, floorDelete(floorTop), run);
            if (gList.count != 0) {
                printf("flat delete left %d items\n", gList.count);
                ++failures;
            }

            makeDocument(kDeepWide, n + 1);
            top = topItemNode();
            TreeView_Expand(tree, top, TVE_EXPAND);
            TreeView_SelectItem(tree, TreeView_GetChild(tree, top));
            floorTop = floorOpenedTop();
            ms = command(IDM_CREATE_COPY);
            start = nowMs();
            floorAppend(floorNode(floorTop));
            keepBest(&copyDeep.f[s], ms, nowMs() - start, run);
            ms = command(IDM_HIDE_CHECKED);
            keepBest(&hide.f[s], ms, floorRefill(), run);
            ms = command(IDM_HIDE_CHECKED);
            keepBest(&unhide.f[s], ms, floorRefill(), run);
            for (int v = 0; v < 4; ++v) {
                ms = command(viewCommands[v]);
                keepBest(&views[v].f[s], ms, floorRefill(), run);
            }
            // Nothing was ticked since the fill: no box needs reading.
            start = nowMs();
            refreshCheckStates(tree, TreeView_GetRoot(tree));
            keepBest(&refresh.f[s], nowMs() - start, 0, run);
            // Each time is read before the floor's call: the order in which
            // a call's arguments are computed is the compiler's choice.
            start = nowMs();
            TreeView_DeleteAllItems(tree);
            ms = nowMs() - start;
            keepBest(&emptying.f[s], ms, floorClear(), run);
            viewShape(&parents, &rank);
            start = nowMs();
            fillTree(tree);
            ms = nowMs() - start;
            keepBest(&filling.f[s], ms, floorFill(parents, rank), run);
            TreeView_SelectItem(tree, topItemNode());
            ms = deleteTop();
            floorTop = (int32_t)(std::find(parents.begin(), parents.end(), -1) - parents.begin());
            keepBest(&removeDeep.f[s], ms, floorDelete(floorTop), run);
            if (gList.count != 0) {
                printf("deep delete left %d items\n", gList.count);
                ++failures;
            }
        }
    printFigureHeader("command", sizes, sizeCount);
    for (int k = 0; k < 5; ++k) {
        printFigures(arrange[k].name, arrange[k].f, sizeCount, "");
        printFigures(sorts[k].name, sorts[k].f, sizeCount, "");
    }
    const Row* rest[] = {&collapse,   &arrange[5], &arrange[6], &copyFlat, &copyDeep, &removeFlat,
                         &removeDeep, &removeNo,   &hide,       &unhide,   &views[0], &views[1],
                         &views[2],   &views[3],   &refresh,    &emptying, &filling};
    for (const Row* row : rest)
        printFigures(row->name, row->f, sizeCount, "");
    UnhookWindowsHookEx(gHook);
    endBenchWindow();
    return failures ? 1 : 0;
}
