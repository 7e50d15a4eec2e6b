// Times fillTree on the real tree view for generated documents of 1k, 10k
// and 100k items, in every view and in orders chosen to hurt: children
// before parents, one deep chain, one huge group, a group per item. Runs
// under Wine as a Windows program; prints figures, asserts nothing about
// time. For 1k and 10k items the Default View is also compared node by node
// with the planner, and each grouped view with its expected group count.
#include "bench_window.h"
#include "notemodel.h"
#include "program.h"
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
const char* kShapeNames[kShapeCount] = {"random tree", "children first", "deep chains",
                                        "one huge group", "many groups"};
const char* kViewNames[4] = {"Default", "Category", "Date", "Priority"};

void makeDocument(Shape shape, int n) {
    beginBenchDocument();
    NoteItem** made = new NoteItem*[(size_t)n];
    NoteItem item;
    for (int i = 0; i < n; ++i) {
        memset(&item, 0, sizeof item);
        char name[32];
        randomName(name, sizeof name, i);
        copyAsciiField(item.name, kNameChars, name);
        item.id = (uint32_t)i + 1;
        item.icon = (uint16_t)(4 + nextRandom() % 16);
        item.checkState = nextRandom() % 5 == 0 ? kChecked : kUnchecked;
        item.taskTimeUnit = -1;
        char category[32];
        if (shape == kDeepChain) {
            // Chains of 1,000 levels: a single chain of 100,000 overflows the
            // stack of the control's own recursive deletion under Wine.
            item.parentId = i % kChainLength ? (uint32_t)i : 0;
            item.level = (uint32_t)(i % kChainLength) + 1;
        } else if (i < 10 || nextRandom() % 10 == 0) {
            item.level = 1;
        } else {
            NoteItem* parent = made[nextRandom() % (uint32_t)i];
            item.parentId = parent->id;
            item.level = parent->level + 1;
        }
        if (shape == kOneGroup) {
            copyAsciiField(item.category, kCategoryChars, "All");
            item.priority = 4;
            item.dueDate.year = 2024;
            item.dueDate.month = 6;
            item.dueDate.day = 1;
        } else if (shape == kManyGroups) {
            snprintf(category, sizeof category, "Group %d", i);
            copyAsciiField(item.category, kCategoryChars, category);
            item.priority = (uint16_t)(i % 10);
            item.dueDate.year = (uint16_t)(1990 + i / 336);
            item.dueDate.month = (uint16_t)(1 + (i / 28) % 12);
            item.dueDate.day = (uint16_t)(1 + i % 28);
        } else {
            snprintf(category, sizeof category, "Category %u", nextRandom() % 50);
            copyAsciiField(item.category, kCategoryChars, category);
            item.priority = (uint16_t)(nextRandom() % 10);
            if (nextRandom() % 3) {
                item.dueDate.year = 2024;
                item.dueDate.month = (uint16_t)(1 + nextRandom() % 12);
                item.dueDate.day = (uint16_t)(1 + nextRandom() % 28);
            }
        }
        made[i] = appendLoaded(&gList, &item, nullptr);
    }
    gList.nextId = n + 1;
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
    delete[] made;
}

// The nodes below handle, in pre-order, against the plan's nodes below
// planNode; visited counts the nodes that matched.
bool sameBelow(HWND tree, const ViewPlan& plan, int32_t planNode, HTREEITEM handle,
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
bool matchesPlan(HWND tree) {
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

int countChildren(HWND tree, HTREEITEM parent) {
    int count = 0;
    for (HTREEITEM child = TreeView_GetChild(tree, parent); child;
         child = TreeView_GetNextSibling(tree, child))
        ++count;
    return count;
}

// Milliseconds for a Default View fill with every item shown, and the
// number of nodes under the root node.
double timeDefaultFill(HWND tree, Shape shape, int n, int* shown) {
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

} // namespace

// "--orders" runs only the comparison of list order with parents last.
int main(int argc, char** argv) {
    if (!startBenchWindow(L"twigmark-bench.twk"))
        return 1;
    HWND tree = gProgram.treeView;
    bool ordersOnly = argc > 1 && strcmp(argv[1], "--orders") == 0;
    const int sizes[3] = {1000, 10000, 100000};
    printf("%-16s %-9s %10s %10s %10s %8s  %s\n", "document", "view", "1k ms", "10k ms", "100k ms",
           "100k/10k", "check");
    int failures = 0;
    for (int shape = 0; shape < kShapeCount && !ordersOnly; ++shape) {
        for (int view = 0; view < 4; ++view) {
            double times[3] = {};
            const char* check = "ok";
            for (int s = 0; s < 3; ++s) {
                makeDocument((Shape)shape, sizes[s]);
                gOptions.viewMode = view;
                gOptions.hideChecked = shape == kRandomTree && view == 0 ? 1 : 0;
                double start = nowMs();
                fillTree(tree);
                times[s] = nowMs() - start;
                if (sizes[s] <= 10000) {
                    bool ok = view == 0 ? matchesPlan(tree) : true;
                    if (view != 0 && shape == kOneGroup)
                        ok = countChildren(tree, TreeView_GetRoot(tree)) == 1;
                    if (!ok) {
                        check = "MISMATCH";
                        ++failures;
                    }
                }
            }
            printf("%-16s %-9s %10.1f %10.1f %10.1f %8.1f  %s\n", kShapeNames[shape],
                   kViewNames[view], times[0], times[1], times[2], times[2] / times[1], check);
            fflush(stdout);
        }
    }
    // The same records in list order and with every parent after its
    // children: the fill must place all of them at about the same cost.
    for (int n : {10000, 100000}) {
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
    // A refill walks the filled tree for its check boxes first.
    makeDocument(kRandomTree, 10000);
    gOptions.viewMode = 0;
    gOptions.hideChecked = 0;
    fillTree(tree);
    double start = nowMs();
    fillTree(tree);
    printf("refill of 10k items in the Default View, check boxes read back: %.1f ms\n",
           nowMs() - start);
    endBenchWindow();
    return failures ? 1 : 0;
}
