// "Delete Item": the selected item goes with every item below it in the
// list, shown or not, and with every node that shows one of them.
//
// The descendants are found through an index of the list by parent
// identifier, so the work grows with n log n. Where two items share an
// identifier, an item that names it belongs to the one the Default View
// shows it under, so deleting one never takes the other's children. Each item joins at most once,
// so a cycle of parent identifiers (only a damaged file has one) ends the
// walk instead of looping, and an item with identifier 0 has no children:
// parentId 0 means "under the root node".
#include "commandparts.h"

#include "notemodel.h"
#include "program.h"
#include "resource.h"
#include "treefill.h"
#include "treenode.h"
#include "viewplan.h"

#include <algorithm>
#include <string.h>

namespace {

struct Descendants {
    NoteItem** items; // the selected item first; then sorted by address
    size_t count;
    bool sharedIds; // some collected identifier also belongs to an item outside
    bool strayTop;  // a collected item below the first stands at the top level
};

} // namespace

static bool byParent(const NoteItem* a, const NoteItem* b) {
    return a->parentId < b->parentId;
}
static bool byId(const NoteItem* a, const NoteItem* b) {
    return a->id < b->id;
}
static bool byAddress(const NoteItem* a, const NoteItem* b) {
    return (uintptr_t)a < (uintptr_t)b;
}

namespace {

// Where the Default View puts an item: under the node of parent (null for
// the root node).
struct Placement {
    const NoteItem* item;
    const NoteItem* parent;
};

} // namespace

static bool placedBefore(const Placement& a, const Placement& b) {
    return byAddress(a.item, b.item);
}

// Every placed item with the item of its parent node, sorted by address;
// null when memory ran short.
static Placement* placeItems(const NoteList* list, size_t* count) {
    ViewPlan plan;
    if (!planDefaultView(list, 0, &plan))
        return nullptr;
    Placement* placed = (Placement*)modelAllocArray((size_t)plan.count + 1, sizeof(Placement));
    if (placed) {
        for (int32_t i = 0; i < plan.count; ++i) {
            int32_t up = plan.nodes[i].parent;
            placed[i].item = plan.nodes[i].item;
            placed[i].parent = up == kPlanRoot ? nullptr : plan.nodes[up].item;
        }
        std::sort(placed, placed + plan.count, placedBefore);
        *count = (size_t)plan.count;
    }
    freeViewPlan(&plan);
    return placed;
}

// Whether child belongs to parent: it names parent's identifier and the
// view does not show it under another item that carries the same one.
static bool belongsTo(const Placement* placed, size_t count, const NoteItem* child,
                      const NoteItem* parent) {
    Placement probe = {child, nullptr};
    const Placement* at = std::lower_bound(placed, placed + count, probe, placedBefore);
    if (at == placed + count || at->item != child || !at->parent)
        return true;
    return at->parent == parent;
}

// 0 when memory ran short; nothing is then collected.
static int collectDescendants(const NoteList* list, NoteItem* top, Descendants* out) {
    out->items = nullptr;
    out->count = 0;
    out->sharedIds = false;
    out->strayTop = false;
    size_t n = 0;
    for (NoteItem* it = list->head; it; it = it->next)
        ++n;
    NoteItem** family = (NoteItem**)modelAllocArray(n + 1, sizeof(NoteItem*));
    size_t* queue = (size_t*)modelAllocArray(n + 1, sizeof(size_t));
    bool* taken = (bool*)modelAllocArray(n + 1, sizeof(bool));
    NoteItem** collected = (NoteItem**)modelAllocArray(n + 1, sizeof(NoteItem*));
    size_t placedCount = 0;
    Placement* placed = placeItems(list, &placedCount);
    int ok = family && queue && taken && collected && placed;
    size_t found = 0;
    if (ok) {
        size_t i = 0;
        for (NoteItem* it = list->head; it; it = it->next)
            family[i++] = it;
        std::sort(family, family + n, byParent);
        size_t topIndex = n;
        for (size_t k = 0; k < n; ++k)
            if (family[k] == top)
                topIndex = k;
        if (topIndex < n) {
            taken[topIndex] = true;
            queue[found++] = topIndex;
        }
        NoteItem probe = {};
        for (size_t next = 0; next < found; ++next) {
            const NoteItem* parent = family[queue[next]];
            probe.parentId = parent->id;
            if (probe.parentId == 0)
                continue;
            NoteItem** first = std::lower_bound(family, family + n, &probe, byParent);
            for (NoteItem** child = first;
                 child < family + n && (*child)->parentId == probe.parentId; ++child) {
                size_t index = (size_t)(child - family);
                if (!taken[index] && belongsTo(placed, placedCount, *child, parent)) {
                    taken[index] = true;
                    queue[found++] = index;
                }
            }
        }
        for (size_t k = 0; k < found; ++k) {
            collected[k] = family[queue[k]];
            if (k > 0 && collected[k]->level <= 1)
                out->strayTop = true;
        }
        // An identifier that a collected item shares with one left behind
        // makes the view's placement ambiguous: then every node is checked.
        std::sort(family, family + n, byId);
        for (size_t k = 0; k < found && !out->sharedIds; ++k) {
            probe.id = collected[k]->id;
            auto range = std::equal_range(family, family + n, &probe, byId);
            if (range.second - range.first > 1)
                out->sharedIds = true;
        }
        std::sort(collected + 1, collected + found, byAddress);
    }
    modelFree(family);
    modelFree(queue);
    modelFree(taken);
    modelFree(placed);
    if (!ok) {
        modelFree(collected);
        return 0;
    }
    out->items = collected;
    out->count = found;
    return 1;
}

static bool isCollected(const Descendants* set, const NoteItem* item) {
    if (!item || set->count == 0)
        return false;
    if (set->items[0] == item)
        return true;
    return std::binary_search(set->items + 1, set->items + set->count, item, byAddress);
}

// Doubles the room of nodes, keeping its first count entries; false, and
// nodes as it was, when memory ran short.
static bool doubleNodes(HTREEITEM** nodes, size_t count, size_t* room) {
    HTREEITEM* bigger = (HTREEITEM*)modelAllocArray(*room * 2, sizeof(HTREEITEM));
    if (!bigger)
        return false;
    memcpy(bigger, *nodes, count * sizeof(HTREEITEM));
    modelFree(*nodes);
    *nodes = bigger;
    *room *= 2;
    return true;
}

// Every node left that shows a collected item, found in one walk with an
// explicit stack; each is deleted with its subtree once the walk is done.
static void deleteOtherNodes(HWND tree, const Descendants* set) {
    size_t room = 64, depth = 0, doomedCount = 0, doomedRoom = 64;
    HTREEITEM* stack = (HTREEITEM*)modelAllocArray(room, sizeof(HTREEITEM));
    HTREEITEM* doomed = (HTREEITEM*)modelAllocArray(doomedRoom, sizeof(HTREEITEM));
    HTREEITEM node = TreeView_GetRoot(tree);
    while (stack && doomed && node) {
        NodeFacts shown;
        bool read = readNode(tree, node, TVIF_PARAM | TVIF_CHILDREN, &shown);
        NoteItem* item = read ? shown.item : nullptr;
        HTREEITEM next = TreeView_GetNextSibling(tree, node);
        if (isCollected(set, item)) {
            if (doomedCount == doomedRoom && !doubleNodes(&doomed, doomedCount, &doomedRoom))
                break;
            doomed[doomedCount++] = node; // its subtree goes with it: not walked
        } else {
            // A leaf says so: it is not asked for its first child.
            HTREEITEM child = !read || shown.children ? TreeView_GetChild(tree, node) : nullptr;
            if (child) {
                if (next) {
                    if (depth == room && !doubleNodes(&stack, depth, &room))
                        break;
                    stack[depth++] = next;
                }
                next = child;
            }
        }
        node = next ? next : (depth ? stack[--depth] : nullptr);
    }
    for (size_t k = 0; k < doomedCount; ++k)
        TreeView_DeleteItem(tree, doomed[k]);
    modelFree(stack);
    modelFree(doomed);
}

static bool confirmDelete(HWND mainWindow) {
    WCHAR text[128];
    if (!LoadStringW(gProgram.instance, IDS_CONFIRM_DELETE, text, 128))
        lstrcpynW(text, L"Are you sure to delete the selected item and its subitems?", 128);
    return MessageBoxW(mainWindow, text, L"Twigmark", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void deleteSelectedItem(HWND mainWindow) {
    NoteItem* item = nullptr;
    HTREEITEM node = selectedNode(&item);
    if (!item || !confirmDelete(mainWindow))
        return;
    // The question box ran its own message loop: take the selection again.
    node = selectedNode(&item);
    if (item)
        deleteItemWithDescendants(mainWindow, node, item);
}

void deleteItemWithDescendants(HWND mainWindow, HTREEITEM node, NoteItem* item) {
    Descendants set;
    if (!collectDescendants(&gList, item, &set)) {
        reportOutOfMemory(mainWindow);
        return;
    }
    HWND tree = gProgram.treeView;
    TreeView_DeleteItem(tree, node);
    // The Default View places every item of level 2 and deeper under the
    // node of its parent, so every shown descendant stands below the
    // selected node. Only a damaged file breaks that: two items with one
    // identifier, or a descendant of level 1, which the view places at the
    // top. The grouped views show descendants as nodes of their own.
    if (gOptions.viewMode != kDefaultView || set.sharedIds || set.strayTop)
        deleteOtherNodes(tree, &set);
    std::sort(set.items, set.items + set.count, byAddress);
    size_t removed = removeItems(&gList, set.items, set.count);
    (void)removed;
    gProgram.documentChanged = 1;
    modelFree(set.items);
}
