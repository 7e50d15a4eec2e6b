// Times two tree interactions on the real tree view for generated documents
// of 1k, 10k and 100k items: expanding a node with every other item as its
// child (the expansion sorts them), and a drop that moves an item with
// 1,000 descendants under another item. Beside each figure the floor: the
// bare tree view sorting and opening a node with the same children, or
// inserting the moved subtree under the target and deleting the old one.
// Runs under Wine as a Windows program; prints figures, asserts nothing
// about time. Each drop is checked in the model and in the tree.
#include "bench_window.h"
#include "document_builder.h"
#include "floor.h"
#include "notemodel.h"
#include "program.h"
#include "random_items.h"
#include "treefill.h"
#include "treenotify.h"
#include "widetext.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <vector>

static NoteItem* addItem(const char* name, uint32_t id, const NoteItem* parent) {
    NoteItem item = namedItem(name, id);
    placeUnder(&item, parent);
    item.icon = (uint16_t)(4 + nextRandom() % 16);
    item.priority = (uint16_t)(nextRandom() % 10);
    return appendLoaded(&gList, &item, nullptr);
}

static void startDocument() {
    beginBenchDocument();
    gOptions.viewMode = 0;
    gOptions.hideChecked = 0;
    gOptions.arrangeKey = 0;
    gOptions.ascending = 1;
}

// One top-level item whose children are all the other items, in random
// name order.
static void makeFlat(int n) {
    startDocument();
    NoteItem* parent = addItem("Parent", 1, nullptr);
    char name[32];
    for (int i = 1; i < n; ++i) {
        randomName(name, sizeof name, i);
        addItem(name, (uint32_t)i + 1, parent);
    }
    gList.nextId = n + 1;
}

// A random tree, then the target and the mover at the end of the list (so
// their nodes are made last, the costly place for the tree view), the
// mover with 1,000 descendants: `children` children sharing the rest as
// grandchildren. Below 2,002 items the others number 1,000.
static void makeMoverDocument(int n, int children) {
    startDocument();
    int others = n > 2002 ? n - 1002 : 1000;
    NoteItem** made = new NoteItem*[(size_t)others];
    char name[32];
    uint32_t id = 0;
    for (int i = 0; i < others; ++i) {
        randomName(name, sizeof name, i);
        const NoteItem* parent =
            i < 10 || nextRandom() % 10 == 0 ? nullptr : made[nextRandom() % (uint32_t)i];
        made[i] = addItem(name, ++id, parent);
    }
    delete[] made;
    NoteItem* target = addItem("Target", ++id, nullptr);
    NoteItem* mover = addItem("Mover", ++id, nullptr);
    (void)target;
    NoteItem** kids = new NoteItem*[(size_t)children];
    for (int c = 0; c < children; ++c) {
        randomName(name, sizeof name, c);
        kids[c] = addItem(name, ++id, mover);
    }
    for (int g = 0; g < 1000 - children; ++g) {
        randomName(name, sizeof name, g);
        addItem(name, ++id, kids[g % children]);
    }
    delete[] kids;
    gList.nextId = (int32_t)id + 1;
}

static HTREEITEM topLevelNamed(HWND tree, const char* wanted) {
    WideChar name[kNameChars] = {};
    copyAsciiField(name, kNameChars, wanted);
    for (HTREEITEM node = TreeView_GetChild(tree, TreeView_GetRoot(tree)); node;
         node = TreeView_GetNextSibling(tree, node)) {
        const NoteItem* item = nodeItem(tree, node);
        if (item && memcmp(item->name, name, sizeof name) == 0)
            return node;
    }
    return nullptr;
}

// The user's expansion (the tree view's own key), which sorts the children.
static double timeExpand(HWND tree, HTREEITEM node) {
    TreeView_SelectItem(tree, node);
    double start = nowMs();
    SendMessageW(tree, WM_KEYDOWN, VK_ADD, 0);
    double took = nowMs() - start;
    if (!(TreeView_GetItemState(tree, node, TVIS_EXPANDED) & TVIS_EXPANDED))
        printf("  (the node did not open)\n");
    return took;
}

// The drop as the pointer leaves it: the dragged node and the highlighted
// target, then the release.
static double timeDrop(HWND tree, int children, bool* ok) {
    HTREEITEM mover = topLevelNamed(tree, "Mover");
    HTREEITEM target = topLevelNamed(tree, "Target");
    NoteItem* moverItem = nodeItem(tree, mover);
    const NoteItem* targetItem = nodeItem(tree, target);
    *ok = mover && target && moverItem && targetItem;
    if (!*ok)
        return 0;
    gDrag.dragging = true;
    gDrag.draggedNode = mover;
    gDrag.target = target;
    gDrag.dragImages = nullptr;
    SetCapture(gProgram.mainWindow);
    double start = nowMs();
    dropDragged(gProgram.mainWindow);
    double took = nowMs() - start;
    HTREEITEM placed = TreeView_GetChild(tree, target);
    *ok = !gDrag.dragging && moverItem->parentId == targetItem->id && moverItem->level == 2 &&
          placed && nodeItem(tree, placed) == moverItem && countChildren(tree, placed) == children;
    return took;
}

// The floor tree as the fill of the document leaves it, with its shape and
// the item of each node.
static void floorFilled(std::vector<int32_t>* parents, std::vector<NoteItem*>* items) {
    std::vector<int32_t> rank, top;
    defaultViewShape(0, parents, items, &top);
    identityRank(parents->size(), &rank);
    rankByItems(top, *items, kArrangeByName, 1, &rank);
    floorClear();
    floorFill(*parents, rank);
}

static int32_t indexOf(const std::vector<NoteItem*>& items, const NoteItem* wanted) {
    return (int32_t)(std::find(items.begin(), items.end(), wanted) - items.begin());
}

// The control's part of the user's expansion: the children sorted by name
// from the order they have, then the node opened.
static double floorExpand(int32_t node, const std::vector<int32_t>& rank) {
    HWND tree = floorTree();
    TreeView_SelectItem(tree, floorNode(node));
    double start = nowMs();
    floorSort(floorNode(node), rank);
    TreeView_Expand(tree, floorNode(node), TVE_EXPAND);
    return nowMs() - start;
}

// The control's part of the drop: the moved node made again under the
// target and scrolled into view, which opens the target and so sorts its
// children (the moved node alone), its subtree below it in the same shape,
// the old subtree deleted.
static double floorDrop(int32_t mover, int32_t target, const std::vector<int32_t>& parents) {
    HWND tree = floorTree();
    std::vector<HTREEITEM> made(parents.size(), nullptr);
    std::vector<int32_t> rank;
    identityRank(parents.size() + 1, &rank);
    double start = nowMs();
    made[(size_t)mover] = floorAdd(floorNode(target));
    floorSort(floorNode(target), rank);
    TreeView_EnsureVisible(tree, made[(size_t)mover]);
    for (size_t i = (size_t)mover + 1; i < parents.size(); ++i)
        if (parents[i] >= 0 && made[(size_t)parents[i]])
            made[i] = floorAdd(made[(size_t)parents[i]]);
    TreeView_DeleteItem(tree, floorNode(mover));
    return nowMs() - start;
}

static const NoteItem* itemNamed(const char* wanted) {
    WideChar name[kNameChars] = {};
    copyAsciiField(name, kNameChars, wanted);
    for (const NoteItem* item = gList.head; item; item = item->next)
        if (memcmp(item->name, name, sizeof name) == 0)
            return item;
    return nullptr;
}

int main(int argc, char** argv) {
    if (!startBenchWindow(L"twigmark-interaction-bench.twk"))
        return 1;
    HWND tree = gProgram.treeView;
    int sizes[3];
    int sizeCount = benchSizes(argc, argv, sizes);
    floorTree();
    int failures = 0;
    Figure first[3] = {}, again[3] = {};
    for (int s = 0; s < sizeCount; ++s)
        for (int run = 0; run < runsFor(sizes[s]); ++run) {
            makeFlat(sizes[s]);
            fillTree(tree);
            std::vector<int32_t> parents, rank, children;
            std::vector<NoteItem*> items;
            floorFilled(&parents, &items);
            int32_t parentIndex = indexOf(items, gList.head);
            for (size_t i = 0; i < parents.size(); ++i)
                if (parents[i] == parentIndex)
                    children.push_back((int32_t)i);
            rankByItems(children, items, kArrangeByName, 1, &rank);
            HTREEITEM parent = TreeView_GetChild(tree, TreeView_GetRoot(tree));
            double ms = timeExpand(tree, parent);
            keepBest(&first[s], ms, floorExpand(parentIndex, rank), run);
            SendMessageW(tree, WM_KEYDOWN, VK_SUBTRACT, 0);
            TreeView_Expand(floorTree(), floorNode(parentIndex), TVE_COLLAPSE);
            ms = timeExpand(tree, parent);
            keepBest(&again[s], ms, floorExpand(parentIndex, rank), run);
        }
    printFigureHeader("interaction", sizes, sizeCount);
    printFigures("expand a node with every item as a child", first, sizeCount, "ok");
    printFigures("the same node expanded again", again, sizeCount, "ok");

    const int shapes[2] = {100, 1000};
    for (int children : shapes) {
        Figure times[3] = {};
        const char* check = "ok";
        for (int s = 0; s < sizeCount; ++s)
            for (int run = 0; run < runsFor(sizes[s]); ++run) {
                makeMoverDocument(sizes[s], children);
                fillTree(tree);
                std::vector<int32_t> parents;
                std::vector<NoteItem*> items;
                floorFilled(&parents, &items);
                int32_t mover = indexOf(items, itemNamed("Mover"));
                int32_t target = indexOf(items, itemNamed("Target"));
                bool ok = false;
                double ms = timeDrop(tree, children, &ok);
                keepBest(&times[s], ms, floorDrop(mover, target, parents), run);
                if (!ok) {
                    check = "WRONG";
                    ++failures;
                }
            }
        char label[64];
        snprintf(label, sizeof label, "drop an item with 1,000 below (%d children)", children);
        printFigures(label, times, sizeCount, check);
    }
    endBenchWindow();
    return failures ? 1 : 0;
}
