// The command handlers, one group per concern; onCommand asks each in turn.
// Each returns true when the identifier is one of its commands.
#pragma once

#include "notetypes.h"

#include <windows.h>
#include <commctrl.h>

bool onItemCommand(HWND mainWindow, UINT command);
bool onViewCommand(HWND mainWindow, UINT command);
bool onFileCommand(HWND mainWindow, UINT command);
bool onSearchCommand(HWND mainWindow, UINT command);

// "Delete Item": asks, then removes the selected item, its descendants and
// every node that shows one of them.
void deleteSelectedItem(HWND mainWindow);
// The removal after the question: item and node are the selected ones.
void deleteItemWithDescendants(HWND mainWindow, HTREEITEM node, NoteItem* item);

// The selected node and its item; the item is null for the root node and
// group headings, both are null when nothing is selected.
HTREEITEM selectedNode(NoteItem** item);

// The platform's notice that memory ran short, owned by the main window.
void reportOutOfMemory(HWND mainWindow);
