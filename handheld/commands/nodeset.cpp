// The bounded node sets that stand for every node once they overflow: the
// program's records of ticked boxes and of open nodes.
#include "treenotify.h"

void addToNodeSet(NodeSet* set, HTREEITEM node) {
    if (set->all)
        return;
    for (int i = 0; i < set->count; ++i)
        if (set->nodes[i] == node)
            return;
    if (set->count == set->room) {
        set->all = true;
        set->count = 0;
        return;
    }
    set->nodes[set->count++] = node;
}

void removeFromNodeSet(NodeSet* set, HTREEITEM node) {
    for (int i = 0; i < set->count; ++i) {
        if (set->nodes[i] == node) {
            set->nodes[i] = set->nodes[--set->count];
            return;
        }
    }
}

void clearNodeSet(NodeSet* set) {
    set->count = 0;
    set->all = false;
}
