// The command handler and the operations every group of commands shares.
#include "commands.h"

#include "commandparts.h"
#include "itemdialogs.h"
#include "notemodel.h"
#include "pocketpc.h"
#include "program.h"
#include "resource.h"
#include "treefill.h"

bool onCommand(HWND mainWindow, UINT command) {
    if (command == IDM_ABOUT) {
        runAboutDialog(mainWindow);
        return true;
    }
    return onItemCommand(mainWindow, command) || onViewCommand(mainWindow, command) ||
           onFileCommand(mainWindow, command) || onSearchCommand(mainWindow, command);
}

HTREEITEM selectedNode(NoteItem** item) {
    HTREEITEM node = gProgram.treeView ? TreeView_GetSelection(gProgram.treeView) : nullptr;
    if (item)
        *item = node ? nodeItem(gProgram.treeView, node) : nullptr;
    return node;
}

void reportOutOfMemory(HWND mainWindow) {
    SHShowOutOfMemory(mainWindow, 0);
}

int storeNotePane(HWND mainWindow, HTREEITEM node) {
    NoteItem* item = node ? nodeItem(gProgram.treeView, node) : nullptr;
    if (!item)
        return 1;
    modelFree(item->note);
    item->note = nullptr;
    int length = gProgram.notePane ? GetWindowTextLengthW(gProgram.notePane) : 0;
    if (length < 1)
        return 1;
    WCHAR* text = (WCHAR*)modelAllocArray((size_t)length + 1, sizeof(WCHAR));
    if (!text) {
        reportOutOfMemory(mainWindow);
        return 0;
    }
    GetWindowTextW(gProgram.notePane, text, length + 1);
    // The pane may hold a zero character; the note ends at the first one,
    // as it would after a save and a load.
    if (text[0] == 0) {
        modelFree(text);
        return 1;
    }
    item->note = (WideChar*)text;
    return 1;
}
