// The tree the exports write: the Default View with every item, checked ones
// too, and then each item that view leaves out. Such an item (its parent is
// missing, it is part of a parentId cycle, or it nests too deep) goes under
// its parent where that is already placed and shallow enough, otherwise to
// the top level. Every item of the document appears exactly once.
#pragma once

#include "notetypes.h"

struct ExportTree {
    const NoteItem** items; // per node
    int32_t* parent;        // per node: the parent node, -1 at the top level
    int32_t* firstChild;    // per node: -1 when none
    int32_t* nextSibling;   // per node: -1 at the end
    int32_t count;
    int32_t topFirst; // first top-level node, -1 when empty
    int32_t leftOut;  // items the Default View does not show
};

// 0 when memory ran short (the tree is then empty).
int planExport(const NoteList* list, ExportTree* tree);
void freeExportTree(ExportTree* tree);

// Depth-first, pre-order, without recursion: the next node after node,
// with *depth (1 at the top level) and *closed, the number of nodes whose
// subtrees end on the way (so a writer can close them). -1 at the end.
int32_t nextExportNode(const ExportTree* tree, int32_t node, int32_t* depth, int32_t* closed);
