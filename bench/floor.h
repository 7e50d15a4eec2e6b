// The floor of a command: the bare tree view, with the program's styles, its
// font and an image list of the same size, doing the node work the command
// cannot avoid, with no program code around it. Its window answers every
// notification the cheapest way: a constant text on request, no drawing of
// its own, nothing done on expanding. Each benchmark times the program and
// this control in the same run and prints both with their ratio.
#pragma once

#include "notetypes.h"

#include <stdint.h>
#include <vector>
#include <windows.h>
#include <commctrl.h>

// The bare control, made on first use beside the program's tree view (the
// program's main window must exist).
HWND floorTree();

// The nodes as floorInsert made them, by index; the root node apart.
HTREEITEM floorRoot();
HTREEITEM floorNode(int32_t index);
int32_t floorCount();

// A fill's node work on an empty control: the root node, then node i under
// parents[i] (an earlier index, or -1 for the root node) at the end of its
// siblings, text on request and a check box, with redrawing off; then the
// root selected, its children sorted into rootRank order and the root
// opened. Returns the milliseconds spent.
double floorFill(const std::vector<int32_t>& parents, const std::vector<int32_t>& rootRank);

// Every node deleted, as the next fill deletes them; milliseconds.
double floorClear();

// One more node at the end of parent's children; its index is
// floorCount() - 1 afterwards. floorAppend also selects it and scrolls it
// into view, as a copy is placed.
HTREEITEM floorAdd(HTREEITEM parent);
HTREEITEM floorAppend(HTREEITEM parent);

// The children of node sorted by the control into rank order: the
// comparison reads rank[index] of the two nodes, nothing else.
void floorSort(HTREEITEM node, const std::vector<int32_t>& rank);

// rank[i] = i: the order the nodes have.
void identityRank(size_t count, std::vector<int32_t>* rank);

// The siblings (node indices in their present order) ranked as the program
// arranges them by key, ties keeping their order: rank[sibling] = position.
void rankByItems(const std::vector<int32_t>& siblings, const std::vector<NoteItem*>& items,
                 int arrangeKey, int ascending, std::vector<int32_t>* rank);

// The Default View's shape for the list as it stands: parents by index and
// the item each node shows; topLevel the indices of the root's children.
void defaultViewShape(int hideChecked, std::vector<int32_t>* parents, std::vector<NoteItem*>* items,
                      std::vector<int32_t>* topLevel);

// A grouped view's shape: a node per group under the root node, every group
// before the first item, then each group's items below it.
void groupedViewShape(int viewMode, int hideChecked, std::vector<int32_t>* parents);

// The shape of the view the options name, with the root's children ranked
// as the fill's opening of the root arranges them.
void viewShape(std::vector<int32_t>* parents, std::vector<int32_t>* rootRank);

// The program's figure beside the control's.
struct Figure {
    double ms, floor;
};

// Keeps the best of the runs of one figure, each half on its own.
void keepBest(Figure* figure, double ms, double floor, int run);

// "--sizes 1000,10000" picks the item counts; 1k, 10k and 100k otherwise.
// "--runs 5" sets how many runs each figure is the best of (runsFor).
// Returns how many there are (at most 3).
int benchSizes(int argc, char** argv, int sizes[3]);

// The machine is shared: best of three below 100k, one run at 100k.
int runsFor(int items);

// A floor below 0 is none: a figure of the program's alone (a file write).
void printFigureHeader(const char* first, const int* sizes, int count);
void printFigures(const char* label, const Figure* figures, int count, const char* check);

// The clearing the next fill does before it inserts anything: the program
// fills an empty document, so only the old nodes' removal (and what the
// program does around it) is timed. The list is untouched.
double timeNextFillClearing();

// The process's private bytes (committed memory of its own).
size_t privateBytes();
