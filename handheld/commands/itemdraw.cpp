#include "itemdraw.h"

LRESULT drawTreeNode(HWND mainWindow, NMTVCUSTOMDRAW* draw) {
    return CDRF_DODEFAULT;
}

void measureIconMenuItem(HWND mainWindow, MEASUREITEMSTRUCT* measure) {}

void drawIconMenuItem(HWND mainWindow, const DRAWITEMSTRUCT* draw) {}
