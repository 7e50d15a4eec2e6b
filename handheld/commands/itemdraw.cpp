#include "itemdraw.h"

#include "notetypes.h"
#include "program.h"
#include "resource.h"
#include "treefill.h"

namespace {

enum {
    kMenuTextChars = 64,
    kIconSize = 16,
    kMinimumEntryHeight = 18,
    kEntryExtraWidth = 47, // bullet, icon and margins beside the name
    kBulletIcon = IDI_ICON_123,
};

} // namespace

static COLORREF itemTextColour(const NoteItem* item, COLORREF proposed) {
    if (item->colour >= kColourCount)
        return proposed;
    const ColourEntry& entry = kColours[item->colour];
    if (entry.systemText)
        return GetSysColor(COLOR_WINDOWTEXT);
    return RGB(entry.red, entry.green, entry.blue);
}

// The font follows the node's live check box, so ticking it shows at once.
static LRESULT prepareNode(NMTVCUSTOMDRAW* draw) {
    HWND tree = gProgram.treeView;
    HTREEITEM node = (HTREEITEM)draw->nmcd.dwItemSpec;
    UINT state = TreeView_GetItemState(tree, node, TVIS_STATEIMAGEMASK);
    bool checked = (state & TVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(kChecked);
    HFONT font = checked ? gProgram.italicFont : gProgram.normalFont;
    if (font)
        SelectObject(draw->nmcd.hdc, font);
    const NoteItem* item = (const NoteItem*)draw->nmcd.lItemlParam;
    if (item)
        draw->clrText = itemTextColour(item, draw->clrText);
    if (draw->nmcd.uItemState & CDIS_SELECTED) {
        draw->clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
        draw->clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
    }
    return CDRF_NEWFONT;
}

LRESULT drawTreeNode(HWND mainWindow, NMTVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return prepareNode(draw);
    default:
        return CDRF_DODEFAULT;
    }
}

static bool isIconEntry(UINT command) {
    return command >= IDS_ICON_NAME_FIRST && command <= IDS_ICON_NAME_LAST;
}

void measureIconMenuItem(HWND mainWindow, MEASUREITEMSTRUCT* measure) {
    if (!measure || measure->CtlType != ODT_MENU)
        return;
    TEXTMETRICW metrics = {};
    HDC dc = GetDC(mainWindow);
    if (!dc)
        return;
    SaveDC(dc);
    if (gProgram.boldFont)
        SelectObject(dc, gProgram.boldFont);
    GetTextMetricsW(dc, &metrics);
    RestoreDC(dc, -1);
    ReleaseDC(mainWindow, dc);
    WCHAR name[kMenuTextChars];
    int length = LoadStringW(gProgram.instance, measure->itemID, name, kMenuTextChars);
    if (length < 0)
        length = 0;
    measure->itemWidth = (UINT)(length * metrics.tmAveCharWidth + kEntryExtraWidth);
    int height = metrics.tmHeight + 2;
    measure->itemHeight = (UINT)(height < kMinimumEntryHeight ? kMinimumEntryHeight : height);
}

// Icons are loaded for one drawing and destroyed right after it.
static void drawResourceIcon(HDC dc, int resource, int x, int y) {
    HICON icon = (HICON)LoadImageW(gProgram.instance, MAKEINTRESOURCEW(resource), IMAGE_ICON,
                                   kIconSize, kIconSize, 0);
    if (!icon)
        return;
    DrawIconEx(dc, x, y, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
}

void drawIconMenuItem(HWND mainWindow, const DRAWITEMSTRUCT* draw) {
    if (!draw || draw->CtlType != ODT_MENU || !isIconEntry(draw->itemID))
        return;
    HDC dc = draw->hDC;
    RECT entry = draw->rcItem;
    SaveDC(dc);
    if (gProgram.boldFont)
        SelectObject(dc, gProgram.boldFont);
    bool selected = (draw->itemState & ODS_SELECTED) != 0;
    COLORREF fill = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU);
    SetBkColor(dc, fill);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    HBRUSH brush = CreateSolidBrush(fill);
    if (brush) {
        FillRect(dc, &entry, brush);
        DeleteObject(brush);
    }
    HWND tree = gProgram.treeView;
    const NoteItem* item = tree ? nodeItem(tree, TreeView_GetSelection(tree)) : nullptr;
    if (item && item->icon == draw->itemID - IDI_IMAGE_FIRST)
        drawResourceIcon(dc, kBulletIcon, entry.left + 3, entry.top + 1);
    drawResourceIcon(dc, (int)draw->itemID, entry.left + 14, entry.top + 1);
    WCHAR name[kMenuTextChars];
    int length = LoadStringW(gProgram.instance, draw->itemID, name, kMenuTextChars);
    if (length > 0)
        ExtTextOutW(dc, entry.left + 32, entry.top + 2, ETO_CLIPPED, &entry, name, (UINT)length,
                    nullptr);
    RestoreDC(dc, -1);
}
