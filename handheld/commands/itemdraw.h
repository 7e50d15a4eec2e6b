// Custom drawing of tree nodes and the owner-drawn entries of the context
// menu's "Icon" submenu.
#pragma once

#include <windows.h>
#include <commctrl.h>

LRESULT drawTreeNode(HWND mainWindow, NMTVCUSTOMDRAW* draw);
void measureIconMenuItem(HWND mainWindow, MEASUREITEMSTRUCT* measure);
void drawIconMenuItem(HWND mainWindow, const DRAWITEMSTRUCT* draw);
