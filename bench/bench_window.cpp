#include "bench_window.h"

#include "notemodel.h"
#include "program.h"
#include "random_items.h"

#include <commctrl.h>
#include <stdio.h>

static wchar_t gPath[MAX_PATH];

double nowMs() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return (double)counter.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

void beginBenchDocument() {
    TreeView_DeleteAllItems(gProgram.treeView);
    clearList(&gList);
    clearCategories(&gCategories);
    resetRandom();
}

int startBenchWindow(const wchar_t* fileName) {
    initProgram();
    DWORD length = GetTempPathW(MAX_PATH, gPath);
    if (length == 0 || length + lstrlenW(fileName) >= MAX_PATH)
        return 0;
    lstrcatW(gPath, fileName);
    DeleteFileW(gPath);
    if (!startInstance(GetModuleHandleW(nullptr), gPath, SW_SHOW)) {
        fprintf(stderr, "could not start the main window\n");
        return 0;
    }
    return 1;
}

void endBenchWindow() {
    // The nodes point into the list, so the tree goes before the list.
    TreeView_DeleteAllItems(gProgram.treeView);
    DestroyWindow(gProgram.mainWindow);
    endProgram();
    DeleteFileW(gPath);
}

int countChildren(HWND tree, HTREEITEM parent) {
    int count = 0;
    for (HTREEITEM child = TreeView_GetChild(tree, parent); child;
         child = TreeView_GetNextSibling(tree, child))
        ++count;
    return count;
}
