// The Default View worked out without a tree control: which items are shown,
// under which parent and in which order. The window's fill inserts exactly
// these nodes; tools print them as an outline.
//
// Level-1 items go under the root; every other item goes under the node that
// carries its parent's identifier, wherever the two stand in the list (moving
// an item by dragging leaves it before its new parent). Where identifiers
// repeat, the first node in pre-order that carries the identifier takes the
// children. Siblings keep list order. Items whose chain of parents never
// reaches the root (a missing parent, a cycle) are not shown; a hidden
// checked item takes its whole subtree with it.
#pragma once

#include "notetypes.h"

enum { kPlanRoot = -1 };

// Nodes deeper than this are not shown, like items whose parent is missing:
// the tree control recurses once per level when it deletes nodes, and only a
// damaged or crafted file nests this deep.
enum { kMaxViewDepth = 100000 };

struct PlanNode {
    NoteItem* item;
    int32_t parent; // index of the parent node, kPlanRoot for the root node
    // The item's icon and check state as the planner read them, in list
    // order: the fill inserts in display order, where the records lie
    // scattered, and needs nothing else of them.
    uint16_t icon, checkState;
};

struct ViewPlan {
    PlanNode* nodes; // in insertion order; a parent always comes before its children
    int32_t count;
    int32_t* firstChild;  // per node: first child or -1
    int32_t* nextSibling; // per node: next sibling or -1
    int32_t rootFirstChild;
};

// 0 when memory ran short (the plan is then empty).
int planDefaultView(const NoteList* list, int hideChecked, ViewPlan* plan);
void freeViewPlan(ViewPlan* plan);

// Children of a node in display order: start with planFirstChild(plan, node)
// (kPlanRoot for the root) and follow nextSibling until -1.
int32_t planFirstChild(const ViewPlan* plan, int32_t node);

// After an item has moved: every item the Default View shows below it (with
// checked items shown) takes its depth there as its level, counted from the
// item's own level. 0 when memory ran short; the levels then stay.
int relevelBelow(const NoteList* list, const NoteItem* top);
