// The benchmarks' documents come from one pseudo-random sequence, restarted
// for each document, so that every run and every build of a benchmark times
// the same items in the same order.
#pragma once

#include "notetypes.h"

#include <stddef.h>
#include <stdint.h>

void resetRandom();
uint32_t nextRandom();

// "xY item 12": two random letters first, so sorting by name shuffles.
void randomName(char* name, size_t size, int index);

// Item index + 1 with a random name, otherwise as a new item starts.
NoteItem randomlyNamedItem(int index);

// The same with one of the sixteen item icons, and one box in five ticked.
NoteItem randomItem(int index);

// One of fifty categories, "Category 0" to "Category 49".
void randomCategory(NoteItem* item);

// Two items in three due on a day of 2024.
void randomDueDate(NoteItem* item);
