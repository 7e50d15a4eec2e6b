#include "treenode.h"

bool readNode(HWND tree, HTREEITEM node, UINT ask, NodeFacts* facts, WCHAR* label, int labelChars) {
    TVITEMW read = {};
    read.mask = TVIF_HANDLE | ask | (label ? TVIF_TEXT : 0);
    read.hItem = node;
    read.stateMask = ask & TVIF_STATE ? TVIS_STATEIMAGEMASK : 0;
    read.pszText = label;
    read.cchTextMax = label ? labelChars : 0;
    if (label)
        label[0] = 0;
    *facts = NodeFacts();
    if (!TreeView_GetItem(tree, &read))
        return false;
    if (label)
        label[labelChars - 1] = 0;
    facts->item = (NoteItem*)read.lParam;
    facts->box = (read.state & TVIS_STATEIMAGEMASK) >> 12;
    facts->image = read.iImage;
    facts->selectedImage = read.iSelectedImage;
    facts->children = read.cChildren;
    return true;
}

NoteItem* nodeItem(HWND tree, HTREEITEM node) {
    NodeFacts facts;
    if (!node || !readNode(tree, node, TVIF_PARAM, &facts))
        return nullptr;
    return facts.item;
}

bool readNodeLabel(HWND tree, HTREEITEM node, WCHAR* label, int labelChars) {
    NodeFacts facts;
    return readNode(tree, node, 0, &facts, label, labelChars);
}

// What an item's node shows, for an insertion and for a rewrite alike.
static TVITEMW itemLook(HTREEITEM node, NoteItem* item, int icon, UINT box) {
    TVITEMW look = {};
    look.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_PARAM;
    look.hItem = node;
    look.pszText = LPSTR_TEXTCALLBACKW;
    look.iImage = icon;
    look.iSelectedImage = icon;
    look.state = INDEXTOSTATEIMAGEMASK(box);
    look.stateMask = TVIS_STATEIMAGEMASK;
    look.lParam = (LPARAM)item;
    return look;
}

static HTREEITEM insertNode(HWND tree, HTREEITEM parent, HTREEITEM after, const TVITEMW& look) {
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item = look;
    return TreeView_InsertItem(tree, &insert);
}

HTREEITEM insertItemNode(HWND tree, HTREEITEM parent, NoteItem* item) {
    return insertItemNodeAs(tree, parent, item, item->icon, item->checkState);
}

HTREEITEM insertItemNodeAs(HWND tree, HTREEITEM parent, NoteItem* item, int icon, UINT box) {
    return insertNode(tree, parent, TVI_LAST, itemLook(nullptr, item, icon, box));
}

HTREEITEM insertRootNode(HWND tree, WCHAR* label, int image, UINT state) {
    TVITEMW look = {};
    look.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_PARAM;
    look.pszText = label;
    look.iImage = image;
    look.iSelectedImage = image;
    look.state = state;
    look.stateMask = TVIS_STATEIMAGEMASK;
    look.lParam = 0;
    return insertNode(tree, TVI_ROOT, TVI_FIRST, look);
}

HTREEITEM insertGroupNode(HWND tree, HTREEITEM root, WCHAR* label, int image) {
    TVITEMW look = {};
    look.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    look.pszText = label;
    look.iImage = image;
    look.iSelectedImage = image;
    look.lParam = 0;
    return insertNode(tree, root, TVI_LAST, look);
}

HTREEITEM insertNodeCopy(HWND tree, HTREEITEM parent, HTREEITEM after, const NodeFacts* from,
                         WCHAR* label) {
    TVITEMW look = {};
    look.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_PARAM;
    look.pszText = label ? label : LPSTR_TEXTCALLBACKW;
    look.iImage = from->image;
    look.iSelectedImage = from->selectedImage;
    look.state = INDEXTOSTATEIMAGEMASK(from->box);
    look.stateMask = TVIS_STATEIMAGEMASK;
    look.lParam = (LPARAM)from->item;
    return insertNode(tree, parent, after, look);
}

bool showItemOnNode(HWND tree, HTREEITEM node, NoteItem* item) {
    TVITEMW look = itemLook(node, item, item->icon, item->checkState);
    look.mask |= TVIF_HANDLE;
    return TreeView_SetItem(tree, &look) != FALSE;
}

bool setNodeIcon(HWND tree, HTREEITEM node, int image) {
    TVITEMW look = {};
    look.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
    look.hItem = node;
    look.iImage = image;
    look.iSelectedImage = image;
    return TreeView_SetItem(tree, &look) != FALSE;
}

bool setNodeLabel(HWND tree, HTREEITEM node, WCHAR* label) {
    TVITEMW look = {};
    look.mask = TVIF_HANDLE | TVIF_TEXT;
    look.hItem = node;
    look.pszText = label;
    return TreeView_SetItem(tree, &look) != FALSE;
}
