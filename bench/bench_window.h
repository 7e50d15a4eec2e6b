// What the benchmarks on the real main window share: a clock, the same
// pseudo-random sequence on every run, and a main window on an empty note
// file in the temporary folder.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <windows.h>

double nowMs();

// Restarts the sequence, so every run builds the same documents.
void resetRandom();
uint32_t nextRandom();

// "xY item 12": two random letters first, so sorting by name shuffles.
void randomName(char* name, size_t size, int index);

// Empties the tree, the list and the categories (the nodes point into the
// list, so they go first) and restarts the random sequence.
void beginBenchDocument();

// Starts the program's main window on a fresh file of this name; 0 when it
// could not start. endBenchWindow closes it and removes the file.
int startBenchWindow(const wchar_t* fileName);
void endBenchWindow();
