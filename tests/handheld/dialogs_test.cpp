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
#include "widetext.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <string.h>

namespace {

const wchar_t kSheet[] = L"Edit Item...";

// Alpha > Beta > Gamma, and Delta beside Alpha.
const std::vector<ItemSpec> kDocument = {
    {"Alpha", 1, 0, 1, 1, 6, "Work", 0, 0, 0},
    {"Beta", 2, 1, 2, 1, 2, "Home", 0, 0, 0},
    {"Gamma", 3, 2, 3, 2, 8, "Work", 0, 0, 0},
    {"Delta", 4, 0, 1, 1, 0, "", 0, 0, 0},
};

struct DialogsTest : ::testing::Test {
    void SetUp() override {
        notes = tempPath(L"twigmark-dialogs.twk");
        DeleteFileW(notes.c_str());
        clearSettings();
    }
    void TearDown() override { DeleteFileW(notes.c_str()); }

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
    std::wstring notes;
};

HWND page(HWND sheet, int index) {
    return PropSheet_IndexToHwnd(sheet, index);
}

HWND visitDetails(HWND sheet) {
    PropSheet_SetCurSel(sheet, nullptr, 1);
    return page(sheet, 1);
}

// The General page as the user leaves it: a name and a Level entry.
DialogScript createNamed(const wchar_t* name, const wchar_t* level) {
    std::wstring nameText = name, levelText = level;
    return [nameText, levelText](HWND sheet) {
        HWND general = page(sheet, 0);
        SetDlgItemTextW(general, IDC_NAME, nameText.c_str());
        EXPECT_NE(SendDlgItemMessageW(general, IDC_LEVEL, CB_SELECTSTRING, (WPARAM)-1,
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
    TVITEMW image = {};
    image.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    image.hItem = nodeOf(gamma);
    image.iImage = image.iSelectedImage = 9;
    TreeView_SetItem(tree, &image);

    // Beside Gamma: the new item inherits all but the name and check mark.
    selectNode(nodeOf(gamma));
    driver.expect(kSheet, [](HWND sheet) {
        HWND general = page(sheet, 0);
        EXPECT_EQ(comboEntries(general, IDC_LEVEL),
                  (std::vector<std::wstring>{L"Same", L"Child", L"Top"}));
        EXPECT_EQ(comboSelection(general, IDC_LEVEL), 0);
        EXPECT_EQ(comboSelection(general, IDC_PRIORITY), 8);
        EXPECT_EQ(comboSelection(general, IDC_COLOUR), 5);
        EXPECT_EQ(selectedListRow(general, IDC_ICON_LIST), 5);
        EXPECT_EQ(controlText(general, IDC_CATEGORY), L"Work");
        EXPECT_EQ(IsDlgButtonChecked(general, IDC_CHECKED), (UINT)BST_UNCHECKED);
        EXPECT_EQ(controlText(general, IDC_NAME), L"");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(general, IDC_LEVEL)));
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
        EXPECT_EQ(comboEntries(general, IDC_LEVEL), (std::vector<std::wstring>{L"Child", L"Top"}));
        EXPECT_EQ(comboSelection(general, IDC_LEVEL), 0);
        EXPECT_EQ(comboEntries(general, IDC_PRIORITY)[4], L"5");
        EXPECT_EQ(comboSelection(general, IDC_PRIORITY), 4);
        EXPECT_EQ(comboSelection(general, IDC_COLOUR), 0);
        EXPECT_EQ(comboEntries(general, IDC_COLOUR).size(), 8u);
        EXPECT_EQ(selectedListRow(general, IDC_ICON_LIST), 0);
        EXPECT_EQ(controlText(general, IDC_CATEGORY), L"");
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
        SetDlgItemTextW(general, IDC_CATEGORY, L"HOME");
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
        setDate(details, IDC_DATE, 2001, 3, 10, 13);
        SetDlgItemTextW(details, IDC_TASK_TIME, L"1.5 hours");
        SendDlgItemMessageW(details, IDC_UNIT, CB_SETCURSEL, 2, 0);
        SetDlgItemTextW(details, IDC_NOTE, note);
    };

    // The platform's own order, and the Details page confirmed on its own
    // before the General page.
    selectNode(TreeView_GetRoot(tree));
    driver.expect(kSheet, [&](HWND sheet) {
        HWND details = visitDetails(sheet);
        ASSERT_TRUE(details);
        EXPECT_EQ(comboEntries(details, IDC_UNIT),
                  (std::vector<std::wstring>{L"Minute(s)", L"Day(s)", L"Week(s)", L"Month(s)"}));
        SYSTEMTIME none = {};
        EXPECT_EQ(SendDlgItemMessageW(details, IDC_DATE, DTM_GETSYSTEMTIME, 0, (LPARAM)&none),
                  GDT_NONE);
        fillDetails(details, L"first note");
        SetDlgItemTextW(page(sheet, 0), IDC_NAME, eighty);
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    newItem();
    selectNode(TreeView_GetRoot(tree));
    driver.expect(kSheet, [&](HWND sheet) {
        HWND details = visitDetails(sheet);
        fillDetails(details, L"second note");
        SetDlgItemTextW(page(sheet, 0), IDC_NAME, L"Details first");
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
        EXPECT_EQ(controlText(general, IDC_NAME), L"Alpha");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(general, IDC_LEVEL)));
        EXPECT_EQ(comboSelection(general, IDC_LEVEL), CB_ERR);
        EXPECT_EQ(IsDlgButtonChecked(general, IDC_CHECKED), (UINT)BST_CHECKED);
        EXPECT_EQ(selectedListRow(general, IDC_ICON_LIST), 0);
        EXPECT_EQ(comboSelection(general, IDC_PRIORITY), 6);
        // The category box is sorted and editable.
        EXPECT_EQ(comboEntries(general, IDC_CATEGORY),
                  (std::vector<std::wstring>{L"Home", L"Work"}));
        HWND details = visitDetails(sheet);
        SYSTEMTIME date = {};
        EXPECT_EQ(SendDlgItemMessageW(details, IDC_DATE, DTM_GETSYSTEMTIME, 0, (LPARAM)&date),
                  GDT_VALID);
        EXPECT_EQ(date.wDay, 9);
        EXPECT_EQ(comboSelection(details, IDC_UNIT), CB_ERR);
        EXPECT_EQ(controlText(details, IDC_NOTE), L"old note");
        setNoDate(details, IDC_DATE);
        SetDlgItemTextW(details, IDC_NOTE, L"new note");
        SetDlgItemTextW(general, IDC_NAME, L"Alpha two");
        SetDlgItemTextW(general, IDC_CATEGORY, L"Garden");
        SendDlgItemMessageW(general, IDC_COLOUR, CB_SETCURSEL, 3, 0);
        ListView_SetItemState(GetDlgItem(general, IDC_ICON_LIST), 11, LVIS_SELECTED, LVIS_SELECTED);
        CheckDlgButton(general, IDC_CHECKED, BST_UNCHECKED);
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
    TVITEMW shown = {};
    wchar_t text[96] = {};
    shown.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_STATE | TVIF_TEXT;
    shown.hItem = node;
    shown.stateMask = TVIS_STATEIMAGEMASK;
    shown.pszText = text;
    shown.cchTextMax = 96;
    ASSERT_TRUE(TreeView_GetItem(tree, &shown));
    EXPECT_EQ(std::wstring(text), L"Alpha two");
    EXPECT_EQ(shown.iImage, 15);
    EXPECT_EQ(shown.state & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(kUnchecked));
    EXPECT_EQ(gCategories.count, 3);

    // An empty name is refused with a message and the sheet stays open.
    driver.expect(kSheet, [](HWND sheet) {
        HWND general = page(sheet, 0);
        SetDlgItemTextW(general, IDC_NAME, L"");
        PropSheet_PressButton(sheet, PSBTN_OK);
        MSG message;
        for (int i = 0; i < 50 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i)
            DispatchMessageW(&message);
        EXPECT_TRUE(IsWindow(sheet));
        SetDlgItemTextW(general, IDC_NAME, L"Alpha three");
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

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
