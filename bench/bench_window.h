// What the benchmarks on the real main window share: a clock, and a main
// window on an empty note file in the temporary folder. Their documents come
// from the shared document builder and its pseudo-random items.
#pragma once

#include <windows.h>

double nowMs();

// Empties the tree, the list and the categories (the nodes point into the
// list, so they go first) and restarts the random sequence.
void beginBenchDocument();

// Starts the program's main window on a fresh file of this name; 0 when it
// could not start. endBenchWindow closes it and removes the file.
int startBenchWindow(const wchar_t* fileName);
void endBenchWindow();
