#include "exporttree.h"

#include "keymap.h"
#include "notemodel.h"
#include "viewplan.h"

#include <string.h>

static uint64_t pointerKey(const NoteItem* item) {
    return (uint64_t)(uintptr_t)item;
}

void freeExportTree(ExportTree* tree) {
    modelFree(tree->items);
    modelFree(tree->parent);
    modelFree(tree->firstChild);
    modelFree(tree->nextSibling);
    memset(tree, 0, sizeof *tree);
    tree->topFirst = -1;
}

int planExport(const NoteList* list, ExportTree* tree) {
    memset(tree, 0, sizeof *tree);
    tree->topFirst = -1;
    size_t n = 0;
    for (const NoteItem* it = list->head; it; it = it->next)
        ++n;
    ViewPlan plan;
    if (!planDefaultView(list, 0, &plan))
        return 0;
    tree->items = (const NoteItem**)modelAllocArray(n + 1, sizeof(NoteItem*));
    tree->parent = (int32_t*)modelAllocArray(n + 1, sizeof(int32_t));
    tree->firstChild = (int32_t*)modelAllocArray(n + 1, sizeof(int32_t));
    tree->nextSibling = (int32_t*)modelAllocArray(n + 1, sizeof(int32_t));
    int32_t* lastChild = (int32_t*)modelAllocArray(n + 1, sizeof(int32_t));
    int32_t* depth = (int32_t*)modelAllocArray(n + 1, sizeof(int32_t));
    KeyMap placed, byId;
    memset(&placed, 0, sizeof placed);
    memset(&byId, 0, sizeof byId);
    int ok = tree->items && tree->parent && tree->firstChild && tree->nextSibling && lastChild &&
             depth && initKeyMap(&placed, (size_t)plan.count) && initKeyMap(&byId, n);
    if (ok) {
        // The view's nodes keep their indices: a parent comes before its children.
        int32_t topLast = -1;
        for (int32_t i = 0; i < plan.count; ++i) {
            tree->items[i] = plan.nodes[i].item;
            tree->parent[i] = plan.nodes[i].parent;
            tree->firstChild[i] = plan.firstChild[i];
            tree->nextSibling[i] = plan.nextSibling[i];
            lastChild[i] = -1;
            int32_t up = plan.nodes[i].parent;
            depth[i] = up == kPlanRoot ? 1 : depth[up] + 1;
            if (up == kPlanRoot)
                topLast = i;
            else
                lastChild[up] = i;
            keyMapRemember(&placed, pointerKey(plan.nodes[i].item), i);
            keyMapRemember(&byId, plan.nodes[i].item->id, i);
        }
        tree->topFirst = plan.rootFirstChild;
        tree->count = plan.count;
        for (const NoteItem* item = list->head; item; item = item->next) {
            if (keyMapFind(&placed, pointerKey(item)) != -1)
                continue;
            int32_t node = tree->count++;
            int32_t up = keyMapFind(&byId, item->parentId);
            if (item->parentId == 0 || (up != -1 && depth[up] >= kMaxViewDepth))
                up = -1;
            tree->items[node] = item;
            tree->parent[node] = up;
            tree->firstChild[node] = -1;
            tree->nextSibling[node] = -1;
            lastChild[node] = -1;
            depth[node] = up == -1 ? 1 : depth[up] + 1;
            int32_t* last = up == -1 ? &topLast : &lastChild[up];
            if (*last != -1)
                tree->nextSibling[*last] = node;
            else if (up == -1)
                tree->topFirst = node;
            else
                tree->firstChild[up] = node;
            *last = node;
            keyMapRemember(&byId, item->id, node);
            ++tree->leftOut;
        }
    }
    modelFree(lastChild);
    modelFree(depth);
    freeKeyMap(&placed);
    freeKeyMap(&byId);
    freeViewPlan(&plan);
    if (!ok)
        freeExportTree(tree);
    return ok;
}

int32_t nextExportNode(const ExportTree* tree, int32_t node, int32_t* depth, int32_t* closed) {
    *closed = 0;
    if (node == -1) {
        *depth = 1;
        return tree->topFirst;
    }
    if (tree->firstChild[node] != -1) {
        ++*depth;
        return tree->firstChild[node];
    }
    // The node itself ends here, then every ancestor whose last child it was.
    while (node != -1) {
        ++*closed;
        if (tree->nextSibling[node] != -1)
            return tree->nextSibling[node];
        node = tree->parent[node];
        --*depth;
    }
    return -1;
}
