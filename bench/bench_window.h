// What the benchmarks on the real main window share: a clock, a main window
// on an empty note file in the temporary folder, and a count of a node's
// children. Their documents come from the shared document builder and its
// pseudo-random items.
#pragma once

#include <windows.h>

#include <commctrl.h>

double nowMs();

// Empties the tree, the list and the categories (the nodes point into the
// list, so they go first) and restarts the random sequence.
void beginBenchDocument();

// Starts the program's main window on a fresh file of this name; 0 when it
// could not start. endBenchWindow closes it and removes the file.
int startBenchWindow(const wchar_t* fileName);
void endBenchWindow();

// The number of nodes right under this one of the tree view.
int countChildren(HWND tree, HTREEITEM parent);
