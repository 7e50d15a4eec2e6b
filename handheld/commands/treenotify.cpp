#include "treenotify.h"

#include "itemdraw.h"
#include "notetypes.h"
#include "program.h"
#include "widetext.h"

#include <stdio.h>

DragState gDrag = {false, nullptr};

static LRESULT answerDisplayInfo(NMTVDISPINFOW* info) {
    const NoteItem* item = (const NoteItem*)info->item.lParam;
    if ((info->item.mask & TVIF_TEXT) && item && info->item.pszText && info->item.cchTextMax > 0)
        copyWideField((WideChar*)info->item.pszText, (size_t)info->item.cchTextMax, item->name,
                      kNameChars);
    return 0;
}

LRESULT onTreeNotify(HWND mainWindow, NMHDR* header) {
    switch ((int)header->code) {
    case (int)TVN_GETDISPINFOW:
        return answerDisplayInfo((NMTVDISPINFOW*)header);
    case (int)NM_CUSTOMDRAW:
        if (header->hwndFrom == gProgram.treeView)
            return drawTreeNode(mainWindow, (NMTVCUSTOMDRAW*)header);
        return 0;
    default:
        return 0;
    }
}

HMENU buildItemMenu() {
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return nullptr;
    AppendMenuW(menu, MF_STRING, 40022, L"Modify...");
    HMENU priority = CreatePopupMenu();
    if (priority) {
        for (int i = 1; i <= 10; ++i) {
            WCHAR text[8];
            _snwprintf(text, 8, L"%d", i);
            text[7] = 0;
            AppendMenuW(priority, MF_STRING, (UINT_PTR)(40099 + i), text);
        }
        AppendMenuW(menu, MF_POPUP, (UINT_PTR)priority, L"Priority");
    }
    HMENU icons = CreatePopupMenu();
    if (icons) {
        for (int i = 4; i <= 19; ++i)
            AppendMenuW(icons, i == 13 ? MF_OWNERDRAW | MF_MENUBARBREAK : MF_OWNERDRAW,
                        (UINT_PTR)(797 + i), nullptr);
        AppendMenuW(menu, MF_POPUP, (UINT_PTR)icons, L"Icon");
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, 103, L"Create Copy");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, 104, L"Delete Item");
    return menu;
}

void trackDrag(HWND mainWindow, unsigned x, unsigned y) {}

void dropDragged(HWND mainWindow) {
    gDrag.dragging = false;
}
