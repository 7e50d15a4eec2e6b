// The Default View worked out without a tree control: which items are shown,
// under which parent and in which order. The window's fill inserts exactly
// these nodes; tools print them as an outline.
//
// The rules are those of the two-pass fill: level-1 items go under the root,
// level-2 items under the first level-1 node with their parent's identifier,
// and every other item waits in a queue. The queue is then placed in order,
// each item under the first node in pre-order that carries its parent's
// identifier at that moment. Items that find no parent are not shown; a
// hidden checked item takes its whole subtree with it.
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
