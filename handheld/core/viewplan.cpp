#include "viewplan.h"

#include "keymap.h"
#include "notemodel.h"

#include <string.h>

namespace {

struct Builder {
    ViewPlan* plan;
    int32_t* lastChild;  // per node plus root: last child, for appending
    int32_t* depth;      // per node: 1 under the root
    int32_t* childIndex; // per node: position among its siblings
    int32_t* childCount; // per node plus root
    KeyMap rootChildren; // first level-1 node per identifier
    KeyMap anywhere;     // pre-order-first node per identifier
};

// True when node a comes before node b in a pre-order walk of the tree.
bool comesFirst(const Builder* b, int32_t a, int32_t bNode) {
    const PlanNode* nodes = b->plan->nodes;
    int32_t x = a, y = bNode;
    while (b->depth[x] > b->depth[y])
        x = nodes[x].parent;
    while (b->depth[y] > b->depth[x])
        y = nodes[y].parent;
    if (x == y)
        return b->depth[a] <= b->depth[bNode]; // an ancestor comes first
    while (nodes[x].parent != nodes[y].parent) {
        x = nodes[x].parent;
        y = nodes[y].parent;
    }
    return b->childIndex[x] < b->childIndex[y];
}

// The builder's per-node arrays have one slot more than there can be nodes;
// that last slot stands for the root node.
void insertNode(Builder* b, NoteItem* item, int32_t parent, int32_t rootSlot) {
    ViewPlan* plan = b->plan;
    int32_t node = plan->count++;
    plan->nodes[node].item = item;
    plan->nodes[node].parent = parent;
    plan->firstChild[node] = -1;
    plan->nextSibling[node] = -1;
    b->lastChild[node] = -1;
    b->childCount[node] = 0;

    int32_t up = parent == kPlanRoot ? rootSlot : parent;
    if (b->lastChild[up] == -1)
        plan->firstChild[up] = node;
    else
        plan->nextSibling[b->lastChild[up]] = node;
    b->lastChild[up] = node;
    b->childIndex[node] = b->childCount[up]++;
    b->depth[node] = parent == kPlanRoot ? 1 : b->depth[parent] + 1;

    size_t slot = keyMapSlot(&b->anywhere, item->id);
    int32_t best = b->anywhere.values[slot];
    if (best == -1) {
        b->anywhere.keys[slot] = item->id;
        b->anywhere.values[slot] = node;
    } else if (comesFirst(b, node, best)) {
        b->anywhere.values[slot] = node;
    }
    if (parent == kPlanRoot) {
        keyMapRemember(&b->rootChildren, item->id, node);
    }
}

} // namespace

int32_t planFirstChild(const ViewPlan* plan, int32_t node) {
    return node == kPlanRoot ? plan->rootFirstChild : plan->firstChild[node];
}

void freeViewPlan(ViewPlan* plan) {
    modelFree(plan->nodes);
    modelFree(plan->firstChild);
    modelFree(plan->nextSibling);
    memset(plan, 0, sizeof *plan);
}

int planDefaultView(const NoteList* list, int hideChecked, ViewPlan* plan) {
    memset(plan, 0, sizeof *plan);
    plan->rootFirstChild = -1;
    size_t n = 0;
    for (const NoteItem* it = list->head; it; it = it->next)
        ++n;

    Builder b;
    memset(&b, 0, sizeof b);
    b.plan = plan;
    plan->nodes = (PlanNode*)modelAllocArray(n + 1, sizeof(PlanNode));
    plan->firstChild = (int32_t*)modelAllocArray(n + 1, sizeof(int32_t));
    plan->nextSibling = (int32_t*)modelAllocArray(n + 1, sizeof(int32_t));
    b.lastChild = (int32_t*)modelAllocArray(n + 1, sizeof(int32_t));
    b.depth = (int32_t*)modelAllocArray(n + 1, sizeof(int32_t));
    b.childIndex = (int32_t*)modelAllocArray(n + 1, sizeof(int32_t));
    b.childCount = (int32_t*)modelAllocArray(n + 1, sizeof(int32_t));
    NoteItem** queue = (NoteItem**)modelAllocArray(n + 1, sizeof(NoteItem*));
    int ok = plan->nodes && plan->firstChild && plan->nextSibling && b.lastChild && b.depth &&
             b.childIndex && b.childCount && queue && initKeyMap(&b.rootChildren, n) &&
             initKeyMap(&b.anywhere, n);
    if (ok) {
        int32_t rootSlot = (int32_t)n;
        plan->firstChild[rootSlot] = -1;
        b.lastChild[rootSlot] = -1;
        b.childCount[rootSlot] = 0;
        size_t queued = 0;
        for (NoteItem* item = list->head; item; item = item->next) {
            if (hideChecked && item->checkState == kChecked)
                continue;
            if (item->level == 1) {
                insertNode(&b, item, kPlanRoot, rootSlot);
            } else if (item->level == 2) {
                int32_t parent = keyMapFind(&b.rootChildren, item->parentId);
                if (parent != -1)
                    insertNode(&b, item, parent, rootSlot);
                else
                    queue[queued++] = item;
            } else {
                queue[queued++] = item;
            }
        }
        for (size_t i = 0; i < queued; ++i) {
            int32_t parent = keyMapFind(&b.anywhere, queue[i]->parentId);
            if (parent != -1 && b.depth[parent] < kMaxViewDepth)
                insertNode(&b, queue[i], parent, rootSlot);
        }
        plan->rootFirstChild = plan->firstChild[rootSlot];
    }
    modelFree(queue);
    modelFree(b.lastChild);
    modelFree(b.depth);
    modelFree(b.childIndex);
    modelFree(b.childCount);
    freeKeyMap(&b.rootChildren);
    freeKeyMap(&b.anywhere);
    if (!ok)
        freeViewPlan(plan);
    return ok;
}
