// Arrangement of sibling lists: the tree view sorts the direct children of
// one node by the document's arrangeKey and ascending.
#pragma once

#include <windows.h>
#include <commctrl.h>

void sortChildren(HWND tree, HTREEITEM node);
