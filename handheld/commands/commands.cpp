// The command handler and the operations every group of commands shares.
#include "commands.h"

#include "commandparts.h"
#include "itemdialogs.h"
#include "notemodel.h"
#include "pocketpc.h"
#include "program.h"
#include "resource.h"
#include "treefill.h"

#include <wchar.h>

static int gChangeDepth = 0;
static bool gShowingNote = false;

// Every command may fill, collapse or delete nodes, so each one runs as one
// change of the program's own. A pane that could not be stored stops the
// command: the typed text stays where the user sees it.
bool onCommand(HWND mainWindow, UINT command) {
    if (!beginProgramChange(mainWindow))
        return true;
    bool known = true;
    if (command == IDM_ABOUT)
        runAboutDialog(mainWindow);
    else
        known = onItemCommand(mainWindow, command) || onViewCommand(mainWindow, command) ||
                onFileCommand(mainWindow, command) || onSearchCommand(mainWindow, command);
    endProgramChange(mainWindow);
    return known;
}

int beginProgramChange(HWND mainWindow) {
    if (gChangeDepth++ > 0)
        return 1; // the outer change has stored the pane
    HTREEITEM selected = selectedNode(nullptr);
    if (!selected || selected == TreeView_GetRoot(gProgram.treeView) ||
        storeNotePane(mainWindow, selected))
        return 1;
    --gChangeDepth;
    return 0;
}

void endProgramChange(HWND mainWindow) {
    if (gChangeDepth > 0 && --gChangeDepth > 0)
        return;
    showSelection(mainWindow);
}

bool inProgramChange() {
    return gChangeDepth > 0;
}

bool showingNote() {
    return gShowingNote;
}

static void enableImageButton(UINT command, bool enabled) {
    if (gProgram.menuBar)
        SendMessageW(gProgram.menuBar, TB_ENABLEBUTTON, command, MAKELPARAM(enabled ? 1 : 0, 0));
}

// The pane is written only when its text differs, so a command that left
// the selection alone keeps the caret and the pane's undo where they were.
static void showNote(const WCHAR* note) {
    HWND pane = gProgram.notePane;
    if (!pane)
        return;
    int length = GetWindowTextLengthW(pane);
    bool same = length == lstrlenW(note);
    if (same && length > 0) {
        WCHAR* text = (WCHAR*)modelAllocArray((size_t)length + 1, sizeof(WCHAR));
        same = text && GetWindowTextW(pane, text, length + 1) == length && wcscmp(text, note) == 0;
        modelFree(text);
    }
    if (same)
        return;
    gShowingNote = true;
    SetWindowTextW(pane, note);
    gShowingNote = false;
}

// The themed edit control paints itself and its frame at once when it is
// enabled or disabled, which costs as much as deleting thousands of nodes.
// Shown to nothing meanwhile (the style alone, as a window whose drawing is
// held back), it changes its state only, and the whole pane is painted with
// the next paint messages instead, as after every other change of the pane.
static void enablePane(HWND pane, bool enabled) {
    LONG style = GetWindowLongW(pane, GWL_STYLE);
    bool changes = (IsWindowEnabled(pane) != FALSE) != enabled;
    if (!changes || !(style & WS_VISIBLE)) {
        EnableWindow(pane, enabled);
        return;
    }
    SetWindowLongW(pane, GWL_STYLE, style & ~WS_VISIBLE);
    EnableWindow(pane, enabled);
    SetWindowLongW(pane, GWL_STYLE, GetWindowLongW(pane, GWL_STYLE) | WS_VISIBLE);
    RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void showSelection(HWND mainWindow) {
    (void)mainWindow;
    HWND tree = gProgram.treeView;
    HTREEITEM node = tree ? TreeView_GetSelection(tree) : nullptr;
    bool isRoot = node && node == TreeView_GetRoot(tree);
    const NoteItem* item = node && !isRoot ? nodeItem(tree, node) : nullptr;
    showNote(item && item->note ? (const WCHAR*)item->note : L"");
    if (gProgram.notePane)
        enablePane(gProgram.notePane, item != nullptr);
    enableImageButton(IDM_MODIFY_ITEM, isRoot || item);
    enableImageButton(IDM_DELETE_ITEM, item != nullptr);
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
    int length = gProgram.notePane ? GetWindowTextLengthW(gProgram.notePane) : 0;
    WCHAR* text = nullptr;
    if (length > 0) {
        // The old note goes only once the new one is held: a shortage
        // keeps it.
        text = (WCHAR*)modelAllocArray((size_t)length + 1, sizeof(WCHAR));
        if (!text) {
            reportOutOfMemory(mainWindow);
            return 0;
        }
        GetWindowTextW(gProgram.notePane, text, length + 1);
        // The pane may hold a zero character; the note ends at the first
        // one, as it would after a save and a load.
        if (text[0] == 0) {
            modelFree(text);
            text = nullptr;
        }
    }
    modelFree(item->note);
    item->note = (WideChar*)text;
    return 1;
}
