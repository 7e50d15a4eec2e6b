// What the main window does with the tree view's notifications and with the
// stylus while an item is dragged; the item context menu.
#pragma once

#include <windows.h>
#include <commctrl.h>

struct DragState {
    bool dragging;
    HTREEITEM draggedNode;
};
extern DragState gDrag;

LRESULT onTreeNotify(HWND mainWindow, NMHDR* header);
HMENU buildItemMenu();
void trackDrag(HWND mainWindow, unsigned x, unsigned y);
void dropDragged(HWND mainWindow);
