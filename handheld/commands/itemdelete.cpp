// "Delete Item": the selected item goes with every item below it in the
// list, shown or not, and with every node that shows one of them.
//
// The descendants are found through an index of the list by parent
// identifier, so the work grows with n. Where two items share an
// identifier, an item that names it belongs to the one the Default View
// shows it under, so deleting one never takes the other's children. Each
// item joins at most once, so a cycle of parent identifiers (only a damaged
// file has one) ends the walk instead of looping, and an item with
// identifier 0 has no children: parentId 0 means "under the root node".
#include "commandparts.h"

#include "idvalues.h"
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
    NoteItem** items; // the selected item first, then the others (by address for lookups)
    bool* gone;       // per position in the list: collected
    size_t positions; // how many positions gone covers
    size_t count;
    bool sharedIds; // some collected identifier also belongs to an item outside
    bool strayTop;  // a collected item below the first stands at the top level
};

} // namespace

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

// The list by position, with two indexes: every identifier to the first
// item that carries it, and every parent identifier to the first item that
// names it, the others following in childNext.
namespace {

struct ListIndex {
    NoteItem** items;
    size_t count;
    int32_t* childNext; // per position: the next item naming the same parent, or -1
    bool* sharedId;     // per position of an identifier's first item: another carries it too
    IdValues byId;
    IdValues byParent;
};

} // namespace

static void freeListIndex(ListIndex* index) {
    modelFree(index->items);
    modelFree(index->childNext);
    modelFree(index->sharedId);
    freeIdValues(&index->byId);
    freeIdValues(&index->byParent);
    memset(index, 0, sizeof *index);
}

enum IndexResult { kIndexed, kOutOfMemory, kTooSmall };

// Room for room items and direct tables below bound (0: hashed tables).
static IndexResult buildListIndex(const NoteList* list, size_t room, uint32_t bound,
                                  ListIndex* index) {
    memset(index, 0, sizeof *index);
    index->items = (NoteItem**)modelAllocArray(room + 1, sizeof(NoteItem*));
    index->childNext = (int32_t*)modelAllocArray(room + 1, sizeof(int32_t));
    index->sharedId = (bool*)modelAllocArray(room + 1, sizeof(bool));
    int ids = initIdValues(&index->byId, bound, room);
    int parents = initIdValues(&index->byParent, bound, room);
    if (!index->items || !index->childNext || !index->sharedId || !ids || !parents)
        return kOutOfMemory;
    size_t i = 0;
    for (NoteItem* it = list->head; it; it = it->next, ++i) {
        int32_t* carrier = idValue(&index->byId, it->id);
        int32_t* children = idValue(&index->byParent, it->parentId);
        if (i == room || !carrier || !children)
            return kTooSmall;
        index->items[i] = it;
        if (*carrier == -1)
            *carrier = (int32_t)i;
        else
            index->sharedId[*carrier] = true;
        // Each new item goes first in its parent's chain: the walk takes
        // every child whatever the order.
        index->childNext[i] = *children;
        *children = (int32_t)i;
    }
    index->count = i;
    return kIndexed;
}

// The list's count sizes the index, and its highest identifier the direct
// tables while that stays near the count. Should either fall short of the
// records, the list is counted and the tables hashed.
static int indexList(const NoteList* list, ListIndex* index) {
    size_t room = list->count > 0 ? (size_t)list->count : 0;
    IndexResult result = buildListIndex(list, room, directIdBound(list->highestId, room), index);
    if (result == kIndexed)
        return 1;
    freeListIndex(index);
    if (result == kOutOfMemory)
        return 0;
    size_t n = 0;
    for (const NoteItem* it = list->head; it; it = it->next)
        ++n;
    if (buildListIndex(list, n, 0, index) == kIndexed)
        return 1;
    freeListIndex(index);
    return 0;
}

static bool idShared(const ListIndex* index, uint32_t id) {
    int32_t first = findIdValue(&index->byId, id);
    return first >= 0 && index->sharedId[first];
}

// 0 when memory ran short; nothing is then collected. An item that names a
// parent's identifier belongs to that parent unless the view shows it under
// another item: only an identifier that two items carry allows that, so the
// view's placement is worked out only for such a parent.
static int collectDescendants(const NoteList* list, NoteItem* top, Descendants* out) {
    memset(out, 0, sizeof *out);
    ListIndex index;
    if (!indexList(list, &index))
        return 0;
    size_t n = index.count;
    int32_t* queue = (int32_t*)modelAllocArray(n + 1, sizeof(int32_t));
    bool* taken = (bool*)modelAllocArray(n + 1, sizeof(bool));
    NoteItem** collected = (NoteItem**)modelAllocArray(n + 1, sizeof(NoteItem*));
    size_t placedCount = 0;
    Placement* placed = nullptr;
    int ok = queue && taken && collected;
    size_t found = 0;
    for (size_t k = 0; ok && k < n && !found; ++k)
        if (index.items[k] == top) {
            taken[k] = true;
            queue[found++] = (int32_t)k;
        }
    for (size_t next = 0; ok && next < found; ++next) {
        NoteItem* parent = index.items[queue[next]];
        collected[next] = parent;
        if (next > 0 && parent->level <= 1)
            out->strayTop = true;
        // An identifier that a collected item shares with one left behind
        // makes the view's placement ambiguous: then every node is checked.
        bool ambiguous = idShared(&index, parent->id);
        if (ambiguous)
            out->sharedIds = true;
        if (parent->id == 0)
            continue;
        if (ambiguous && !placed) {
            placed = placeItems(list, &placedCount);
            ok = placed != nullptr;
            if (!ok)
                break;
        }
        for (int32_t child = findIdValue(&index.byParent, parent->id); child != -1;
             child = index.childNext[child]) {
            if (taken[child] ||
                (ambiguous && !belongsTo(placed, placedCount, index.items[child], parent)))
                continue;
            taken[child] = true;
            queue[found++] = child;
        }
    }
    freeListIndex(&index);
    modelFree(queue);
    modelFree(placed);
    if (!ok) {
        modelFree(taken);
        modelFree(collected);
        memset(out, 0, sizeof *out);
        return 0;
    }
    out->items = collected;
    out->gone = taken;
    out->positions = n;
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
    if (gOptions.viewMode != kDefaultView || set.sharedIds || set.strayTop) {
        std::sort(set.items + 1, set.items + set.count, byAddress);
        deleteOtherNodes(tree, &set);
    }
    size_t removed = removeFlaggedItems(&gList, set.gone, set.positions);
    (void)removed;
    gProgram.documentChanged = 1;
    modelFree(set.items);
    modelFree(set.gone);
}
