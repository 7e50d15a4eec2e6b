// The item context menu: built once, its entries enabled for the node it is
// shown for every time it opens.
#include "commands.h"
#include "program.h"
#include "resource.h"
#include "treefill.h"
#include "treenotify.h"

#include <stdio.h>

namespace {

enum {
    kPriorityPosition = 1,
    kIconPosition = 2,
    kPriorityFirst = 40100, // priority 0, shown as "1"
    kPriorityLast = 40109,
    kCreateCopy = 103,
    kIconColumnBreak = 810,
};

} // namespace

static HMENU buildPriorityMenu() {
    HMENU priority = CreatePopupMenu();
    if (!priority)
        return nullptr;
    for (int i = 1; i <= 10; ++i) {
        WCHAR text[8];
        _snwprintf(text, 8, L"%d", i);
        text[7] = 0;
        if (!AppendMenuW(priority, MF_STRING, (UINT_PTR)(kPriorityFirst - 1 + i), text)) {
            DestroyMenu(priority);
            return nullptr;
        }
    }
    return priority;
}

// The icon entries have no text: the main window measures and draws them.
static HMENU buildIconMenu() {
    HMENU icons = CreatePopupMenu();
    if (!icons)
        return nullptr;
    for (UINT command = IDS_ICON_NAME_FIRST; command <= IDS_ICON_NAME_LAST; ++command) {
        UINT flags = command == kIconColumnBreak ? MF_OWNERDRAW | MF_MENUBARBREAK : MF_OWNERDRAW;
        if (!AppendMenuW(icons, flags, command, nullptr)) {
            DestroyMenu(icons);
            return nullptr;
        }
    }
    return icons;
}

// A menu missing an entry would shift the positions the enabling relies on,
// so a menu that cannot be built whole is not built at all.
HMENU buildItemMenu() {
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return nullptr;
    bool whole = AppendMenuW(menu, MF_STRING, IDM_MODIFY_ITEM, L"Modify...");
    HMENU priority = whole ? buildPriorityMenu() : nullptr;
    whole = priority && AppendMenuW(menu, MF_POPUP, (UINT_PTR)priority, L"Priority");
    if (priority && !whole)
        DestroyMenu(priority);
    HMENU icons = whole ? buildIconMenu() : nullptr;
    whole = icons && AppendMenuW(menu, MF_POPUP, (UINT_PTR)icons, L"Icon");
    if (icons && !whole)
        DestroyMenu(icons);
    whole = whole && AppendMenuW(menu, MF_SEPARATOR, 0, nullptr) &&
            AppendMenuW(menu, MF_STRING, kCreateCopy, L"Create Copy") &&
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr) &&
            AppendMenuW(menu, MF_STRING, IDM_DELETE_ITEM, L"Delete Item");
    if (!whole) {
        DestroyMenu(menu);
        return nullptr;
    }
    return menu;
}

static void markPriority(HMENU menu, unsigned priority) {
    HMENU priorities = GetSubMenu(menu, kPriorityPosition);
    if (!priorities)
        return;
    if (priority <= kPriorityLast - kPriorityFirst) {
        CheckMenuRadioItem(priorities, kPriorityFirst, kPriorityLast, kPriorityFirst + priority,
                           MF_BYCOMMAND);
        return;
    }
    // A priority out of range (a damaged file) marks no entry.
    for (UINT command = kPriorityFirst; command <= kPriorityLast; ++command)
        CheckMenuItem(priorities, command, MF_BYCOMMAND | MF_UNCHECKED);
}

// The root node offers only "Modify..." (the title), a heading nothing, an
// item everything.
static void enableItemMenu(HMENU menu, HWND tree, HTREEITEM node) {
    bool isRoot = node && node == TreeView_GetRoot(tree);
    const NoteItem* item = isRoot ? nullptr : nodeItem(tree, node);
    UINT itemOnly = item ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(menu, IDM_MODIFY_ITEM, MF_BYCOMMAND | (isRoot || item ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, kPriorityPosition, MF_BYPOSITION | itemOnly);
    EnableMenuItem(menu, kIconPosition, MF_BYPOSITION | itemOnly);
    EnableMenuItem(menu, kCreateCopy, MF_BYCOMMAND | itemOnly);
    EnableMenuItem(menu, IDM_DELETE_ITEM, MF_BYCOMMAND | itemOnly);
    if (item)
        markPriority(menu, item->priority);
}

void showItemMenu(HWND mainWindow, POINT screenPoint) {
    HWND tree = gProgram.treeView;
    HMENU menu = gProgram.itemMenu;
    if (!tree || !menu)
        return;
    // The hit test takes the tree view's own client coordinates, which lie
    // a few pixels into the main window's.
    TVHITTESTINFO hit = {};
    hit.pt = screenPoint;
    MapWindowPoints(nullptr, tree, &hit.pt, 1);
    HTREEITEM node = TreeView_HitTest(tree, &hit);
    if (node)
        TreeView_SelectItem(tree, node); // may be refused: the menu is for the selected node
    // Where no node was pressed the menu is about nothing: every entry is
    // grayed, and the earlier selection is never the one acted on.
    HTREEITEM subject = node ? TreeView_GetSelection(tree) : nullptr;
    enableItemMenu(menu, tree, subject);
    UINT command = (UINT)TrackPopupMenuEx(menu, TPM_RETURNCMD, screenPoint.x, screenPoint.y,
                                          mainWindow, nullptr);
    if (command && subject)
        onCommand(mainWindow, command);
}
