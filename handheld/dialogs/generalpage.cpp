// The General page of the item editor: name, priority, place in the tree,
// icon, category, check mark and colour; on confirmation it creates the new
// item or rewrites the edited one, and puts its node in place.
#include "editorsheet.h"

#include "notemodel.h"
#include "pocketpc.h"
#include "program.h"
#include "resource.h"
#include "sorting.h"
#include "treefill.h"
#include "treenode.h"
#include "widetext.h"

#include <wchar.h>

namespace {

enum { kNameBoxChars = 80, kCategoryBoxChars = 64, kIconRows = 16, kIconColumnWidth = 70 };
enum LevelChoice { kLevelSame = 0, kLevelChild = 1, kLevelTop = 2 };

} // namespace

static EditorSheet* pageSheet(HWND page) {
    return (EditorSheet*)GetWindowLongPtrW(page, DWLP_USER);
}

static void addLevel(HWND levelBox, const WCHAR* text, LevelChoice value) {
    LRESULT index = SendMessageW(levelBox, CB_ADDSTRING, 0, (LPARAM)text);
    if (index >= 0)
        SendMessageW(levelBox, CB_SETITEMDATA, (WPARAM)index, value);
}

static void fillIconList(HWND list, HWND tree) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    ListView_SetImageList(list, TreeView_GetImageList(tree, TVSIL_NORMAL), LVSIL_SMALL);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = kIconColumnWidth;
    ListView_InsertColumn(list, 0, &column);
    for (int row = 0; row < kIconRows; ++row) {
        WCHAR name[32];
        loadText(IDS_ICON_NAME_FIRST + row, name, 32);
        LVITEMW entry = {};
        entry.mask = LVIF_TEXT | LVIF_IMAGE;
        entry.iItem = row;
        entry.pszText = name;
        entry.iImage = kFirstItemIcon + row;
        ListView_InsertItem(list, &entry);
    }
}

static void selectIconRow(HWND list, int image) {
    int row = image >= kFirstItemIcon && image <= kLastItemIcon ? image - kFirstItemIcon : 0;
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, row, FALSE);
}

static BOOL initGeneralPage(HWND page, const PROPSHEETPAGEW* sheetPage) {
    EditorSheet* sheet = (EditorSheet*)sheetPage->lParam;
    SetWindowLongPtrW(page, DWLP_USER, (LONG_PTR)sheet);
    HWND tree = sheet->context.treeView;
    HTREEITEM root = TreeView_GetRoot(tree);
    SendDlgItemMessageW(page, IDC_GENERAL_NAME, EM_LIMITTEXT, kNameBoxChars, 0);
    fillItemBoxes(page, 0);

    HWND levelBox = GetDlgItem(page, IDC_GENERAL_LEVEL);
    if (sheet->selected != root)
        addLevel(levelBox, L"Same", kLevelSame);
    addLevel(levelBox, L"Child", kLevelChild);
    addLevel(levelBox, L"Top", kLevelTop);

    HWND iconList = GetDlgItem(page, IDC_GENERAL_ICON_LIST);
    fillIconList(iconList, tree);

    const NoteItem* item = sheet->item;
    // The node's image and live check mark.
    NodeFacts shown = {};
    if (sheet->context.isNew) {
        SendMessageW(levelBox, CB_SETCURSEL, 0, 0);
        if (!item) {
            SendDlgItemMessageW(page, IDC_GENERAL_PRIORITY, CB_SETCURSEL, 4, 0);
            SendDlgItemMessageW(page, IDC_GENERAL_COLOUR, CB_SETCURSEL, 0, 0);
            selectIconRow(iconList, kFirstItemIcon);
        } else {
            readNode(tree, sheet->selected, TVIF_IMAGE | TVIF_STATE, &shown);
            SendDlgItemMessageW(page, IDC_GENERAL_PRIORITY, CB_SETCURSEL, item->priority, 0);
            SendDlgItemMessageW(page, IDC_GENERAL_COLOUR, CB_SETCURSEL, item->colour, 0);
            selectIconRow(iconList, shown.image);
            WCHAR category[kCategoryChars];
            copyWideField((WideChar*)category, kCategoryChars, item->category, kCategoryChars);
            SetDlgItemTextW(page, IDC_GENERAL_CATEGORY, category);
        }
    } else if (item) {
        WCHAR name[kNameBoxChars];
        readNode(tree, sheet->selected, TVIF_IMAGE | TVIF_STATE, &shown, name, kNameBoxChars);
        SetDlgItemTextW(page, IDC_GENERAL_NAME, name);
        SendDlgItemMessageW(page, IDC_GENERAL_PRIORITY, CB_SETCURSEL, item->priority, 0);
        SendDlgItemMessageW(page, IDC_GENERAL_COLOUR, CB_SETCURSEL, item->colour, 0);
        EnableWindow(levelBox, FALSE);
        selectIconRow(iconList, shown.image);
        WCHAR category[kCategoryChars];
        copyWideField((WideChar*)category, kCategoryChars, item->category, kCategoryChars);
        SetDlgItemTextW(page, IDC_GENERAL_CATEGORY, category);
        CheckDlgButton(page, IDC_GENERAL_CHECKED,
                       shown.box == kChecked ? BST_CHECKED : BST_UNCHECKED);
    }
    SetFocus(GetDlgItem(page, IDC_GENERAL_NAME));
    return FALSE; // the focus is placed
}

// The values of the page's boxes; a box without a selection keeps what the
// item had.
static void readBoxes(HWND page, NoteItem* target) {
    // A stored name may be longer than the box holds: left as it was shown,
    // it keeps its tail.
    WCHAR name[kNameBoxChars], shown[kNameBoxChars];
    GetDlgItemTextW(page, IDC_GENERAL_NAME, name, kNameBoxChars);
    copyWideField((WideChar*)shown, kNameBoxChars, target->name, kNameChars);
    if (wcscmp(name, shown) != 0)
        copyWideField(target->name, kNameChars, (const WideChar*)name, kNameBoxChars);
    int row = ListView_GetNextItem(GetDlgItem(page, IDC_GENERAL_ICON_LIST), -1, LVNI_SELECTED);
    if (row >= 0 && row < kIconRows)
        target->icon = (uint16_t)(kFirstItemIcon + row);
    else if (target->icon < kFirstItemIcon || target->icon > kLastItemIcon)
        target->icon = kFirstItemIcon;
    target->checkState =
        IsDlgButtonChecked(page, IDC_GENERAL_CHECKED) == BST_CHECKED ? kChecked : kUnchecked;
    LRESULT priority = SendDlgItemMessageW(page, IDC_GENERAL_PRIORITY, CB_GETCURSEL, 0, 0);
    if (priority >= 0 && priority <= 9)
        target->priority = (uint16_t)priority;
    LRESULT colour = SendDlgItemMessageW(page, IDC_GENERAL_COLOUR, CB_GETCURSEL, 0, 0);
    if (colour >= 0 && colour < kColourCount)
        target->colour = (uint16_t)colour;
    WCHAR category[kCategoryBoxChars];
    GetDlgItemTextW(page, IDC_GENERAL_CATEGORY, category, kCategoryBoxChars);
    copyWideField(target->category, kCategoryChars, (const WideChar*)category, kCategoryBoxChars);
    if (target->category[0])
        addCategory(&gCategories, target->category);
}

static HTREEITEM chosenParent(HWND page, const EditorSheet* sheet) {
    HWND tree = sheet->context.treeView;
    HWND levelBox = GetDlgItem(page, IDC_GENERAL_LEVEL);
    LRESULT index = SendMessageW(levelBox, CB_GETCURSEL, 0, 0);
    LRESULT choice = index >= 0 ? SendMessageW(levelBox, CB_GETITEMDATA, (WPARAM)index, 0)
                                : (LRESULT)kLevelChild;
    HTREEITEM parent = sheet->selected;
    if (choice == kLevelSame)
        parent = TreeView_GetParent(tree, sheet->selected);
    else if (choice == kLevelTop)
        parent = TreeView_GetRoot(tree);
    return parent ? parent : TreeView_GetRoot(tree);
}

static void createItem(HWND page, EditorSheet* sheet) {
    HWND tree = sheet->context.treeView;
    NoteItem* work = sheet->context.workItem;
    HTREEITEM parent = chosenParent(page, sheet);
    const NoteItem* parentItem = nodeItem(tree, parent);
    work->parentId = parentItem ? parentItem->id : 0;
    work->level = parentItem ? parentItem->level + 1 : 1;
    readBoxes(page, work);
    NoteItem* added = appendNew(&gList, work);
    if (!added) {
        SHShowOutOfMemory(page, 0);
        // Nothing took the note over; the launcher frees the work item alone.
        modelFree(work->note);
        work->note = nullptr;
        return;
    }
    HTREEITEM node = insertItemNode(tree, parent, added);
    if (node) {
        TreeView_EnsureVisible(tree, node);
        TreeView_SelectItem(tree, node);
    }
    sortChildren(tree, parent);
    if (gOptions.viewMode != kDefaultView)
        fillTree(tree);
}

static void rewriteItem(HWND page, EditorSheet* sheet) {
    HWND tree = sheet->context.treeView;
    NoteItem* item = sheet->item;
    readBoxes(page, item);
    showItemOnNode(tree, sheet->selected, item);
    HTREEITEM parent = TreeView_GetParent(tree, sheet->selected);
    sortChildren(tree, parent ? parent : TreeView_GetRoot(tree));
    if (gOptions.viewMode != kDefaultView)
        fillTree(tree);
}

static LRESULT applyGeneralPage(HWND page) {
    EditorSheet* sheet = pageSheet(page);
    if (!sheet)
        return PSNRET_NOERROR;
    if (GetWindowTextLengthW(GetDlgItem(page, IDC_GENERAL_NAME)) == 0) {
        if (sheet->context.isNew)
            return PSNRET_NOERROR; // nothing is created
        WCHAR caption[32];
        loadText(IDS_APP_TITLE, caption, 32);
        MessageBoxW(page, L"You must specify a description.", caption, MB_OK | MB_ICONEXCLAMATION);
        // The sheet stays open; the next confirmation stores everything again.
        sheet->detailsStored = 0;
        SetFocus(GetDlgItem(page, IDC_GENERAL_NAME));
        return PSNRET_INVALID;
    }
    if (sheet->detailsPage)
        storeDetails(sheet->detailsPage, sheet);
    gProgram.documentChanged = 1;
    if (sheet->context.isNew)
        createItem(page, sheet);
    else if (sheet->item)
        rewriteItem(page, sheet);
    return PSNRET_NOERROR;
}

static BOOL onGeneralNotify(HWND page, const NMHDR* header) {
    switch (header->code) {
    case PSN_APPLY:
        SetWindowLongPtrW(page, DWLP_MSGRESULT, applyGeneralPage(page));
        return TRUE;
    case PSN_KILLACTIVE:
        SetWindowLongPtrW(page, DWLP_MSGRESULT, FALSE);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK generalPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return initGeneralPage(page, (const PROPSHEETPAGEW*)lParam);
    case WM_NOTIFY:
        return onGeneralNotify(page, (const NMHDR*)lParam);
    case WM_HELP:
        openEditorHelp();
        return TRUE;
    default:
        return FALSE;
    }
}
