// The commands that act on one item: new, modify, copy, priority and icon.
// Each acts on the node selected at the time and does nothing when there is
// none, or when the node carries no item where one is needed.
#include "commandparts.h"

#include "commands.h"
#include "itemdialogs.h"
#include "notemodel.h"
#include "program.h"
#include "resource.h"
#include "sorting.h"
#include "treefill.h"
#include "treenode.h"

namespace {

enum { kCopyLabelChars = 260 };

} // namespace

static void modifySelected(HWND mainWindow) {
    NoteItem* item = nullptr;
    HTREEITEM node = selectedNode(&item);
    HWND tree = gProgram.treeView;
    if (!node)
        return;
    bool isRoot = node == TreeView_GetRoot(tree);
    if (!isRoot && !item)
        return; // a group heading has nothing to modify
    // The pane is in the item already: every command stores it first.
    if (isRoot) {
        ItemEditorContext context = {0, tree, gProgram.notePane, nullptr};
        runModifyTitleDialog(mainWindow, &context);
        return;
    }
    openItemEditor(mainWindow, tree, gProgram.notePane, 0);
}

// The copy gets its own note before it joins the list, so a shortage leaves
// neither a record nor a node behind, and no message.
static void copySelected() {
    HTREEITEM node = selectedNode(nullptr);
    HWND tree = gProgram.treeView;
    // One read for the item and what its node shows: each message costs the
    // control a search for the node.
    WCHAR label[kCopyLabelChars];
    NodeFacts shown;
    if (!node || !readNode(tree, node, TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE,
                           &shown, label, kCopyLabelChars))
        return;
    NoteItem* source = shown.item;
    if (!source)
        return;
    HTREEITEM parent = TreeView_GetParent(tree, node);

    NoteItem draft = *source;
    // The copy shows the box as it stands, which a tick not yet taken
    // over has in the node only; its item starts in step with it.
    draft.checkState = (uint16_t)shown.box;
    draft.next = nullptr;
    draft.note = nullptr;
    if (source->note) {
        draft.note = copyNote(source->note, noteLength(source));
        if (!draft.note)
            return;
    }
    NoteItem* copy = appendNew(&gList, &draft);
    if (!copy) {
        modelFree(draft.note);
        return;
    }
    shown.item = copy;
    HTREEITEM made = insertNodeCopy(tree, parent ? parent : TVI_ROOT, TVI_LAST, &shown, label);
    if (!made) {
        removeItem(&gList, copy); // the list's last record: the copy and its note go
        return;
    }
    gProgram.documentChanged = 1;
    TreeView_SelectItem(tree, made);
    TreeView_EnsureVisible(tree, made);
}

static void setPriority(UINT command) {
    NoteItem* item = nullptr;
    HTREEITEM node = selectedNode(&item);
    if (!item)
        return;
    item->priority = (uint16_t)(command - IDM_PRIORITY_FIRST);
    gProgram.documentChanged = 1;
    HTREEITEM parent = TreeView_GetParent(gProgram.treeView, node);
    if (parent)
        sortChildren(gProgram.treeView, parent);
}

static void setIcon(UINT command) {
    NoteItem* item = nullptr;
    HTREEITEM node = selectedNode(&item);
    if (!item)
        return;
    item->icon = (uint16_t)(command - IDS_ICON_NAME_FIRST + kFirstItemIcon);
    gProgram.documentChanged = 1;
    setNodeIcon(gProgram.treeView, node, item->icon);
}

bool onItemCommand(HWND mainWindow, UINT command) {
    switch (command) {
    case IDM_NEW_ITEM:
        openItemEditor(mainWindow, gProgram.treeView, gProgram.notePane, 1);
        return true;
    case IDM_MODIFY_ITEM:
        modifySelected(mainWindow);
        return true;
    case IDM_DELETE_ITEM:
        deleteSelectedItem(mainWindow);
        return true;
    case IDM_CREATE_COPY:
        copySelected();
        return true;
    default:
        break;
    }
    if (command >= IDM_PRIORITY_FIRST && command <= IDM_PRIORITY_LAST) {
        setPriority(command);
        return true;
    }
    if (command >= IDS_ICON_NAME_FIRST && command <= IDS_ICON_NAME_LAST) {
        setIcon(command);
        return true;
    }
    return false;
}
