// The item editor, Find, Modify Title and About as the program shows them:
// the real dialogs under Wine, filled in through messages, then the model,
// the tree and the saved file checked.
#include "dialogs_support.h"
#include "program_support.h"

#include "itemdialogs.h"
#include "notefile.h"
#include "notemodel.h"
#include "pocketpc.h"
#include "program.h"
#include "resource.h"
#include "treefill.h"
#include "treenode.h"
#include "widetext.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

static const wchar_t kSheet[] = L"Edit Item...";

// Alpha > Beta > Gamma, and Delta beside Alpha.
static const std::vector<ItemSpec> kDocument = {
    {"Alpha", 1, 0, 1, 1, 6, "Work", 0, 0, 0},
    {"Beta", 2, 1, 2, 1, 2, "Home", 0, 0, 0},
    {"Gamma", 3, 2, 3, 2, 8, "Work", 0, 0, 0},
    {"Delta", 4, 0, 1, 1, 0, "", 0, 0, 0},
};

namespace {

struct DialogsTest : NoteFileTest {
    DialogsTest() : NoteFileTest(L"twigmark-dialogs.twk") {}

    void newItem() { openItemEditor(gProgram.mainWindow, gProgram.treeView, gProgram.notePane, 1); }
    void modifySelected() {
        openItemEditor(gProgram.mainWindow, gProgram.treeView, gProgram.notePane, 0);
    }
    // The saved document, read back from the file.
    void readSaved(NoteList* list) {
        memset(list, 0, sizeof *list);
        initList(list);
        ViewOptions options = {};
        CategoryList categories = {};
        EXPECT_EQ(readNoteFile(list, notes.c_str(), &options, &categories), 1);
        clearCategories(&categories);
    }
};

} // namespace

static HWND page(HWND sheet, int index) {
    return PropSheet_IndexToHwnd(sheet, index);
}

static HWND visitDetails(HWND sheet) {
    PropSheet_SetCurSel(sheet, nullptr, 1);
    return page(sheet, 1);
}

// The General page as the user leaves it: a name and a Level entry.
static DialogScript createNamed(const wchar_t* name, const wchar_t* level) {
    std::wstring nameText = name, levelText = level;
    return [nameText, levelText](HWND sheet) {
        HWND general = page(sheet, 0);
        SetDlgItemTextW(general, IDC_GENERAL_NAME, nameText.c_str());
        EXPECT_NE(SendDlgItemMessageW(general, IDC_GENERAL_LEVEL, CB_SELECTSTRING, (WPARAM)-1,
                                      (LPARAM)levelText.c_str()),
                  CB_ERR);
        PropSheet_PressButton(sheet, PSBTN_OK);
    };
}

TEST_F(DialogsTest, LevelChoicesPlaceTheNewItemInThePlainTree) {
    writeDocument(notes, kDocument);
    Session session(notes);
    ASSERT_TRUE(session.started);
    DialogDriver driver;
    HWND tree = gProgram.treeView;
    NoteItem* gamma = itemNamed("Gamma");
    ASSERT_TRUE(gamma);
    gamma->colour = 5;
    setNodeIcon(tree, nodeOf(gamma), 9);

    // Beside Gamma: the new item inherits all but the name and check mark.
    selectNode(nodeOf(gamma));
    driver.expect(kSheet, [](HWND sheet) {
        HWND general = page(sheet, 0);
        EXPECT_EQ(comboEntries(general, IDC_GENERAL_LEVEL),
                  (std::vector<std::wstring>{L"Same", L"Child", L"Top"}));
        EXPECT_EQ(comboSelection(general, IDC_GENERAL_LEVEL), 0);
        EXPECT_EQ(comboSelection(general, IDC_GENERAL_PRIORITY), 8);
        EXPECT_EQ(comboSelection(general, IDC_GENERAL_COLOUR), 5);
        EXPECT_EQ(selectedListRow(general, IDC_GENERAL_ICON_LIST), 5);
        EXPECT_EQ(controlText(general, IDC_GENERAL_CATEGORY), L"Work");
        EXPECT_EQ(IsDlgButtonChecked(general, IDC_GENERAL_CHECKED), (UINT)BST_UNCHECKED);
        EXPECT_EQ(controlText(general, IDC_GENERAL_NAME), L"");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(general, IDC_GENERAL_LEVEL)));
        createNamed(L"Sibling", L"Same")(sheet);
    });
    newItem();
    NoteItem* sibling = itemNamed("Sibling");
    ASSERT_TRUE(sibling);
    EXPECT_EQ(sibling->parentId, 2u);
    EXPECT_EQ(sibling->level, 3u);
    EXPECT_EQ(sibling->id, 5u);
    EXPECT_EQ(sibling->priority, 8);
    EXPECT_EQ(sibling->colour, 5);
    EXPECT_EQ(sibling->icon, 9);
    EXPECT_EQ(narrow(sibling->category, kCategoryChars), "Work");
    EXPECT_EQ(sibling->checkState, kUnchecked);
    EXPECT_EQ(TreeView_GetSelection(tree), nodeOf(sibling));
    EXPECT_EQ(TreeView_GetParent(tree, nodeOf(sibling)), nodeOf(itemNamed("Beta")));

    selectNode(nodeOf(gamma));
    driver.expect(kSheet, createNamed(L"Child of gamma", L"Child"));
    newItem();
    NoteItem* child = itemNamed("Child of gamma");
    ASSERT_TRUE(child);
    EXPECT_EQ(child->parentId, 3u);
    EXPECT_EQ(child->level, 4u);
    EXPECT_EQ(TreeView_GetParent(tree, nodeOf(child)), nodeOf(gamma));

    selectNode(nodeOf(gamma));
    driver.expect(kSheet, createNamed(L"On top", L"Top"));
    newItem();
    NoteItem* top = itemNamed("On top");
    ASSERT_TRUE(top);
    EXPECT_EQ(top->parentId, 0u);
    EXPECT_EQ(top->level, 1u);

    // On the root node there is nothing to stand beside or inherit from.
    selectNode(TreeView_GetRoot(tree));
    driver.expect(kSheet, [](HWND sheet) {
        HWND general = page(sheet, 0);
        EXPECT_EQ(comboEntries(general, IDC_GENERAL_LEVEL),
                  (std::vector<std::wstring>{L"Child", L"Top"}));
        EXPECT_EQ(comboSelection(general, IDC_GENERAL_LEVEL), 0);
        EXPECT_EQ(comboEntries(general, IDC_GENERAL_PRIORITY)[4], L"5");
        EXPECT_EQ(comboSelection(general, IDC_GENERAL_PRIORITY), 4);
        EXPECT_EQ(comboSelection(general, IDC_GENERAL_COLOUR), 0);
        EXPECT_EQ(comboEntries(general, IDC_GENERAL_COLOUR).size(), 8u);
        EXPECT_EQ(selectedListRow(general, IDC_GENERAL_ICON_LIST), 0);
        EXPECT_EQ(controlText(general, IDC_GENERAL_CATEGORY), L"");
        createNamed(L"Under root", L"Child")(sheet);
    });
    newItem();
    NoteItem* underRoot = itemNamed("Under root");
    ASSERT_TRUE(underRoot);
    EXPECT_EQ(underRoot->parentId, 0u);
    EXPECT_EQ(underRoot->level, 1u);
    EXPECT_EQ(underRoot->priority, 4);
    EXPECT_EQ(underRoot->icon, 4);
    EXPECT_EQ(driver.ran, 4);
    EXPECT_EQ(driver.leftOpen, 0);

    ASSERT_TRUE(session.close());
    EXPECT_TRUE(session.boxes.empty());
    NoteList saved;
    readSaved(&saved);
    EXPECT_EQ(saved.count, 8);
    EXPECT_EQ(saved.nextId, 9);
    clearList(&saved);
}

TEST_F(DialogsTest, LevelChoicesInAGroupedView) {
    FileOptions byCategory;
    byCategory.viewMode = kByCategory;
    writeDocument(notes, kDocument, byCategory);
    Session session(notes);
    ASSERT_TRUE(session.started);
    DialogDriver driver;
    HWND tree = gProgram.treeView;
    NoteItem* gamma = itemNamed("Gamma");

    // Beside an item the parent node is its group heading: a top item.
    selectNode(nodeOf(gamma));
    driver.expect(kSheet, createNamed(L"Grouped sibling", L"Same"));
    newItem();
    NoteItem* sibling = itemNamed("Grouped sibling");
    ASSERT_TRUE(sibling);
    EXPECT_EQ(sibling->parentId, 0u);
    EXPECT_EQ(sibling->level, 1u);

    gamma = itemNamed("Gamma");
    selectNode(nodeOf(gamma));
    driver.expect(kSheet, [](HWND sheet) {
        HWND general = page(sheet, 0);
        // A category typed in another letter case stays on the item as typed.
        SetDlgItemTextW(general, IDC_GENERAL_CATEGORY, L"HOME");
        createNamed(L"Grouped child", L"Child")(sheet);
    });
    newItem();
    NoteItem* child = itemNamed("Grouped child");
    ASSERT_TRUE(child);
    EXPECT_EQ(child->parentId, 3u);
    EXPECT_EQ(child->level, 4u);
    EXPECT_EQ(narrow(child->category, kCategoryChars), "HOME");
    EXPECT_EQ(gCategories.count, 2);

    // The tree was filled again: the new items stand in their groups.
    std::string outline = treeOutline(tree);
    EXPECT_NE(outline.find("  *HOME\n    Grouped child\n"), std::string::npos) << outline;
    EXPECT_NE(outline.find("    [x]Gamma\n    Grouped sibling\n"), std::string::npos) << outline;
}

TEST_F(DialogsTest, DetailsReachTheNewItemWhicheverPageConfirmsFirst) {
    writeDocument(notes, kDocument);
    Session session(notes);
    ASSERT_TRUE(session.started);
    DialogDriver driver;
    HWND tree = gProgram.treeView;
    wchar_t eighty[81];
    for (int i = 0; i < 80; ++i)
        eighty[i] = (wchar_t)(L'a' + i % 26);
    eighty[80] = 0;

    auto fillDetails = [](HWND details, const wchar_t* note) {
        setDate(details, IDC_DETAILS_DATE, 2001, 3, 10, 13);
        SetDlgItemTextW(details, IDC_DETAILS_TASK_TIME, L"1.5 hours");
        SendDlgItemMessageW(details, IDC_DETAILS_UNIT, CB_SETCURSEL, 2, 0);
        SetDlgItemTextW(details, IDC_DETAILS_NOTE, note);
    };

    // The platform's own order, and the Details page confirmed on its own
    // before the General page.
    selectNode(TreeView_GetRoot(tree));
    driver.expect(kSheet, [&](HWND sheet) {
        HWND details = visitDetails(sheet);
        ASSERT_TRUE(details);
        EXPECT_EQ(comboEntries(details, IDC_DETAILS_UNIT),
                  (std::vector<std::wstring>{L"Minute(s)", L"Day(s)", L"Week(s)", L"Month(s)"}));
        SYSTEMTIME none = {};
        EXPECT_EQ(
            SendDlgItemMessageW(details, IDC_DETAILS_DATE, DTM_GETSYSTEMTIME, 0, (LPARAM)&none),
            GDT_NONE);
        fillDetails(details, L"first note");
        SetDlgItemTextW(page(sheet, 0), IDC_GENERAL_NAME, eighty);
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    newItem();
    selectNode(TreeView_GetRoot(tree));
    driver.expect(kSheet, [&](HWND sheet) {
        HWND details = visitDetails(sheet);
        fillDetails(details, L"second note");
        SetDlgItemTextW(page(sheet, 0), IDC_GENERAL_NAME, L"Details first");
        PSHNOTIFY apply = {};
        apply.hdr.hwndFrom = sheet;
        apply.hdr.code = PSN_APPLY;
        SendMessageW(details, WM_NOTIFY, 0, (LPARAM)&apply);
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    newItem();

    NoteItem* first = itemWithId(5);
    for (NoteItem* item : {first, itemNamed("Details first")}) {
        ASSERT_TRUE(item);
        EXPECT_EQ(item->dueDate.year, 2001);
        EXPECT_EQ(item->dueDate.month, 3);
        EXPECT_EQ(item->dueDate.day, 10);
        EXPECT_EQ(item->dueDate.dayOfWeek, 6); // a Saturday
        EXPECT_EQ(item->dueDate.hour, 0);
        EXPECT_EQ(item->dueDate.minute, 0);
        EXPECT_EQ(narrow(item->taskTime, kTaskTimeChars), "1.5 hou");
        EXPECT_EQ(item->taskTimeUnit, 2);
        ASSERT_TRUE(item->note);
    }
    // 80 characters typed, 79 kept.
    EXPECT_EQ(wideLength(first->name, kNameChars), 79u);
    EXPECT_EQ(narrow(first->note, 64), "first note");
    EXPECT_EQ(narrow(itemNamed("Details first")->note, 64), "second note");

    // Details never opened: no date, empty task time, unit 0, no note.
    driver.expect(kSheet, createNamed(L"Plain", L"Top"));
    newItem();
    NoteItem* plain = itemNamed("Plain");
    ASSERT_TRUE(plain);
    EXPECT_FALSE(hasDueDate(plain));
    EXPECT_EQ(plain->taskTime[0], 0);
    EXPECT_EQ(plain->taskTimeUnit, 0);
    EXPECT_EQ(plain->note, nullptr);

    // An empty name creates nothing and says nothing, a note or not.
    int before = gList.count;
    driver.expect(kSheet, [&](HWND sheet) {
        fillDetails(visitDetails(sheet), L"dropped");
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    newItem();
    driver.expect(kSheet, [](HWND sheet) { PropSheet_PressButton(sheet, PSBTN_CANCEL); });
    newItem();
    EXPECT_EQ(gList.count, before);
    EXPECT_EQ(driver.leftOpen, 0);

    ASSERT_TRUE(session.close());
    EXPECT_TRUE(session.boxes.empty());
    NoteList saved;
    readSaved(&saved);
    EXPECT_EQ(saved.count, before);
    const NoteItem* stored = saved.head;
    while (stored && stored->id != 6)
        stored = stored->next;
    ASSERT_TRUE(stored);
    EXPECT_EQ(narrow(stored->note, 64), "second note");
    EXPECT_EQ(stored->dueDate.day, 10);
    clearList(&saved);
}

TEST_F(DialogsTest, ModifyRewritesTheItemAndItsNode) {
    std::vector<ItemSpec> items = kDocument;
    items[0].year = 2001, items[0].month = 3, items[0].day = 9;
    writeDocument(notes, items);
    Session session(notes);
    ASSERT_TRUE(session.started);
    DialogDriver driver;
    HWND tree = gProgram.treeView;
    NoteItem* alpha = itemNamed("Alpha");
    alpha->note = copyNote((const WideChar*)u"old note", 8);
    alpha->taskTimeUnit = -1;
    HTREEITEM node = nodeOf(alpha);
    // The live check box counts, not the stored state; an image below 4
    // shows as the first icon row.
    TreeView_SetItemState(tree, node, INDEXTOSTATEIMAGEMASK(kChecked), TVIS_STATEIMAGEMASK);
    TVITEMW image = {};
    image.mask = TVIF_HANDLE | TVIF_IMAGE;
    image.hItem = node;
    image.iImage = 2;
    TreeView_SetItem(tree, &image);
    selectNode(node);

    driver.expect(kSheet, [](HWND sheet) {
        HWND general = page(sheet, 0);
        EXPECT_EQ(controlText(general, IDC_GENERAL_NAME), L"Alpha");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(general, IDC_GENERAL_LEVEL)));
        EXPECT_EQ(comboSelection(general, IDC_GENERAL_LEVEL), CB_ERR);
        EXPECT_EQ(IsDlgButtonChecked(general, IDC_GENERAL_CHECKED), (UINT)BST_CHECKED);
        EXPECT_EQ(selectedListRow(general, IDC_GENERAL_ICON_LIST), 0);
        EXPECT_EQ(comboSelection(general, IDC_GENERAL_PRIORITY), 6);
        // The category box is sorted and editable.
        EXPECT_EQ(comboEntries(general, IDC_GENERAL_CATEGORY),
                  (std::vector<std::wstring>{L"Home", L"Work"}));
        HWND details = visitDetails(sheet);
        SYSTEMTIME date = {};
        EXPECT_EQ(
            SendDlgItemMessageW(details, IDC_DETAILS_DATE, DTM_GETSYSTEMTIME, 0, (LPARAM)&date),
            GDT_VALID);
        EXPECT_EQ(date.wDay, 9);
        EXPECT_EQ(comboSelection(details, IDC_DETAILS_UNIT), CB_ERR);
        EXPECT_EQ(controlText(details, IDC_DETAILS_NOTE), L"old note");
        setNoDate(details, IDC_DETAILS_DATE);
        SetDlgItemTextW(details, IDC_DETAILS_NOTE, L"new note");
        SetDlgItemTextW(general, IDC_GENERAL_NAME, L"Alpha two");
        SetDlgItemTextW(general, IDC_GENERAL_CATEGORY, L"Garden");
        SendDlgItemMessageW(general, IDC_GENERAL_COLOUR, CB_SETCURSEL, 3, 0);
        ListView_SetItemState(GetDlgItem(general, IDC_GENERAL_ICON_LIST), 11, LVIS_SELECTED,
                              LVIS_SELECTED);
        CheckDlgButton(general, IDC_GENERAL_CHECKED, BST_UNCHECKED);
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    modifySelected();
    EXPECT_EQ(narrow(alpha->name, kNameChars), "Alpha two");
    EXPECT_EQ(narrow(alpha->category, kCategoryChars), "Garden");
    EXPECT_EQ(alpha->colour, 3);
    EXPECT_EQ(alpha->icon, 15);
    EXPECT_EQ(alpha->checkState, kUnchecked);
    EXPECT_EQ(alpha->parentId, 0u);
    EXPECT_EQ(alpha->level, 1u);
    EXPECT_FALSE(hasDueDate(alpha));
    EXPECT_EQ(narrow(alpha->note, 64), "new note");
    wchar_t pane[64] = {};
    GetWindowTextW(gProgram.notePane, pane, 64);
    EXPECT_EQ(std::wstring(pane), L"new note");
    NodeFacts shown;
    wchar_t text[96];
    ASSERT_TRUE(readNode(tree, node, TVIF_IMAGE | TVIF_STATE, &shown, text, 96));
    EXPECT_EQ(std::wstring(text), L"Alpha two");
    EXPECT_EQ(shown.image, 15);
    EXPECT_EQ(shown.box, (UINT)kUnchecked);
    EXPECT_EQ(gCategories.count, 3);

    // An empty name is refused with a message and the sheet stays open.
    driver.expect(kSheet, [](HWND sheet) {
        HWND general = page(sheet, 0);
        SetDlgItemTextW(general, IDC_GENERAL_NAME, L"");
        PropSheet_PressButton(sheet, PSBTN_OK);
        MSG message;
        for (int i = 0; i < 50 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i)
            DispatchMessageW(&message);
        EXPECT_TRUE(IsWindow(sheet));
        SetDlgItemTextW(general, IDC_GENERAL_NAME, L"Alpha three");
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    modifySelected();
    EXPECT_EQ(narrow(alpha->name, kNameChars), "Alpha three");
    ASSERT_EQ(session.boxes.size(), 1u);
    EXPECT_EQ(session.boxes[0].caption, L"Twigmark");
    EXPECT_EQ(session.boxes[0].text, L"You must specify a description.");
    EXPECT_EQ(driver.leftOpen, 0);

    ASSERT_TRUE(session.close());
    NoteList saved;
    readSaved(&saved);
    ASSERT_TRUE(saved.head);
    EXPECT_EQ(narrow(saved.head->name, kNameChars), "Alpha three");
    EXPECT_EQ(saved.head->dueDate.month, 0);
    EXPECT_EQ(narrow(saved.head->note, 64), "new note");
    clearList(&saved);
}

TEST_F(DialogsTest, DateThePickerCannotShowStaysUnlessChanged) {
    writeDocument(notes, kDocument);
    Session session(notes);
    ASSERT_TRUE(session.started);
    DialogDriver driver;
    NoteItem* beta = itemNamed("Beta");
    beta->dueDate.year = 2001;
    beta->dueDate.month = 13; // damaged in the file
    beta->dueDate.day = 5;
    selectNode(nodeOf(beta));
    driver.expect(kSheet, [](HWND sheet) {
        visitDetails(sheet);
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    modifySelected();
    EXPECT_EQ(beta->dueDate.month, 13);

    // Once the user changes the picker, its date counts.
    driver.expect(kSheet, [](HWND sheet) {
        HWND details = visitDetails(sheet);
        setDate(details, IDC_DETAILS_DATE, 2001, 3, 11);
        NMDATETIMECHANGE change = {};
        change.nmhdr.hwndFrom = GetDlgItem(details, IDC_DETAILS_DATE);
        change.nmhdr.idFrom = IDC_DETAILS_DATE;
        change.nmhdr.code = DTN_DATETIMECHANGE;
        change.dwFlags = GDT_VALID;
        SendMessageW(details, WM_NOTIFY, IDC_DETAILS_DATE, (LPARAM)&change);
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    modifySelected();
    EXPECT_EQ(beta->dueDate.month, 3);
    EXPECT_EQ(beta->dueDate.day, 11);
    EXPECT_EQ(driver.leftOpen, 0);
}

// ---- memory shortage ------------------------------------------------------------

// Fails the chosen allocation of records, or every allocation of one size.
static int gRecordAllocations = 0;
static int gFailRecordAt = 0;
static size_t gFailSize = 0;

static void* failingAlloc(size_t bytes) {
    if (bytes == sizeof(NoteItem) && ++gRecordAllocations == gFailRecordAt)
        return nullptr;
    if (gFailSize && bytes == gFailSize)
        return nullptr;
    return calloc(1, bytes ? bytes : 1);
}

static void plainRelease(void* block) {
    free(block);
}

TEST_F(DialogsTest, MemoryShortageLeavesNoHalfMadeItem) {
    writeDocument(notes, kDocument);
    Session session(notes);
    ASSERT_TRUE(session.started);
    DialogDriver driver;
    HWND tree = gProgram.treeView;
    const ModelAllocator failing = {failingAlloc, plainRelease};
    int before = gList.count;
    std::string outline = treeOutline(tree);

    // The record of the new item cannot be made: nothing is added anywhere.
    gRecordAllocations = 0;
    gFailRecordAt = 2; // the first is the editor's work item
    setModelAllocator(&failing);
    selectNode(nodeOf(itemNamed("Beta")));
    driver.expect(kSheet, [](HWND sheet) {
        SetDlgItemTextW(visitDetails(sheet), IDC_DETAILS_NOTE, L"lost note");
        createNamed(L"Lost", L"Same")(sheet);
    });
    newItem();
    setModelAllocator(nullptr);
    EXPECT_EQ(gList.count, before);
    EXPECT_EQ(itemNamed("Lost"), nullptr);
    EXPECT_EQ(treeOutline(tree), outline);
    ASSERT_EQ(session.boxes.size(), 1u);
    EXPECT_EQ(session.boxes[0].caption, L"Edit Item...");

    // The new note of an edited item cannot be kept: the item has no note
    // and the pane keeps the old one, which goes back into the item when
    // the selection moves on.
    NoteItem* beta = itemNamed("Beta");
    beta->note = copyNote((const WideChar*)u"old", 3);
    SetWindowTextW(gProgram.notePane, L"old");
    gFailRecordAt = 0;
    gFailSize = (wcslen(L"new note text") + 1) * sizeof(WideChar);
    setModelAllocator(&failing);
    driver.expect(kSheet, [](HWND sheet) {
        SetDlgItemTextW(visitDetails(sheet), IDC_DETAILS_NOTE, L"new note text");
        SetDlgItemTextW(page(sheet, 0), IDC_GENERAL_NAME, L"Beta two");
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    modifySelected();
    setModelAllocator(nullptr);
    gFailSize = 0;
    EXPECT_EQ(narrow(beta->name, kNameChars), "Beta two");
    EXPECT_EQ(beta->note, nullptr);
    wchar_t pane[32] = {};
    GetWindowTextW(gProgram.notePane, pane, 32);
    EXPECT_EQ(std::wstring(pane), L"old");
    ASSERT_EQ(session.boxes.size(), 2u);
    EXPECT_EQ(session.boxes[1].caption, L"Edit Item...");
    EXPECT_EQ(driver.leftOpen, 0);
}

// ---- the sheet on the device screen -----------------------------------------

// Every visible control of a page lies inside the page, and the page inside
// the sheet.
static void expectPageFits(HWND sheet, HWND shown) {
    RECT sheetClient, pageRect, pageClient;
    GetClientRect(sheet, &sheetClient);
    pageRect = childRect(sheet, shown);
    EXPECT_GE(pageRect.left, 0);
    EXPECT_GE(pageRect.top, 0);
    EXPECT_LE(pageRect.right, sheetClient.right);
    EXPECT_LE(pageRect.bottom, sheetClient.bottom);
    GetClientRect(shown, &pageClient);
    int controls = 0;
    for (HWND child = GetWindow(shown, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        RECT r = childRect(shown, child);
        wchar_t text[64] = {};
        GetWindowTextW(child, text, 64);
        EXPECT_GE(r.left, 0) << GetDlgCtrlID(child);
        EXPECT_LE(r.right, pageClient.right) << GetDlgCtrlID(child);
        EXPECT_LE(r.bottom, pageClient.bottom) << GetDlgCtrlID(child);
        ++controls;
    }
    EXPECT_GE(controls, 7);
}

// With TWIGMARK_HOLD_SHEET set the sheet stays up a few seconds on each
// page, for a screenshot of the device screen.
static void holdForScreenshot() {
    if (!GetEnvironmentVariableW(L"TWIGMARK_HOLD_SHEET", nullptr, 0))
        return;
    DWORD until = GetTickCount() + 2000;
    MSG message;
    while (GetTickCount() < until)
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
}

static bool sipUp() {
    SIPINFO info = {};
    info.cbSize = sizeof info;
    return SHSipInfo(SPI_GETSIPINFO, 0, &info, 0) && (info.fdwFlags & SIPF_ON);
}

// A tap on the panel's key at the given row and column (keys 24 pixels
// wide, rows 16 high; the shift key is the first of row 3).
static void tapKey(int row, int column) {
    HWND panel = FindWindowW(L"PocketPcSipPanel", nullptr);
    ASSERT_TRUE(panel && IsWindowVisible(panel));
    int x = row == 3 && column > 0 ? 36 + (column - 1) * 24 + 5 : column * 24 + 5;
    PostMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, row * 16 + 8));
    PostMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(x, row * 16 + 8));
    pumpFor(60);
}

// A tap on the navigation bar, the given distance from its right end: "ok"
// at 10, the cancel mark at 40.
static void tapNavBar(int fromRight) {
    HWND nav = FindWindowW(L"PocketPcNavBar", nullptr);
    RECT client;
    GetClientRect(nav, &client);
    PostMessageW(nav, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - fromRight, 13));
    PostMessageW(nav, WM_LBUTTONUP, 0, MAKELPARAM(client.right - fromRight, 13));
}

// The sheet as the device shows it: the focus on the Name box raises the
// panel, whose keys type there, and the sheet ends at the panel's top; a
// check box lowers the panel again and the sheet takes the screen below the
// navigation bar, its tabs along the bottom, no desktop buttons; "ok" in the
// navigation bar confirms, Escape cancels.
TEST_F(DialogsTest, SheetFillsTheDeviceScreenWithBothPages) {
    writeDocument(notes, kDocument);
    Session session(notes);
    ASSERT_TRUE(session.started);
    DialogDriver driver;
    SipShowIM(SIPF_OFF);
    selectNode(nodeOf(itemNamed("Beta")));
    driver.expect(kSheet, [](HWND sheet) {
        pumpFor(50);
        HWND general = page(sheet, 0);
        EXPECT_EQ(GetFocus(), GetDlgItem(general, IDC_GENERAL_NAME));
        EXPECT_TRUE(sipUp());
        RECT frame;
        GetWindowRect(sheet, &frame);
        EXPECT_EQ(frame.bottom - frame.top, 320 - 26 - 26 - 80);
        tapKey(3, 0); // shift
        tapKey(1, 4); // t
        tapKey(1, 2); // e
        tapKey(2, 0); // a
        EXPECT_EQ(controlText(general, IDC_GENERAL_NAME), L"Tea");
        SetFocus(GetDlgItem(general, IDC_GENERAL_CHECKED));
        pumpFor(50);
        EXPECT_FALSE(sipUp());

        RECT mainFrame;
        GetWindowRect(sheet, &frame);
        GetWindowRect(gProgram.mainWindow, &mainFrame);
        EXPECT_EQ(frame.right - frame.left, 240);
        EXPECT_EQ(frame.bottom - frame.top, 320 - 26);
        EXPECT_EQ(frame.left, mainFrame.left);
        EXPECT_EQ(frame.top, mainFrame.top);
        EXPECT_EQ(GetWindowLongW(sheet, GWL_STYLE) & WS_CAPTION, 0);
        // A property sheet, not a wizard, and no desktop button row: the
        // page reaches down to the tabs at the bottom edge.
        for (int button : {IDOK, IDCANCEL, IDHELP, 0x3021, 0x3023, 0x3024, 0x3025}) {
            HWND shown = GetDlgItem(sheet, button);
            EXPECT_TRUE(!shown || !IsWindowVisible(shown)) << button;
        }
        RECT client, tabsRect = childRect(sheet, PropSheet_GetTabControl(sheet));
        GetClientRect(sheet, &client);
        EXPECT_EQ(childRect(sheet, general).top, 0);
        EXPECT_EQ(childRect(sheet, general).bottom, tabsRect.top);
        EXPECT_EQ(tabsRect.bottom, client.bottom);
        HWND sipButton = FindWindowW(L"PocketPcSipButton", nullptr);
        EXPECT_TRUE(sipButton && IsWindowVisible(sipButton));
        wchar_t caption[32] = {};
        TCITEMW tab = {};
        tab.mask = TCIF_TEXT;
        tab.pszText = caption;
        tab.cchTextMax = 32;
        HWND tabs = PropSheet_GetTabControl(sheet);
        ASSERT_TRUE(tabs);
        TabCtrl_GetItem(tabs, 0, &tab);
        EXPECT_EQ(std::wstring(caption), L"General");
        TabCtrl_GetItem(tabs, 1, &tab);
        EXPECT_EQ(std::wstring(caption), L"Details");
        expectPageFits(sheet, general);
        holdForScreenshot();
        HWND details = visitDetails(sheet);
        ASSERT_TRUE(details);
        expectPageFits(sheet, details);
        RECT generalRect = childRect(sheet, general), detailsRect = childRect(sheet, details);
        EXPECT_TRUE(EqualRect(&generalRect, &detailsRect));
        EXPECT_EQ(generalRect.right - generalRect.left, 240);
        LONG_PTR nameStyle = GetWindowLongW(GetDlgItem(general, IDC_GENERAL_NAME), GWL_STYLE);
        EXPECT_TRUE(nameStyle & ES_AUTOHSCROLL);
        EXPECT_EQ(SendDlgItemMessageW(details, IDC_DETAILS_TASK_TIME, EM_GETLIMITTEXT, 0, 0), 7);
        EXPECT_EQ(SendDlgItemMessageW(general, IDC_GENERAL_NAME, EM_GETLIMITTEXT, 0, 0), 80);
        HWND icons = GetDlgItem(general, IDC_GENERAL_ICON_LIST);
        // The 70-pixel column fits beside the vertical scroll bar.
        EXPECT_FALSE(GetWindowLongW(icons, GWL_STYLE) & WS_HSCROLL);
        EXPECT_EQ(ListView_GetItemCount(icons), 16);
        EXPECT_EQ(ListView_GetImageList(icons, LVSIL_SMALL),
                  TreeView_GetImageList(gProgram.treeView, TVSIL_NORMAL));
        wchar_t row[32] = {};
        ListView_GetItemText(icons, 15, 0, row, 32);
        EXPECT_EQ(std::wstring(row), L"DVD");
        holdForScreenshot();
        tapNavBar(10);
    });
    int before = gList.count;
    newItem();
    NoteItem* tea = itemNamed("Tea");
    ASSERT_TRUE(tea);
    EXPECT_EQ(tea->parentId, itemNamed("Alpha")->id);
    EXPECT_EQ(gList.count, before + 1);

    driver.expect(kSheet, [](HWND sheet) {
        HWND name = GetDlgItem(page(sheet, 0), IDC_GENERAL_NAME);
        SetWindowTextW(name, L"Dropped");
        PostMessageW(name, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    });
    newItem();
    EXPECT_EQ(driver.ran, 2);
    EXPECT_EQ(driver.leftOpen, 0);
    EXPECT_EQ(gList.count, before + 1);
    EXPECT_EQ(gFindCriteria, nullptr);
}

// A name longer than the box (from a file) survives a Modify that leaves the
// Name box alone (a changed box is ModifyRewritesTheItemAndItsNode's); Enter
// in the Note box starts a new line.
TEST_F(DialogsTest, ModifyKeepsALongNameAndEnterStartsANewNoteLine) {
    writeDocument(notes, kDocument);
    Session session(notes);
    ASSERT_TRUE(session.started);
    DialogDriver driver;
    NoteItem* delta = itemNamed("Delta");
    const std::u16string longName(90, u'n');
    copyWideField(delta->name, kNameChars, (const WideChar*)longName.c_str(), kNameChars);
    selectNode(nodeOf(delta));
    driver.expect(kSheet, [](HWND sheet) {
        HWND note = GetDlgItem(visitDetails(sheet), IDC_DETAILS_NOTE);
        SetWindowTextW(note, L"one");
        SetFocus(note);
        SendMessageW(note, EM_SETSEL, 3, 3);
        // Enter goes through the sheet's dialog manager, as a typed key
        // does: it is what turns Enter into the default button otherwise.
        // The character it makes of the key follows through the queue.
        MSG enter = {note, WM_KEYDOWN, VK_RETURN, 0x1C0001, 0, {}};
        if (!PropSheet_IsDialogMessage(sheet, &enter))
            DispatchMessageW(&enter);
        if (IsWindow(sheet))
            PropSheet_PressButton(sheet, PSBTN_OK);
    });
    modifySelected();
    EXPECT_EQ(narrow(delta->name, kNameChars), std::string(90, 'n'));
    EXPECT_EQ(narrow(delta->note, 64), "one\r\n");
    EXPECT_EQ(driver.leftOpen, 0);
}

// ---- Find -------------------------------------------------------------------

// Cabin > Shed; ABC; Lake (checked); Zebra, on three days of March 2001.
// The tree shows them by name: ABC, Cabin > Shed, Lake, Zebra.
static const std::vector<ItemSpec> kFindDocument = {
    {"Cabin", 1, 0, 1, 1, 2, "Work", 2001, 3, 9},  {"Shed", 2, 1, 2, 1, 0, "", 2001, 3, 11},
    {"ABC", 3, 0, 1, 1, 0, "", 2001, 3, 10},       {"Lake", 4, 0, 1, 2, 2, "WORK", 0, 0, 0},
    {"Zebra", 5, 0, 1, 1, 0, "Workshop", 0, 0, 0},
};

namespace {

struct FindTest : DialogsTest {
    void SetUp() override {
        DialogsTest::SetUp();
        writeDocument(notes, kFindDocument);
    }
    void TearDown() override {
        modelFree(gFindCriteria);
        gFindCriteria = nullptr;
        DialogsTest::TearDown();
    }
    FindCriteria* criteria() {
        if (!gFindCriteria) {
            gFindCriteria = (FindCriteria*)modelAlloc(sizeof(FindCriteria));
            gFindCriteria->checkedChoice = 2;
            gFindCriteria->dateRelation = 1;
            gFindCriteria->lastMatch = TreeView_GetRoot(gProgram.treeView);
        }
        return gFindCriteria;
    }
    // "Find Item...": the dialog, then the walk from the last match.
    std::string findItem(DialogDriver& driver, DialogScript script) {
        criteria();
        driver.expect(L"Find...", script);
        if (runFindDialog(gProgram.mainWindow) != 1)
            return "(cancelled)";
        HWND tree = gProgram.treeView;
        HTREEITEM start =
            gFindCriteria->lastMatch ? gFindCriteria->lastMatch : TreeView_GetRoot(tree);
        return searchFrom(tree, start) ? selectedName() : "(none)";
    }
    std::string findAgain() {
        HWND tree = gProgram.treeView;
        HTREEITEM start = nextInSearchOrder(tree, gFindCriteria->lastMatch);
        return start && searchFrom(tree, start) ? selectedName() : "(none)";
    }
    // The whole tree searched with the criteria as they stand.
    std::string searchAll() {
        HWND tree = gProgram.treeView;
        return searchFrom(tree, TreeView_GetRoot(tree)) ? selectedName() : "(none)";
    }
    std::string selectedName() {
        const NoteItem* item =
            nodeItem(gProgram.treeView, TreeView_GetSelection(gProgram.treeView));
        return item ? narrow(item->name, kNameChars) : "(no item)";
    }
};

} // namespace

TEST_F(FindTest, DialogShowsAndStoresTheCriteria) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    DialogDriver driver;

    // Creation values: the first item below the root node (the tree shows
    // the top level by name: ABC, Cabin > Shed, Lake, Zebra).
    EXPECT_EQ(
        findItem(
            driver,
            [](HWND dialog) {
                // The set-up lowers the panel, the Name box's focus
                // raises it; the dialog ends above it and scrolls.
                pumpFor(50);
                EXPECT_TRUE(sipUp());
                EXPECT_TRUE(GetWindowLongW(dialog, GWL_STYLE) & WS_VSCROLL);
                EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_FIND_CHECKED), (UINT)BST_INDETERMINATE);
                EXPECT_EQ(comboSelection(dialog, IDC_FIND_RELATION), 1);
                EXPECT_EQ(comboEntries(dialog, IDC_FIND_RELATION),
                          (std::vector<std::wstring>{L"Less Than", L"Equals To", L"Greater Than"}));
                EXPECT_EQ(comboEntries(dialog, IDC_FIND_CATEGORY),
                          (std::vector<std::wstring>{L"Any", L"Work", L"Workshop"}));
                std::vector<std::wstring> priorities = comboEntries(dialog, IDC_FIND_PRIORITY);
                ASSERT_EQ(priorities.size(), 11u);
                EXPECT_EQ(priorities[0], L"Any");
                EXPECT_EQ(priorities[10], L"10");
                std::vector<std::wstring> colours = comboEntries(dialog, IDC_FIND_COLOUR);
                ASSERT_EQ(colours.size(), 9u);
                EXPECT_EQ(colours[0], L"(Any)");
                EXPECT_EQ(colours[1], L"(Auto)");
                EXPECT_EQ(comboSelection(dialog, IDC_FIND_CATEGORY), 0);
                SYSTEMTIME date = {};
                EXPECT_EQ(
                    SendDlgItemMessageW(dialog, IDC_FIND_DATE, DTM_GETSYSTEMTIME, 0, (LPARAM)&date),
                    GDT_NONE);
                SendMessageW(dialog, WM_COMMAND, IDOK, 0);
            }),
        "ABC");

    // A date, a relation, a category in another case and a name, stored on
    // "Find" with the time of day cut off.
    EXPECT_EQ(findItem(driver,
                       [](HWND dialog) {
                           SetDlgItemTextW(dialog, IDC_FIND_NAME, L"ab");
                           setDate(dialog, IDC_FIND_DATE, 2001, 3, 10, 13);
                           SendDlgItemMessageW(dialog, IDC_FIND_RELATION, CB_SETCURSEL, 2, 0);
                           SendDlgItemMessageW(dialog, IDC_FIND_CATEGORY, CB_SETCURSEL, 1, 0);
                           SendDlgItemMessageW(dialog, IDC_FIND_PRIORITY, CB_SETCURSEL, 3, 0);
                           SendDlgItemMessageW(dialog, IDC_FIND_COLOUR, CB_SETCURSEL, 1, 0);
                           SendMessageW(dialog, WM_COMMAND, IDOK, 0);
                       }),
              "Cabin");
    FindCriteria* stored = gFindCriteria;
    EXPECT_EQ(std::wstring(stored->nameText), L"ab");
    EXPECT_EQ(std::wstring(stored->categoryText), L"Work");
    EXPECT_EQ(stored->priorityChoice, 3);
    EXPECT_EQ(stored->colourChoice, 1);
    EXPECT_EQ(stored->dateRelation, 2);
    EXPECT_EQ(stored->searchDate.wYear, 2001);
    EXPECT_EQ(stored->searchDate.wMonth, 3);
    EXPECT_EQ(stored->searchDate.wDay, 10);
    EXPECT_EQ(stored->searchDate.wHour, 0);
    EXPECT_EQ(stored->searchDate.wMinute, 0);

    // Shown again as stored; "Cancel" changes nothing.
    wcscpy(stored->categoryText, L"work");
    EXPECT_EQ(findItem(driver,
                       [](HWND dialog) {
                           EXPECT_EQ(controlText(dialog, IDC_FIND_NAME), L"ab");
                           EXPECT_EQ(controlText(dialog, IDC_FIND_CATEGORY), L"Work");
                           EXPECT_EQ(comboSelection(dialog, IDC_FIND_RELATION), 2);
                           EXPECT_EQ(comboSelection(dialog, IDC_FIND_PRIORITY), 3);
                           SYSTEMTIME date = {};
                           EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_FIND_DATE, DTM_GETSYSTEMTIME,
                                                         0, (LPARAM)&date),
                                     GDT_VALID);
                           EXPECT_EQ(date.wDay, 10);
                           SetDlgItemTextW(dialog, IDC_FIND_NAME, L"changed");
                           SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                       }),
              "(cancelled)");
    EXPECT_EQ(std::wstring(stored->nameText), L"ab");

    // "Clear" unticks Checked: then only items that are not checked match.
    gFindCriteria->lastMatch = nodeOf(itemNamed("Lake"));
    EXPECT_EQ(findItem(driver,
                       [](HWND dialog) {
                           SendMessageW(dialog, WM_COMMAND, IDC_FIND_CLEAR, 0);
                           EXPECT_EQ(controlText(dialog, IDC_FIND_NAME), L"");
                           EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_FIND_CHECKED),
                                     (UINT)BST_UNCHECKED);
                           EXPECT_EQ(comboSelection(dialog, IDC_FIND_RELATION), 1);
                           EXPECT_EQ(comboSelection(dialog, IDC_FIND_CATEGORY), 0);
                           EXPECT_EQ(comboSelection(dialog, IDC_FIND_PRIORITY), 0);
                           EXPECT_EQ(comboSelection(dialog, IDC_FIND_COLOUR), 0);
                           SYSTEMTIME date = {};
                           EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_FIND_DATE, DTM_GETSYSTEMTIME,
                                                         0, (LPARAM)&date),
                                     GDT_NONE);
                           SendMessageW(dialog, WM_COMMAND, IDOK, 0);
                       }),
              "Zebra");
    EXPECT_EQ(gFindCriteria->checkedChoice, 0);
    EXPECT_EQ(gFindCriteria->categoryText[0], 0);
    EXPECT_EQ(gFindCriteria->searchDate.wMonth, 0);
    EXPECT_EQ(driver.leftOpen, 0);
    EXPECT_TRUE(session.boxes.empty());
}

// Trees of never-opened nodes whose children were listed out of order:
// "Find Again" with criteria every item meets visits every shown item once,
// in the order the user sees with every node open, and stops at the end.
// "Find Item..." tests the last match first.
TEST_F(FindTest, FindAgainWalksTheRestOfTheTreeInTheOrderShown) {
    const std::vector<ItemSpec> trees = {
        {"Moss", 1, 0, 1, 1, 0, "", 0, 0, 0}, {"Yew", 2, 1, 2, 1, 0, "", 0, 0, 0},
        {"Elm", 3, 1, 2, 1, 0, "", 0, 0, 0},  {"Fir", 5, 3, 3, 1, 0, "", 0, 0, 0},
        {"Ash", 4, 3, 3, 1, 0, "", 0, 0, 0},  {"Oak", 6, 0, 1, 2, 0, "", 0, 0, 0},
        {"Ivy", 7, 6, 2, 1, 0, "", 0, 0, 0},  {"Bay", 8, 0, 1, 1, 0, "", 0, 0, 0},
        {"Rue", 9, 8, 2, 1, 0, "", 0, 0, 0},
    };
    writeDocument(notes, trees);
    Session session(notes);
    ASSERT_TRUE(session.started);
    const struct {
        int hideChecked;
        const char* walk;
    } cases[] = {{0, "Bay Rue Moss Elm Ash Fir Yew Oak Ivy "},
                 {1, "Bay Rue Moss Elm Ash Fir Yew "}};
    for (const auto& test : cases) {
        gOptions.hideChecked = test.hideChecked;
        fillTree(gProgram.treeView);
        criteria()->lastMatch = nullptr;
        std::string walk;
        for (std::string name = searchAll(); name != "(none)"; name = findAgain()) {
            walk += name + " ";
            HTREEITEM last = gFindCriteria->lastMatch;
            ASSERT_EQ(searchFrom(gProgram.treeView, last), 1);
            ASSERT_EQ(gFindCriteria->lastMatch, last) << name;
            ASSERT_LT(walk.size(), 100u);
        }
        EXPECT_EQ(walk, test.walk);
    }
}

TEST_F(FindTest, CriteriaAndTheWalk) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    FindCriteria* c = criteria();
    itemNamed("Cabin")->note = copyNote((const WideChar*)u"fishing trip", 12);

    // Dates on 9, 10 and 11 March against 10 March; dateless items never.
    c->searchDate.wYear = 2001;
    c->searchDate.wMonth = 3;
    c->searchDate.wDay = 10;
    c->dateRelation = 0;
    EXPECT_EQ(searchAll(), "Shed");
    c->dateRelation = 1;
    EXPECT_EQ(searchAll(), "ABC");
    c->dateRelation = 2;
    EXPECT_EQ(searchAll(), "Cabin");
    // Both a date and a name must hold.
    c->dateRelation = 1;
    wcscpy(c->nameText, L"Cab");
    EXPECT_EQ(searchAll(), "(none)");
    memset(&c->searchDate, 0, sizeof c->searchDate);

    // Names: a case-sensitive part of the name.
    wcscpy(c->nameText, L"ab");
    EXPECT_EQ(searchAll(), "Cabin");
    wcscpy(c->nameText, L"AB");
    EXPECT_EQ(searchAll(), "ABC");
    c->nameText[0] = 0;

    // Category ignoring case, whole text only.
    wcscpy(c->categoryText, L"work");
    EXPECT_EQ(searchFrom(gProgram.treeView, nodeOf(itemNamed("Lake"))) ? selectedName() : "",
              "Lake");
    EXPECT_EQ(searchFrom(gProgram.treeView, nodeOf(itemNamed("Zebra"))), 0);
    c->categoryText[0] = 0;

    // Priority entry 3 is priority 2; "(Auto)" is colour 0.
    c->priorityChoice = 3;
    c->checkedChoice = 1;
    EXPECT_EQ(searchAll(), "Lake");
    c->checkedChoice = 2;
    c->priorityChoice = 0;
    c->colourChoice = 2; // Red
    EXPECT_EQ(searchAll(), "(none)");
    c->colourChoice = 1;
    EXPECT_EQ(searchAll(), "ABC");
    c->colourChoice = 0;

    // A phrase is looked for in notes; an item without a note has none of it.
    wcscpy(c->phraseText, L"fish");
    EXPECT_EQ(searchAll(), "Cabin");
    EXPECT_EQ(searchFrom(gProgram.treeView, nodeOf(itemNamed("Lake"))), 0);
    wcscpy(c->phraseText, L"Fish");
    EXPECT_EQ(searchAll(), "(none)");
    c->phraseText[0] = 0;

    // "Find Again" from a leaf that is the last of its siblings goes on
    // with its parent's next sibling, and stops at the end of the tree.
    wcscpy(c->nameText, L"e");
    EXPECT_EQ(searchAll(), "Shed");
    EXPECT_EQ(findAgain(), "Lake");
    EXPECT_EQ(findAgain(), "Zebra");
    HTREEITEM zebra = c->lastMatch;
    EXPECT_EQ(findAgain(), "(none)");
    EXPECT_EQ(c->lastMatch, zebra);
    c->nameText[0] = 0;

    // Hidden checked items are not in the tree and cannot be found.
    gOptions.hideChecked = 1;
    fillTree(gProgram.treeView);
    c->checkedChoice = 1;
    EXPECT_EQ(searchAll(), "(none)");
    EXPECT_EQ(searchFrom(gProgram.treeView, nullptr), 0);
}

// ---- Modify Title and About --------------------------------------------------

TEST_F(DialogsTest, ModifyTitleRefusesEmptyAndCutsLongTitles) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    DialogDriver driver;
    HWND tree = gProgram.treeView;
    std::wstring longTitle;
    for (int i = 0; i < 79; ++i)
        longTitle += (wchar_t)(L'A' + i % 26);
    driver.expect(L"Modify Title...", [&](HWND dialog) {
        EXPECT_EQ(controlText(dialog, IDC_TITLE_NAME), L"Note Tree");
        RECT frame;
        GetWindowRect(dialog, &frame);
        EXPECT_EQ(frame.right - frame.left, 240);
        SetDlgItemTextW(dialog, IDC_TITLE_NAME, L"");
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(IsWindow(dialog));
        // No Cancel: the dialog ends only with a title.
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(IsWindow(dialog));
        SetDlgItemTextW(dialog, IDC_TITLE_NAME, longTitle.c_str());
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    ItemEditorContext context = {0, tree, gProgram.notePane, nullptr};
    selectNode(TreeView_GetRoot(tree));
    runModifyTitleDialog(gProgram.mainWindow, &context);
    ASSERT_EQ(session.boxes.size(), 1u);
    EXPECT_EQ(session.boxes[0].caption, L"Twigmark");
    EXPECT_EQ(session.boxes[0].text, L"You must enter a name.");
    std::wstring kept = longTitle.substr(0, 63);
    wchar_t rootText[96];
    ASSERT_TRUE(readNodeLabel(tree, TreeView_GetRoot(tree), rootText, 96));
    EXPECT_EQ(std::wstring(rootText), kept);
    EXPECT_EQ(std::wstring((const wchar_t*)gList.title), kept);
    EXPECT_EQ(driver.leftOpen, 0);

    ASSERT_TRUE(session.close());
    NoteList saved;
    readSaved(&saved);
    EXPECT_EQ(std::wstring((const wchar_t*)saved.title), kept);
    clearList(&saved);
}

TEST_F(DialogsTest, AboutShowsNameAndVersion) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    DialogDriver driver;
    driver.expect(L"About Twigmark", [](HWND dialog) {
        EXPECT_EQ(controlText(dialog, IDC_ABOUT_TEXT), L"Twigmark\rVersion 2.0");
        EXPECT_TRUE(GetWindowLongW(GetDlgItem(dialog, IDC_ABOUT_TEXT), GWL_STYLE) & SS_NOPREFIX);
        bool icon = false;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                icon = SendMessageW(child, STM_GETICON, 0, 0) != 0;
        EXPECT_TRUE(icon);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(IsWindow(dialog));
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    runAboutDialog(gProgram.mainWindow);
    EXPECT_EQ(driver.ran, 1);
    EXPECT_EQ(driver.leftOpen, 0);
}

// ---- through the commands ------------------------------------------------------

static bool findAgainGrayed() {
    HMENU tools = menuBarPopup(IDM_TOOLS);
    return tools && (GetMenuState(tools, IDM_FIND_AGAIN, MF_BYCOMMAND) & MF_GRAYED);
}

static void command(UINT id) {
    SendMessageW(gProgram.mainWindow, WM_COMMAND, id, 0);
}

TEST_F(DialogsTest, CommandsOpenEveryDialog) {
    writeDocument(notes, kDocument);
    Session session(notes);
    ASSERT_TRUE(session.started);
    DialogDriver driver;
    HWND tree = gProgram.treeView;
    NoteItem* alpha = itemNamed("Alpha");
    alpha->note = copyNote((const WideChar*)u"alpha note", 10);
    selectNode(nodeOf(alpha));
    wchar_t pane[64] = {};
    GetWindowTextW(gProgram.notePane, pane, 64);
    EXPECT_EQ(std::wstring(pane), L"alpha note");

    // "New": the new item's note stays with the new item; the pane, which
    // still belongs to Alpha while the sheet is open, goes back into Alpha.
    driver.expect(kSheet, [](HWND sheet) {
        SetDlgItemTextW(visitDetails(sheet), IDC_DETAILS_NOTE, L"fresh note");
        createNamed(L"Fresh", L"Child")(sheet);
    });
    command(IDM_NEW_ITEM);
    NoteItem* fresh = itemNamed("Fresh");
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->parentId, 1u);
    EXPECT_EQ(narrow(fresh->note, 64), "fresh note");
    EXPECT_EQ(narrow(alpha->note, 64), "alpha note");
    EXPECT_EQ(TreeView_GetSelection(tree), nodeOf(fresh));
    GetWindowTextW(gProgram.notePane, pane, 64);
    EXPECT_EQ(std::wstring(pane), L"fresh note");

    // "Modify..." on an item: the editor; the pane's text is its note.
    SetWindowTextW(gProgram.notePane, L"typed in the pane");
    driver.expect(kSheet, [](HWND sheet) {
        EXPECT_EQ(controlText(visitDetails(sheet), IDC_DETAILS_NOTE), L"typed in the pane");
        SetDlgItemTextW(page(sheet, 0), IDC_GENERAL_NAME, L"Fresher");
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    command(IDM_MODIFY_ITEM);
    EXPECT_EQ(narrow(fresh->name, kNameChars), "Fresher");
    EXPECT_EQ(narrow(fresh->note, 64), "typed in the pane");

    // "Modify..." on the root node: the title.
    selectNode(TreeView_GetRoot(tree));
    driver.expect(L"Modify Title...", [](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_TITLE_NAME, L"My notes");
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    command(IDM_MODIFY_ITEM);
    EXPECT_EQ(std::wstring((const wchar_t*)gList.title), L"My notes");

    driver.expect(L"About Twigmark",
                  [](HWND dialog) { SendMessageW(dialog, WM_COMMAND, IDOK, 0); });
    command(IDM_ABOUT);

    // "Find Item..." then "Find Again" from a leaf that ends its list.
    EXPECT_TRUE(findAgainGrayed());
    driver.expect(L"Find...", [](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_FIND_NAME, L"Fresh");
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    command(IDM_FIND_ITEM);
    EXPECT_EQ(TreeView_GetSelection(tree), nodeOf(fresh));
    EXPECT_FALSE(findAgainGrayed());
    size_t boxes = session.boxes.size();
    command(IDM_FIND_AGAIN);
    ASSERT_EQ(session.boxes.size(), boxes + 1);
    EXPECT_EQ(session.boxes.back().text, L"No item matched the search criteria.");
    EXPECT_TRUE(findAgainGrayed());
    EXPECT_EQ(TreeView_GetSelection(tree), nodeOf(fresh));
    EXPECT_EQ(driver.ran, 5);
    EXPECT_EQ(driver.leftOpen, 0);

    ASSERT_TRUE(session.close());
    NoteList saved;
    readSaved(&saved);
    EXPECT_EQ(std::wstring((const wchar_t*)saved.title), L"My notes");
    const NoteItem* stored = saved.head;
    while (stored && narrow(stored->name, kNameChars) != "Fresher")
        stored = stored->next;
    ASSERT_TRUE(stored);
    EXPECT_EQ(narrow(stored->note, 64), "typed in the pane");
    EXPECT_EQ(narrow(saved.head->note, 64), "alpha note");
    clearList(&saved);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
