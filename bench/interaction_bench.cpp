// Times two tree interactions on the real tree view for generated documents
// of 10k and 100k items: expanding a node with every other item as its
// child (the expansion sorts them), and a drop that moves an item with
// 1,000 descendants under another item. Runs under Wine as a Windows
// program; prints figures, asserts nothing about time. Each drop is checked
// in the model and in the tree.
#include "bench_window.h"
#include "notemodel.h"
#include "program.h"
#include "treefill.h"
#include "treenotify.h"
#include "widetext.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

namespace {

NoteItem* addItem(const char* name, uint32_t id, const NoteItem* parent) {
    NoteItem item;
    memset(&item, 0, sizeof item);
    copyAsciiField(item.name, kNameChars, name);
    item.id = id;
    item.parentId = parent ? parent->id : 0;
    item.level = parent ? parent->level + 1 : 1;
    item.icon = (uint16_t)(4 + nextRandom() % 16);
    item.checkState = kUnchecked;
    item.priority = (uint16_t)(nextRandom() % 10);
    item.taskTimeUnit = -1;
    return appendLoaded(&gList, &item, nullptr);
}

void startDocument() {
    beginBenchDocument();
    gOptions.viewMode = 0;
    gOptions.hideChecked = 0;
    gOptions.arrangeKey = 0;
    gOptions.ascending = 1;
}

// One top-level item whose children are all the other items, in random
// name order.
void makeFlat(int n) {
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
// grandchildren.
void makeMoverDocument(int n, int children) {
    startDocument();
    int others = n - 1002;
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

HTREEITEM topLevelNamed(HWND tree, const char* wanted) {
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

int countChildren(HWND tree, HTREEITEM parent) {
    int count = 0;
    for (HTREEITEM child = TreeView_GetChild(tree, parent); child;
         child = TreeView_GetNextSibling(tree, child))
        ++count;
    return count;
}

// The user's expansion (the tree view's own key), which sorts the children.
double timeExpand(HWND tree, HTREEITEM node) {
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
double timeDrop(HWND tree, int children, bool* ok) {
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

} // namespace

int main() {
    if (!startBenchWindow(L"twigmark-interaction-bench.twk"))
        return 1;
    HWND tree = gProgram.treeView;
    const int sizes[2] = {10000, 100000};
    int failures = 0;
    printf("%-44s %10s %10s %8s  %s\n", "interaction", "10k ms", "100k ms", "100k/10k", "check");

    double first[2] = {}, again[2] = {};
    for (int s = 0; s < 2; ++s) {
        makeFlat(sizes[s]);
        fillTree(tree);
        HTREEITEM parent = TreeView_GetChild(tree, TreeView_GetRoot(tree));
        first[s] = timeExpand(tree, parent);
        SendMessageW(tree, WM_KEYDOWN, VK_SUBTRACT, 0);
        again[s] = timeExpand(tree, parent);
    }
    printf("%-44s %10.1f %10.1f %8.1f  %s\n", "expand a node with every item as a child", first[0],
           first[1], first[1] / first[0], "ok");
    printf("%-44s %10.1f %10.1f %8.1f  %s\n", "the same node expanded again", again[0], again[1],
           again[1] / again[0], "ok");
    fflush(stdout);

    const int shapes[2] = {100, 1000};
    for (int children : shapes) {
        double times[2] = {};
        const char* check = "ok";
        for (int s = 0; s < 2; ++s) {
            makeMoverDocument(sizes[s], children);
            fillTree(tree);
            bool ok = false;
            times[s] = timeDrop(tree, children, &ok);
            if (!ok) {
                check = "WRONG";
                ++failures;
            }
        }
        char label[64];
        snprintf(label, sizeof label, "drop an item with 1,000 below (%d children)", children);
        printf("%-44s %10.1f %10.1f %8.1f  %s\n", label, times[0], times[1], times[1] / times[0],
               check);
        fflush(stdout);
    }
    endBenchWindow();
    return failures ? 1 : 0;
}
