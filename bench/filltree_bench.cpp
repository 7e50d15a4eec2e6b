// Times fillTree on the real tree view for generated documents of 1k, 10k
// and 100k items, in every view and in orders chosen to hurt: children
// before parents, one deep chain, one huge group, a group per item. Runs
// under Wine as a Windows program; prints figures, asserts nothing about
// time. Each fill is timed with the removal of its nodes by the next fill,
// beside its floor: the bare tree view inserting the same nodes in the same
// shape, sorting the root's children, opening the root and deleting every
// node. For 1k and 10k items the Default View is also compared node by node
// with the planner, and each grouped view with its expected group count.
#include "bench_window.h"
#include "document_builder.h"
#include "floor.h"
#include "notemodel.h"
#include "program.h"
#include "random_items.h"
#include "treefill.h"
#include "viewplan.h"
#include "widetext.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>
#include <unordered_map>
#include <vector>

namespace {

enum { kChainLength = 1000 };
enum Shape { kRandomTree, kChildrenFirst, kDeepChain, kOneGroup, kManyGroups, kShapeCount };

} // namespace

static const char* kShapeNames[kShapeCount] = {"random tree", "children first", "deep chains",
                                               "one huge group", "many groups"};
static const char* kViewNames[4] = {"Default", "Category", "Date", "Priority"};

static void makeDocument(Shape shape, int n) {
    beginBenchDocument();
    std::vector<NoteItem*> made((size_t)n);
    for (int i = 0; i < n; ++i) {
        NoteItem item = randomItem(i);
        if (shape == kDeepChain) {
            // Chains of 1,000 levels: a single chain of 100,000 overflows the
            // stack of the control's own recursive deletion under Wine.
            item.parentId = i % kChainLength ? (uint32_t)i : 0;
            item.level = (uint32_t)(i % kChainLength) + 1;
        } else if (i < 10 || nextRandom() % 10 == 0) {
            placeUnder(&item, nullptr);
        } else {
            placeUnder(&item, made[nextRandom() % (uint32_t)i]);
        }
        if (shape == kOneGroup) {
            copyAsciiField(item.category, kCategoryChars, "All");
            item.priority = 4;
            item.dueDate.year = 2024;
            item.dueDate.month = 6;
            item.dueDate.day = 1;
        } else if (shape == kManyGroups) {
            char category[32];
            snprintf(category, sizeof category, "Group %d", i);
            copyAsciiField(item.category, kCategoryChars, category);
            item.priority = (uint16_t)(i % 10);
            item.dueDate.year = (uint16_t)(1990 + i / 336);
            item.dueDate.month = (uint16_t)(1 + (i / 28) % 12);
            item.dueDate.day = (uint16_t)(1 + i % 28);
        } else {
            randomCategory(&item);
            item.priority = (uint16_t)(nextRandom() % 10);
            randomDueDate(&item);
        }
        made[(size_t)i] = appendLoaded(&gList, &item, nullptr);
    }
    setNextId(&gList);
    if (shape == kChildrenFirst) {
        // The same records, listed from the last to the first.
        NoteItem* reversed = nullptr;
        for (NoteItem* it = gList.head; it;) {
            NoteItem* next = it->next;
            it->next = reversed;
            reversed = it;
            it = next;
        }
        gList.tail = gList.head;
        gList.head = reversed;
    }
}

// The nodes below handle, in pre-order, against the plan's nodes below
// planNode; visited counts the nodes that matched.
static bool sameBelow(HWND tree, const ViewPlan& plan, int32_t planNode, HTREEITEM handle,
                      int32_t* visited) {
    std::vector<int32_t> stack;
    std::vector<HTREEITEM> nodes;
    int32_t node = planFirstChild(&plan, planNode);
    HTREEITEM child = TreeView_GetChild(tree, handle);
    while (node != -1 || !stack.empty()) {
        if (node == -1) {
            if (child)
                return false; // the tree has a node the plan does not
            node = plan.nextSibling[stack.back()];
            child = TreeView_GetNextSibling(tree, nodes.back());
            stack.pop_back();
            nodes.pop_back();
            continue;
        }
        if (!child || nodeItem(tree, child) != plan.nodes[node].item)
            return false;
        ++*visited;
        stack.push_back(node);
        nodes.push_back(child);
        node = planFirstChild(&plan, node);
        child = TreeView_GetChild(tree, child);
    }
    return !child;
}

// The tree against the planner. Filling ends by expanding the root node,
// which arranges its children; every deeper list keeps the planned order.
static bool matchesPlan(HWND tree) {
    ViewPlan plan;
    if (!planDefaultView(&gList, gOptions.hideChecked, &plan))
        return false;
    std::unordered_map<const NoteItem*, HTREEITEM> top;
    for (HTREEITEM child = TreeView_GetChild(tree, TreeView_GetRoot(tree)); child;
         child = TreeView_GetNextSibling(tree, child))
        top[nodeItem(tree, child)] = child;
    bool same = true;
    int32_t visited = 0;
    size_t topCount = 0;
    for (int32_t node = planFirstChild(&plan, kPlanRoot); same && node != -1;
         node = plan.nextSibling[node]) {
        ++topCount;
        auto found = top.find(plan.nodes[node].item);
        same = found != top.end() && sameBelow(tree, plan, node, found->second, &visited);
        ++visited;
    }
    same = same && topCount == top.size() && visited == plan.count;
    freeViewPlan(&plan);
    return same;
}

// The group nodes a grouped shape puts under the root node.
static int countRootGroups(const std::vector<int32_t>& parents) {
    int count = 0;
    for (int32_t parent : parents)
        count += parent < 0;
    return count;
}

// Milliseconds for a Default View fill with every item shown, and the
// number of nodes under the root node.
static double timeDefaultFill(HWND tree, Shape shape, int n, int* shown) {
    makeDocument(shape, n);
    gOptions.viewMode = 0;
    gOptions.hideChecked = 0;
    double start = nowMs();
    fillTree(tree);
    double took = nowMs() - start;
    ViewPlan plan;
    *shown = planDefaultView(&gList, 0, &plan) ? plan.count : -1;
    freeViewPlan(&plan);
    return took;
}

// One fill as the user meets it: fillTree, and the removal of its nodes by
// the next fill. The floor: the same nodes inserted in the same shape, the
// root's children sorted where the opening of the root sorts them, the root
// opened, every node deleted. check is set when the tree differs from the
// document (looked at only when asked, before the nodes go).
static Figure timeFill(HWND tree, bool checkTree, bool* mismatch) {
    std::vector<int32_t> parents, rootRank;
    viewShape(&parents, &rootRank);
    double start = nowMs();
    fillTree(tree);
    double ms = nowMs() - start;
    if (checkTree) {
        bool ok = true;
        if (gOptions.viewMode == 0)
            ok = matchesPlan(tree);
        else
            ok = countChildren(tree, TreeView_GetRoot(tree)) == countRootGroups(parents);
        *mismatch = !ok;
    }
    ms += timeNextFillClearing();
    double floor = floorFill(parents, rootRank);
    floor += floorClear();
    return {ms, floor};
}

// The private bytes of the program filling 10k and 100k items, in a process
// that does nothing else (the floor's nodes would stay in its heap).
static void reportMemory(HWND tree) {
    double start = (double)privateBytes() / 1048576.0;
    printf("private bytes at start: %.1f MB\n", start);
    for (int n : {10000, 100000}) {
        makeDocument(kRandomTree, n);
        gOptions.viewMode = 0;
        gOptions.hideChecked = 0;
        fillTree(tree);
        double now = (double)privateBytes() / 1048576.0;
        printf("private bytes after a fill of %d items (random tree, Default View): %.1f MB, "
               "%.1f MB more than at start\n",
               n, now, now - start);
    }
}

// "--orders" runs only the comparison of list order with parents last,
// "--memory" only the private bytes after a fill; "--sizes 1000,10000"
// limits the item counts.
int main(int argc, char** argv) {
    if (!startBenchWindow(L"twigmark-bench.twk"))
        return 1;
    HWND tree = gProgram.treeView;
    bool ordersOnly = argc > 1 && strcmp(argv[1], "--orders") == 0;
    if (argc > 1 && strcmp(argv[1], "--memory") == 0) {
        reportMemory(tree);
        endBenchWindow();
        return 0;
    }
    int sizes[3];
    int sizeCount = benchSizes(argc, argv, sizes);
    floorTree();
    int failures = 0;
    if (!ordersOnly)
        printFigureHeader("document, view (fill and its clearing)", sizes, sizeCount);
    for (int shape = 0; shape < kShapeCount && !ordersOnly; ++shape) {
        for (int view = 0; view < 4; ++view) {
            Figure figures[3] = {};
            const char* check = "ok";
            for (int s = 0; s < sizeCount; ++s) {
                for (int run = 0; run < runsFor(sizes[s]); ++run) {
                    makeDocument((Shape)shape, sizes[s]);
                    gOptions.viewMode = view;
                    gOptions.hideChecked = shape == kRandomTree && view == 0 ? 1 : 0;
                    bool mismatch = false;
                    Figure f = timeFill(tree, run == 0 && sizes[s] <= 10000, &mismatch);
                    keepBest(&figures[s], f.ms, f.floor, run);
                    if (mismatch) {
                        check = "MISMATCH";
                        ++failures;
                    }
                }
            }
            char label[64];
            snprintf(label, sizeof label, "%s, %s%s", kShapeNames[shape], kViewNames[view],
                     gOptions.hideChecked ? " (checked hidden)" : "");
            printFigures(label, figures, sizeCount, check);
        }
    }
    // The same records in list order and with every parent after its
    // children: the fill must place all of them at about the same cost.
    for (int s = 0; s < sizeCount; ++s) {
        int n = sizes[s];
        if (n < 10000)
            continue;
        int inOrder = 0, reversed = 0;
        double listMs = timeDefaultFill(tree, kRandomTree, n, &inOrder);
        double reversedMs = timeDefaultFill(tree, kChildrenFirst, n, &reversed);
        bool same = inOrder == n && reversed == n;
        printf("Default View of %d items: list order %.1f ms, parents after children %.1f ms, "
               "ratio %.2f, %s\n",
               n, listMs, reversedMs, reversedMs / listMs, same ? "all placed" : "MISSING ITEMS");
        if (!same)
            ++failures;
    }
    // A refill walks the filled tree for its check boxes first, then
    // replaces every node.
    Figure refill[3] = {};
    for (int s = 0; s < sizeCount && !ordersOnly; ++s)
        for (int run = 0; run < runsFor(sizes[s]); ++run) {
            makeDocument(kRandomTree, sizes[s]);
            gOptions.viewMode = 0;
            gOptions.hideChecked = 0;
            std::vector<int32_t> parents, rootRank;
            viewShape(&parents, &rootRank);
            fillTree(tree);
            double start = nowMs();
            fillTree(tree);
            double ms = nowMs() - start;
            floorFill(parents, rootRank);
            double floor = floorClear();
            floor += floorFill(parents, rootRank);
            floorClear();
            keepBest(&refill[s], ms, floor, run);
        }
    if (!ordersOnly)
        printFigures("refill in the Default View, boxes read back", refill, sizeCount, "");
    endBenchWindow();
    return failures ? 1 : 0;
}
