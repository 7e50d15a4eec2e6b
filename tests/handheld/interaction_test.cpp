// The tree view of the real main window under Wine: the note pane and the
// image buttons following the selection, names, expanding, Enter, the
// context menu, drag and drop, and the drawing of nodes and icon entries.
#include "interaction_support.h"
#include "program_support.h"

#include "commandparts.h"
#include "commands.h"
#include "itemdialogs.h"
#include "notemodel.h"
#include "pocketpc.h"
#include "program.h"
#include "resource.h"
#include "treefill.h"
#include "treenotify.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <stdlib.h>

// Alpha (priority "7", purple) holds Apple (with Seed below it) and the
// checked, magenta Cherry; Banana's colour index is out of range; Gamma has
// the DVD icon and a category.
static const std::vector<NoteRecord> kDocument = {
    {"Alpha", 1, 0, 1, 0, 6, 3, 4, "alpha note", nullptr},
    {"Apple", 2, 1, 2, 0, 0, 0, 5, nullptr, nullptr},
    {"Seed", 3, 2, 3, 0, 0, 0, 0, nullptr, nullptr},
    {"Cherry", 4, 1, 2, kChecked, 0, 6, 0, nullptr, nullptr},
    {"Banana", 5, 0, 1, 0, 0, 9, 0, nullptr, nullptr},
    {"Gamma", 6, 0, 1, 0, 0, 0, 19, "gamma note", "Work"},
};

namespace {

struct InteractionTest : NoteFileTest {
    InteractionTest() : NoteFileTest(L"twigmark-interaction.twk") {}
    void SetUp() override {
        NoteFileTest::SetUp();
        writeNotes(notes, kDocument);
    }
    void TearDown() override {
        stopAnsweringMenus();
        NoteFileTest::TearDown();
    }
    HWND tree() const { return gProgram.treeView; }
    HWND main() const { return gProgram.mainWindow; }
    std::string pane() const {
        wchar_t text[256] = {};
        GetWindowTextW(gProgram.notePane, text, 256);
        return narrow(text);
    }
    bool buttonEnabled(UINT command) const {
        return SendMessageW(gProgram.menuBar, TB_ISBUTTONENABLED, command, 0) != 0;
    }
    NoteItem* item(const char* name) const { return nodeItem(tree(), findNode(tree(), name)); }
};

} // namespace

// ---- selection, names, expanding, Enter -------------------------------------

TEST_F(InteractionTest, PaneAndImageButtonsFollowTheSelection) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    ASSERT_TRUE(gProgram.menuBar);
    EXPECT_EQ(pane(), "");
    EXPECT_FALSE(IsWindowEnabled(gProgram.notePane));
    EXPECT_TRUE(buttonEnabled(IDM_MODIFY_ITEM));
    EXPECT_FALSE(buttonEnabled(IDM_DELETE_ITEM));

    TreeView_SelectItem(tree(), findNode(tree(), "Alpha"));
    EXPECT_EQ(pane(), "alpha note");
    EXPECT_TRUE(IsWindowEnabled(gProgram.notePane));
    EXPECT_TRUE(buttonEnabled(IDM_MODIFY_ITEM));
    EXPECT_TRUE(buttonEnabled(IDM_DELETE_ITEM));

    TreeView_SelectItem(tree(), findNode(tree(), "Banana"));
    EXPECT_EQ(pane(), "");
    EXPECT_TRUE(IsWindowEnabled(gProgram.notePane));

    TreeView_SelectItem(tree(), TreeView_GetRoot(tree()));
    EXPECT_EQ(pane(), "");
    EXPECT_FALSE(IsWindowEnabled(gProgram.notePane));
    EXPECT_FALSE(buttonEnabled(IDM_DELETE_ITEM));

    SendMessageW(main(), WM_COMMAND, IDM_VIEW_CATEGORY, 0);
    TreeView_SelectItem(tree(), findNode(tree(), "Gamma"));
    EXPECT_EQ(pane(), "gamma note");
    TreeView_SelectItem(tree(), findNode(tree(), "Work"));
    EXPECT_EQ(pane(), "");
    EXPECT_FALSE(IsWindowEnabled(gProgram.notePane));
    EXPECT_FALSE(buttonEnabled(IDM_MODIFY_ITEM));
    EXPECT_FALSE(buttonEnabled(IDM_DELETE_ITEM));

    // No selection at all: nothing changes, nothing breaks.
    TreeView_SelectItem(tree(), nullptr);
    NMHDR header = {};
    sendTreeNotify(main(), tree(), &header, NM_RETURN);
    EXPECT_FALSE(IsWindowEnabled(gProgram.notePane));
}

TEST_F(InteractionTest, NamesComeFromTheItemsCutToTheBuffer) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    EXPECT_EQ(childLabels(tree(), TreeView_GetRoot(tree())), "Alpha,Banana,Gamma");
    NMTVDISPINFOW info = {};
    wchar_t text[3] = {L'x', L'x', L'x'};
    info.item.mask = TVIF_TEXT;
    info.item.hItem = findNode(tree(), "Alpha");
    info.item.lParam = (LPARAM)item("Alpha");
    info.item.pszText = text;
    info.item.cchTextMax = 3;
    sendTreeNotify(main(), tree(), &info.hdr, TVN_GETDISPINFOW);
    EXPECT_EQ(narrow(text), "Al");
}

TEST_F(InteractionTest, RootStaysOpenOtherNodesOpenAndClose) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    HTREEITEM root = TreeView_GetRoot(tree());
    auto expanded = [&](HTREEITEM node) {
        return (TreeView_GetItemState(tree(), node, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    };
    // The user's keys, as the tree view takes them.
    SendMessageW(tree(), WM_KEYDOWN, VK_SUBTRACT, 0);
    SendMessageW(tree(), WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_TRUE(expanded(root));
    HTREEITEM alpha = findNode(tree(), "Alpha");
    TreeView_SelectItem(tree(), alpha);
    SendMessageW(tree(), WM_KEYDOWN, VK_ADD, 0);
    EXPECT_TRUE(expanded(alpha));
    SendMessageW(tree(), WM_KEYDOWN, VK_SUBTRACT, 0);
    EXPECT_FALSE(expanded(alpha));

    NMTREEVIEWW change = {};
    change.action = TVE_COLLAPSE;
    change.itemNew.hItem = root;
    EXPECT_EQ(sendTreeNotify(main(), tree(), &change.hdr, TVN_ITEMEXPANDINGW), 1);
    change.itemNew.hItem = alpha;
    EXPECT_EQ(sendTreeNotify(main(), tree(), &change.hdr, TVN_ITEMEXPANDINGW), 0);
    change.action = TVE_EXPAND;
    EXPECT_EQ(sendTreeNotify(main(), tree(), &change.hdr, TVN_ITEMEXPANDINGW), 0);
    change.itemNew.hItem = nullptr;
    EXPECT_EQ(sendTreeNotify(main(), tree(), &change.hdr, TVN_ITEMEXPANDINGW), 0);
}

// The user closes nodes: a node closing over the selection takes
// the selection with the usual notifications; the root node stays open.
TEST_F(InteractionTest, ClosingOverTheSelectionMovesItThroughNotifications) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    HTREEITEM root = TreeView_GetRoot(tree()), alpha = findNode(tree(), "Alpha");
    TreeView_Expand(tree(), alpha, TVE_EXPAND);
    TreeView_SelectItem(tree(), findNode(tree(), "Apple"));
    EXPECT_EQ(pane(), "");
    auto click = [&](POINT at) {
        PostMessageW(tree(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        PostMessageW(tree(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        pumpFor(30);
    };
    click(buttonPoint(tree(), alpha));
    EXPECT_FALSE(TreeView_GetItemState(tree(), alpha, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_EQ(TreeView_GetSelection(tree()), alpha);
    EXPECT_EQ(pane(), "alpha note");
    EXPECT_TRUE(buttonEnabled(IDM_DELETE_ITEM));

    // The root node has no button; a double tap on its label toggles it.
    POINT title = labelPoint(tree(), root);
    SendMessageW(tree(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(title.x, title.y));
    EXPECT_TRUE(TreeView_GetItemState(tree(), root, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_EQ(TreeView_GetSelection(tree()), root);
    EXPECT_FALSE(buttonEnabled(IDM_DELETE_ITEM));
    EXPECT_EQ(childLabels(tree(), root), "Alpha,Banana,Gamma");
    TVHITTESTINFO hit = {};
    hit.pt = labelPoint(tree(), findNode(tree(), "Gamma"));
    EXPECT_EQ(TreeView_HitTest(tree(), &hit), findNode(tree(), "Gamma"));
}

TEST_F(InteractionTest, NoteGoesBackIntoTheItemBeforeTheSelectionMoves) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    TreeView_SelectItem(tree(), findNode(tree(), "Alpha"));
    SetWindowTextW(gProgram.notePane, L"edited");
    TreeView_SelectItem(tree(), findNode(tree(), "Banana"));
    EXPECT_EQ(narrow((const wchar_t*)item("Alpha")->note), "edited");

    // Enter on an item: "Modify..." stores the pane first.
    SetWindowTextW(gProgram.notePane, L"by enter");
    NMHDR header = {};
    sendTreeNotify(main(), tree(), &header, NM_RETURN);
    ASSERT_TRUE(item("Banana")->note);
    EXPECT_EQ(narrow((const wchar_t*)item("Banana")->note), "by enter");

    // No memory for the note: the selection stays where it is, and so does
    // the item's note.
    HTREEITEM banana = findNode(tree(), "Banana");
    SetWindowTextW(gProgram.notePane, L"no room");
    static const ModelAllocator failing = {[](size_t) -> void* { return nullptr; },
                                           [](void* block) { free(block); }};
    setModelAllocator(&failing);
    TreeView_SelectItem(tree(), findNode(tree(), "Gamma"));
    setModelAllocator(nullptr);
    EXPECT_EQ(TreeView_GetSelection(tree()), banana);
    ASSERT_TRUE(item("Banana")->note);
    EXPECT_EQ(narrow((const wchar_t*)item("Banana")->note), "by enter");
    // The item editor that Enter opened, then the shortage notice.
    ASSERT_EQ(session.boxes.size(), 2u);
    EXPECT_EQ(session.boxes[0].caption, L"Edit Item...");
}

TEST_F(InteractionTest, OpeningANodeArrangesItsChildren) {
    writeNotes(notes, {{"Parent", 1, 0, 1, 0, 0, 0, 0, nullptr, nullptr},
                       {"zed", 2, 1, 2, 0, 0, 0, 0, nullptr, nullptr},
                       {"Mid", 3, 1, 2, 0, 0, 0, 0, nullptr, nullptr},
                       {"ann", 4, 1, 2, 0, 0, 0, 0, nullptr, nullptr}});
    Session session(notes);
    ASSERT_TRUE(session.started);
    HTREEITEM parent = findNode(tree(), "Parent");
    TreeView_SelectItem(tree(), parent);
    SendMessageW(tree(), WM_KEYDOWN, VK_ADD, 0);
    EXPECT_EQ(childLabels(tree(), parent), "ann,Mid,zed");
    SendMessageW(main(), WM_COMMAND, IDM_DESCENDING, 0);
    EXPECT_FALSE(TreeView_GetItemState(tree(), parent, TVIS_EXPANDED) & TVIS_EXPANDED);
    SendMessageW(tree(), WM_KEYDOWN, VK_ADD, 0);
    EXPECT_EQ(childLabels(tree(), parent), "zed,Mid,ann");
}

TEST_F(InteractionTest, DeletedNodeIsForgottenBySearchAndDrag) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    FindCriteria* criteria = (FindCriteria*)modelAlloc(sizeof(FindCriteria));
    ASSERT_TRUE(criteria);
    gFindCriteria = criteria;
    HTREEITEM gamma = findNode(tree(), "Gamma");
    criteria->lastMatch = gamma;
    TreeView_DeleteItem(tree(), gamma);
    EXPECT_EQ(criteria->lastMatch, nullptr);
    discardSearch();
}

// ---- the context menu --------------------------------------------------------

static UINT entryState(HMENU menu, UINT id, UINT flag) {
    return GetMenuState(menu, id, flag) & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
}

TEST_F(InteractionTest, ContextMenuIsEnabledForTheNodeItOpensOn) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    HMENU menu = gProgram.itemMenu;
    ASSERT_TRUE(menu);
    ASSERT_EQ(GetMenuItemCount(menu), 7);
    HMENU priorities = GetSubMenu(menu, 1), icons = GetSubMenu(menu, 2);
    ASSERT_TRUE(priorities && icons);
    EXPECT_EQ(GetMenuItemCount(priorities), 10);
    EXPECT_EQ(GetMenuItemCount(icons), 16);
    EXPECT_TRUE(GetMenuState(icons, 810, MF_BYCOMMAND) & MF_MENUBARBREAK);
    EXPECT_TRUE(GetMenuState(icons, 816, MF_BYCOMMAND) & MF_OWNERDRAW);

    auto grayed = [&](UINT id, UINT flag) { return entryState(menu, id, flag) & MF_GRAYED; };
    answerNextMenu({VK_ESCAPE});
    sendContextGesture(main(), tree(), labelPoint(tree(), findNode(tree(), "Alpha")));
    EXPECT_TRUE(menuWasShown());
    EXPECT_EQ(TreeView_GetSelection(tree()), findNode(tree(), "Alpha"));
    EXPECT_EQ(pane(), "alpha note");
    EXPECT_FALSE(grayed(IDM_MODIFY_ITEM, MF_BYCOMMAND));
    EXPECT_FALSE(grayed(1, MF_BYPOSITION));
    EXPECT_FALSE(grayed(2, MF_BYPOSITION));
    EXPECT_FALSE(grayed(103, MF_BYCOMMAND));
    EXPECT_FALSE(grayed(IDM_DELETE_ITEM, MF_BYCOMMAND));
    for (UINT id = 40100; id <= 40109; ++id)
        EXPECT_EQ((GetMenuState(priorities, id, MF_BYCOMMAND) & MF_CHECKED) != 0, id == 40106)
            << id;

    // Empty space below the last node: the menu is about no node, so it
    // offers nothing, whatever was selected before.
    RECT client;
    GetClientRect(tree(), &client);
    POINT below = {client.right / 2, client.bottom - 3};
    TreeView_SelectItem(tree(), findNode(tree(), "Gamma"));
    answerNextMenu({VK_ESCAPE});
    sendContextGesture(main(), tree(), below);
    EXPECT_TRUE(menuWasShown());
    EXPECT_EQ(TreeView_GetSelection(tree()), findNode(tree(), "Gamma"));
    EXPECT_TRUE(grayed(IDM_MODIFY_ITEM, MF_BYCOMMAND));
    EXPECT_TRUE(grayed(1, MF_BYPOSITION));
    EXPECT_TRUE(grayed(2, MF_BYPOSITION));
    EXPECT_TRUE(grayed(103, MF_BYCOMMAND));
    EXPECT_TRUE(grayed(IDM_DELETE_ITEM, MF_BYCOMMAND));

    // No node selected: everything grayed, nothing breaks.
    TreeView_SelectItem(tree(), nullptr);
    answerNextMenu({VK_ESCAPE});
    sendContextGesture(main(), tree(), below);
    EXPECT_TRUE(grayed(IDM_MODIFY_ITEM, MF_BYCOMMAND));

    SendMessageW(main(), WM_COMMAND, IDM_VIEW_CATEGORY, 0);
    answerNextMenu({VK_ESCAPE});
    sendContextGesture(main(), tree(), labelPoint(tree(), findNode(tree(), "Work")));
    EXPECT_TRUE(menuWasShown());
    EXPECT_EQ(TreeView_GetSelection(tree()), findNode(tree(), "Work"));
    EXPECT_TRUE(grayed(IDM_MODIFY_ITEM, MF_BYCOMMAND));
    EXPECT_TRUE(grayed(1, MF_BYPOSITION));
    EXPECT_TRUE(grayed(2, MF_BYPOSITION));
    EXPECT_TRUE(grayed(103, MF_BYCOMMAND));
    EXPECT_TRUE(grayed(IDM_DELETE_ITEM, MF_BYCOMMAND));
}

// Commands chosen in the menu with the keys: "Modify..." stores the note
// pane first; Enter on "Priority" opens it with "1" marked for choosing.
TEST_F(InteractionTest, ChosenMenuCommandActsOnTheNode) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    HTREEITEM alpha = findNode(tree(), "Alpha");
    TreeView_SelectItem(tree(), alpha);
    SetWindowTextW(gProgram.notePane, L"from the menu");
    answerNextMenu({VK_DOWN, VK_RETURN});
    sendContextGesture(main(), tree(), labelPoint(tree(), alpha));
    EXPECT_TRUE(menuWasShown());
    EXPECT_EQ(narrow((const wchar_t*)item("Alpha")->note), "from the menu");

    answerNextMenu({VK_DOWN, VK_DOWN, VK_RETURN, VK_RETURN});
    sendContextGesture(main(), tree(), labelPoint(tree(), alpha));
    EXPECT_EQ(item("Alpha")->priority, 0);
    pumpFor(30);
}

// A real press held on a check box: the menu opens while the tree view is
// still timing the press, and the release it then reports must not tick the
// box or start a drag.
TEST_F(InteractionTest, TapAndHoldOnCheckBoxOnlyOpensTheMenu) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    HTREEITEM banana = findNode(tree(), "Banana");
    ASSERT_EQ(checkImage(tree(), banana), (UINT)kUnchecked);
    POINT box = checkBoxPoint(tree(), banana);
    answerNextMenu({VK_ESCAPE});
    PostMessageW(tree(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.x, box.y));
    pumpFor(900);
    PostMessageW(tree(), WM_LBUTTONUP, 0, MAKELPARAM(box.x, box.y));
    pumpFor(50);
    EXPECT_TRUE(menuWasShown());
    EXPECT_EQ(checkImage(tree(), banana), (UINT)kUnchecked);
    EXPECT_EQ(TreeView_GetSelection(tree()), banana);
    EXPECT_FALSE(gDrag.dragging);
    EXPECT_NE(GetCapture(), main());

    // The next ordinary click still ticks the box.
    PostMessageW(tree(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.x, box.y));
    PostMessageW(tree(), WM_LBUTTONUP, 0, MAKELPARAM(box.x, box.y));
    pumpFor(50);
    EXPECT_EQ(checkImage(tree(), banana), (UINT)kChecked);
}

// ---- drag and drop ----------------------------------------------------------

namespace {

struct DragTest : InteractionTest {
    // A press on the node's label and a move out of the tree view's drag
    // rectangle: the tree view reports the start of a drag.
    void pressAndPull(HTREEITEM node) {
        POINT at = labelPoint(tree(), node);
        PostMessageW(tree(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        PostMessageW(tree(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x + 40, at.y));
        pumpFor(30);
    }
    // Pointer messages reach the main window while it holds the pointer, in
    // its client coordinates; at is a point of the tree view.
    void moveTo(POINT at) {
        MapWindowPoints(tree(), main(), &at, 1);
        SendMessageW(main(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    }
    void moveOver(HTREEITEM node) { moveTo(labelPoint(tree(), node)); }
    void release() { SendMessageW(main(), WM_LBUTTONUP, 0, 0); }
    POINT emptySpace() {
        RECT client;
        GetClientRect(tree(), &client);
        POINT at = {client.right / 2, client.bottom - 3};
        return at;
    }
    // The drop as the pointer's release makes it, of node onto target.
    void dropOnto(HTREEITEM node, HTREEITEM target) {
        TreeView_SelectItem(tree(), node);
        gDrag.dragging = true;
        gDrag.draggedNode = node;
        gDrag.target = target;
        gDrag.dragImages = nullptr;
        SetCapture(main());
        dropDragged(main());
    }
    void expectDragEnded() {
        EXPECT_FALSE(gDrag.dragging);
        EXPECT_NE(GetCapture(), main());
        EXPECT_EQ(TreeView_GetDropHilight(tree()), nullptr);
    }
};

} // namespace

TEST_F(DragTest, DropPlacesItemByNameUnderTheLastNodePassedOver) {
    {
        Session session(notes);
        ASSERT_TRUE(session.started);
        HTREEITEM alpha = findNode(tree(), "Alpha");
        pressAndPull(findNode(tree(), "Banana"));
        ASSERT_TRUE(gDrag.dragging);
        EXPECT_EQ(GetCapture(), main());
        // The node under the stylus is the one dragged, selected first.
        EXPECT_EQ(TreeView_GetSelection(tree()), gDrag.draggedNode);
        moveOver(alpha);
        EXPECT_EQ(TreeView_GetDropHilight(tree()), alpha);
        moveTo(emptySpace());
        EXPECT_EQ(TreeView_GetDropHilight(tree()), alpha);
        release();
        expectDragEnded();
        EXPECT_EQ(childLabels(tree(), alpha), "Apple,Banana,Cherry");
        EXPECT_EQ(childLabels(tree(), TreeView_GetRoot(tree())), "Alpha,Gamma");
        EXPECT_EQ(item("Banana")->parentId, 1u);
        EXPECT_EQ(item("Banana")->level, 2u);

        // Back to the top level: placed by name among the root's children.
        pressAndPull(findNode(tree(), "Banana"));
        ASSERT_TRUE(gDrag.dragging);
        moveOver(TreeView_GetRoot(tree()));
        release();
        EXPECT_EQ(childLabels(tree(), TreeView_GetRoot(tree())), "Alpha,Banana,Gamma");
        EXPECT_EQ(item("Banana")->parentId, 0u);
        EXPECT_EQ(item("Banana")->level, 1u);

        // An item with children onto another item: the children follow as
        // the last children of the new node, in their order, one level down.
        TreeView_Expand(tree(), alpha, TVE_EXPAND);
        pressAndPull(alpha);
        ASSERT_TRUE(gDrag.dragging);
        moveOver(findNode(tree(), "Gamma"));
        release();
        expectDragEnded();
        HTREEITEM moved = findNode(tree(), "Alpha");
        ASSERT_TRUE(moved);
        EXPECT_EQ(TreeView_GetParent(tree(), moved), findNode(tree(), "Gamma"));
        EXPECT_EQ(childLabels(tree(), moved), "Apple,Cherry");
        EXPECT_EQ(childLabels(tree(), findNode(tree(), "Apple")), "Seed");
        EXPECT_EQ(item("Alpha")->parentId, 6u);
        EXPECT_EQ(item("Alpha")->level, 2u);
        EXPECT_EQ(item("Apple")->level, 3u);
        EXPECT_EQ(item("Apple")->parentId, 1u);
        EXPECT_EQ(checkImage(tree(), findNode(tree(), "Cherry")), (UINT)kChecked);
    }
    SavedDocument saved(notes);
    ASSERT_EQ(saved.loaded, 1);
    ASSERT_TRUE(saved.find("Alpha") && saved.find("Cherry") && saved.find("Seed"));
    EXPECT_EQ(saved.find("Alpha")->parentId, 6u);
    EXPECT_EQ(saved.find("Alpha")->level, 2u);
    EXPECT_EQ(saved.find("Cherry")->parentId, 1u);
    EXPECT_EQ(saved.find("Cherry")->level, 3u);
    EXPECT_EQ(saved.find("Seed")->parentId, 2u);
    EXPECT_EQ(saved.find("Seed")->level, 4u);
    EXPECT_EQ(saved.find("Banana")->parentId, 0u);
    EXPECT_EQ(saved.list.count, 6);

    Session again(notes);
    ASSERT_TRUE(again.started);
    EXPECT_EQ(treeOutline(gProgram.treeView), "*Note Tree\n"
                                              "  Banana\n"
                                              "  Gamma\n"
                                              "    Alpha\n"
                                              "      Apple\n"
                                              "        Seed\n"
                                              "      [x]Cherry\n");
}

// Every row of every node, the top and the last few, hits that node for the
// gesture and the drop highlight: the tree view lies a few pixels into the
// main window. X dropped on C's last row lands under C and stays there when
// the file is read again, although it is listed before its new parent.
TEST_F(DragTest, EveryRowOfANodeHitsThatNodeAndADropSurvivesReopening) {
    writeNotes(notes, {{"A", 1, 0, 1, 0, 0, 0, 0, nullptr, nullptr},
                       {"X", 2, 0, 1, 0, 0, 0, 0, nullptr, nullptr},
                       {"B", 3, 1, 2, 0, 0, 0, 0, nullptr, nullptr},
                       {"C", 4, 3, 3, 0, 0, 0, 0, nullptr, nullptr}});
    {
        Session session(notes);
        ASSERT_TRUE(session.started);
        TreeView_Expand(tree(), findNode(tree(), "A"), TVE_EXPAND);
        TreeView_Expand(tree(), findNode(tree(), "B"), TVE_EXPAND);
        const char* names[] = {"A", "B", "C", "X"};
        std::vector<std::pair<HTREEITEM, POINT>> rows;
        for (const char* name : names) {
            HTREEITEM node = findNode(tree(), name);
            RECT row = {};
            TreeView_GetItemRect(tree(), node, &row, TRUE);
            for (int dy : {0, 3, 2, 1}) {
                POINT at = {(row.left + row.right) / 2, dy ? row.bottom - dy : row.top};
                rows.push_back({node, at});
            }
        }
        for (const auto& row : rows) {
            answerNextMenu({VK_ESCAPE});
            sendContextGesture(main(), tree(), row.second);
            EXPECT_EQ(TreeView_GetSelection(tree()), row.first) << row.second.y;
        }
        pressAndPull(findNode(tree(), "X"));
        ASSERT_TRUE(gDrag.dragging);
        for (const auto& row : rows) {
            moveTo(row.second);
            EXPECT_EQ(gDrag.target, row.first) << row.second.y; // the node a drop goes to
        }
        moveTo(rows[11].second); // C's last row
        release();
        expectDragEnded();
        EXPECT_EQ(childLabels(tree(), findNode(tree(), "C")), "X");
    }
    Session again(notes);
    ASSERT_TRUE(again.started);
    EXPECT_EQ(treeOutline(gProgram.treeView), "*Note Tree\n"
                                              "  A\n"
                                              "    B\n"
                                              "      C\n"
                                              "        X\n");
}

TEST_F(DragTest, DropOntoItselfOrBelowItselfMovesNothing) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    HTREEITEM alpha = findNode(tree(), "Alpha");
    TreeView_Expand(tree(), alpha, TVE_EXPAND);
    TreeView_Expand(tree(), findNode(tree(), "Apple"), TVE_EXPAND);
    std::string before = treeOutline(tree());
    const char* targets[] = {"Seed", "Apple", "Alpha"};
    for (const char* target : targets) {
        pressAndPull(alpha);
        ASSERT_TRUE(gDrag.dragging) << target;
        moveOver(findNode(tree(), target));
        release();
        expectDragEnded();
        EXPECT_EQ(treeOutline(tree()), before) << target;
        EXPECT_EQ(item("Alpha")->parentId, 0u);
        EXPECT_EQ(item("Alpha")->level, 1u);
    }
    // Released without passing over any node.
    pressAndPull(findNode(tree(), "Gamma"));
    ASSERT_TRUE(gDrag.dragging);
    moveTo(emptySpace());
    release();
    expectDragEnded();
    EXPECT_EQ(treeOutline(tree()), before);
}

namespace {

// Each node of a subtree in pre-order: its depth below the top, its item,
// icons and box, as the tree view shows them.
struct ShownNode {
    int depth;
    NoteItem* item;
    int image, selectedImage;
    UINT box;
    bool operator==(const ShownNode& other) const {
        return depth == other.depth && item == other.item && image == other.image &&
               selectedImage == other.selectedImage && box == other.box;
    }
};

} // namespace

static void showSubtree(HWND tree, HTREEITEM node, int depth, std::vector<ShownNode>* shown) {
    TVITEMW read = {};
    read.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    read.hItem = node;
    read.stateMask = TVIS_STATEIMAGEMASK;
    TreeView_GetItem(tree, &read);
    shown->push_back({depth, (NoteItem*)read.lParam, read.iImage, read.iSelectedImage,
                      (read.state & TVIS_STATEIMAGEMASK) >> 12});
    for (HTREEITEM child = TreeView_GetChild(tree, node); child;
         child = TreeView_GetNextSibling(tree, child))
        showSubtree(tree, child, depth + 1, shown);
}

// Where two shown subtrees first part, for the failure message.
static std::string firstDifference(const std::vector<ShownNode>& a,
                                   const std::vector<ShownNode>& b) {
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    char text[200];
    if (i == a.size() || i == b.size()) {
        snprintf(text, sizeof text, "sizes %zu and %zu", a.size(), b.size());
    } else {
        snprintf(text, sizeof text,
                 "node %zu: depth %d/%d item %s/%s image %d/%d selected %d/%d box %u/%u", i,
                 a[i].depth, b[i].depth, a[i].item == b[i].item ? "same" : "other",
                 a[i].item == b[i].item ? "same" : "other", a[i].image, b[i].image,
                 a[i].selectedImage, b[i].selectedImage, a[i].box, b[i].box);
    }
    return text;
}

static void itemNodes(HWND tree, HTREEITEM node, std::vector<HTREEITEM>* nodes) {
    for (HTREEITEM child = TreeView_GetChild(tree, node); child;
         child = TreeView_GetNextSibling(tree, child)) {
        nodes->push_back(child);
        itemNodes(tree, child, nodes);
    }
}

static bool isBelowOrSame(HWND tree, HTREEITEM node, HTREEITEM top) {
    for (HTREEITEM up = node; up; up = TreeView_GetParent(tree, up))
        if (up == top)
            return true;
    return false;
}

// Whatever happened to the nodes since the fill (opened and so arranged,
// or opened silently; given another priority or icon; ticked one by one or
// by the dozen; copied, partly deleted, moved before; the view arranged or
// refilled), a drop remakes the dragged subtree under the target exactly as
// the tree view showed it.
TEST_F(DragTest, DropRemakesTheSubtreeAsShownAfterEveryKindOfChange) {
    uint32_t seed = 20261209;
    auto next = [&seed](uint32_t below) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % below;
    };
    std::vector<std::string> names;
    for (int i = 0; i < 80; ++i)
        names.push_back(std::string(1, (char)('a' + next(26))) + std::to_string(i));
    std::vector<NoteRecord> records;
    for (uint32_t i = 0; i < 80; ++i) {
        uint32_t parent = i < 4 || next(6) == 0 ? 0 : 1 + next(i);
        uint32_t level = parent ? records[parent - 1].level + 1 : 1;
        records.push_back({names[i].c_str(), i + 1, parent, level,
                           (uint16_t)(next(4) == 0 ? kChecked : kUnchecked), (uint16_t)next(10), 0,
                           (uint16_t)(4 + next(16)), nullptr, nullptr});
    }
    writeNotes(notes, records);
    Session session(notes);
    ASSERT_TRUE(session.started);
    int drops = 0;
    NoteItem* lastParent = nullptr;
    for (int step = 0; step < 250; ++step) {
        std::vector<HTREEITEM> nodes;
        itemNodes(tree(), TreeView_GetRoot(tree()), &nodes);
        if (nodes.size() < 10 && gOptions.hideChecked) {
            onCommand(main(), IDM_HIDE_CHECKED); // the checked items back
            continue;
        }
        ASSERT_FALSE(nodes.empty());
        HTREEITEM node = nodes[next((uint32_t)nodes.size())];
        uint32_t kind = next(40);
        if (kind == 0) {
            TreeView_Expand(tree(), node, TVE_EXPAND);
        } else if (kind < 4) {
            // Opened without a word, as some tree views open a node they
            // opened once: nothing arranges its children.
            TreeView_SetItemState(tree(), node, TVIS_EXPANDEDONCE, TVIS_EXPANDEDONCE);
            TreeView_Expand(tree(), node, TVE_EXPAND);
        } else if (kind == 4) {
            TreeView_SelectItem(tree(), node);
            onCommand(main(), IDM_PRIORITY_FIRST + next(10));
        } else if (kind < 6) {
            TreeView_SelectItem(tree(), node);
            onCommand(main(), IDS_ICON_NAME_FIRST + next(16));
        } else if (kind < 9) {
            // Seventy at once now and then: more than the record of ticks holds.
            int ticks = next(8) == 0 ? 70 : 1;
            for (int t = 0; t < ticks; ++t) {
                HTREEITEM ticked = nodes[next((uint32_t)nodes.size())];
                TreeView_SetItemState(tree(), ticked, INDEXTOSTATEIMAGEMASK(1 + next(2)),
                                      TVIS_STATEIMAGEMASK);
            }
        } else if (kind < 11) {
            TreeView_SelectItem(tree(), node);
            onCommand(main(), IDM_CREATE_COPY);
        } else if (kind < 13) {
            std::vector<ShownNode> doomed;
            showSubtree(tree(), node, 0, &doomed);
            if (doomed.size() * 4 > nodes.size())
                continue;
            TreeView_SelectItem(tree(), node);
            deleteItemWithDescendants(main(), node, nodeItem(tree(), node));
        } else if (kind == 13) {
            onCommand(main(), IDM_ARRANGE_FIRST + next(5));
        } else if (kind == 14) {
            onCommand(main(), IDM_HIDE_CHECKED);
        } else {
            // Often the node a drop took a child from: its record lists a
            // node that is gone.
            for (size_t k = 0; lastParent && next(2) == 0 && k < nodes.size(); ++k)
                if (nodeItem(tree(), nodes[k]) == lastParent)
                    node = nodes[k];
            HTREEITEM target =
                next(8) == 0 ? TreeView_GetRoot(tree()) : nodes[next((uint32_t)nodes.size())];
            if (isBelowOrSame(tree(), target, node))
                continue;
            std::vector<ShownNode> before, after;
            showSubtree(tree(), node, 0, &before);
            NoteItem* moved = before[0].item;
            lastParent = nodeItem(tree(), TreeView_GetParent(tree(), node));
            dropOnto(node, target);
            HTREEITEM placed = TreeView_GetChild(tree(), target);
            while (placed && nodeItem(tree(), placed) != moved)
                placed = TreeView_GetNextSibling(tree(), placed);
            ASSERT_TRUE(placed) << "step " << step;
            showSubtree(tree(), placed, 0, &after);
            ASSERT_TRUE(before == after)
                << "step " << step << ": " << firstDifference(before, after);
            ++drops;
        }
    }
    EXPECT_GT(drops, 100);
}

// Another window takes the pointer in the middle of a drag: the next
// pointer move ends the drag and nothing moves.
TEST_F(DragTest, LosingThePointerEndsTheDrag) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    pressAndPull(findNode(tree(), "Gamma"));
    ASSERT_TRUE(gDrag.dragging);
    moveOver(findNode(tree(), "Banana"));
    SetCapture(gProgram.notePane);
    moveOver(findNode(tree(), "Alpha"));
    ReleaseCapture();
    EXPECT_FALSE(gDrag.dragging);
    EXPECT_EQ(TreeView_GetDropHilight(tree()), nullptr);
    EXPECT_FALSE(ImageList_GetDragImage(nullptr, nullptr));
    release();
    EXPECT_EQ(item("Gamma")->parentId, 0u);
    EXPECT_EQ(childLabels(tree(), TreeView_GetRoot(tree())), "Alpha,Banana,Gamma");
}

// Above or left of the main window the captured pointer has negative
// positions: the drag image follows them there.
TEST_F(DragTest, PositionsAboveAndLeftAreNegative) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    pressAndPull(findNode(tree(), "Gamma"));
    ASSERT_TRUE(gDrag.dragging);
    HTREEITEM banana = findNode(tree(), "Banana");
    moveOver(banana);
    POINT outside = {-5, -7};
    moveTo(outside);
    POINT dragAt = {}, hotSpot = {};
    EXPECT_TRUE(ImageList_GetDragImage(&dragAt, &hotSpot));
    POINT expected = outside;
    ClientToScreen(tree(), &expected);
    EXPECT_EQ(dragAt.x, expected.x);
    EXPECT_EQ(dragAt.y, expected.y);
    EXPECT_EQ(TreeView_GetDropHilight(tree()), banana);
    release();
    EXPECT_EQ(item("Gamma")->parentId, 5u);
}

TEST_F(DragTest, DragsThatDoNotStart) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    pressAndPull(TreeView_GetRoot(tree()));
    EXPECT_FALSE(gDrag.dragging);

    // Without pictures the tree view makes no drag image.
    HIMAGELIST images = TreeView_SetImageList(tree(), nullptr, TVSIL_NORMAL);
    pressAndPull(findNode(tree(), "Gamma"));
    EXPECT_FALSE(gDrag.dragging);
    TreeView_SetImageList(tree(), images, TVSIL_NORMAL);
    ASSERT_EQ(session.boxes.size(), 1u);
    EXPECT_EQ(narrow(session.boxes[0].text.c_str()), "No Image!");
    EXPECT_EQ(narrow(session.boxes[0].caption.c_str()), "Twigmark");
    EXPECT_TRUE(session.boxes[0].stopIcon);
    EXPECT_TRUE(session.boxes[0].owned);

    SendMessageW(main(), WM_COMMAND, IDM_VIEW_PRIORITY, 0);
    TreeView_Expand(tree(), findNode(tree(), "Priority 1"), TVE_EXPAND);
    pressAndPull(findNode(tree(), "Banana"));
    EXPECT_FALSE(gDrag.dragging);
    EXPECT_NE(GetCapture(), main());
}

// ---- drawing ---------------------------------------------------------------

namespace {

struct DrawTest : InteractionTest {
    LRESULT prepaint(HTREEITEM node, UINT itemState, COLORREF proposed = RGB(1, 2, 3)) {
        draw = NMTVCUSTOMDRAW();
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.hdc = dc;
        draw.nmcd.dwItemSpec = (DWORD_PTR)node;
        draw.nmcd.uItemState = itemState;
        draw.nmcd.lItemlParam = (LPARAM)nodeItem(tree(), node);
        draw.clrText = proposed;
        draw.clrTextBk = RGB(4, 5, 6);
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        return sendTreeNotify(main(), tree(), &draw.nmcd.hdr, NM_CUSTOMDRAW);
    }
    HGDIOBJ font() const { return GetCurrentObject(dc, OBJ_FONT); }
    void SetUp() override {
        InteractionTest::SetUp();
        dc = CreateCompatibleDC(nullptr);
    }
    void TearDown() override {
        DeleteDC(dc);
        InteractionTest::TearDown();
    }
    HDC dc = nullptr;
    NMTVCUSTOMDRAW draw = {};
};

} // namespace

TEST_F(DrawTest, NodesTakeFontAndColourFromTheirItemAndCheckBox) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    draw.nmcd.dwDrawStage = CDDS_PREPAINT;
    EXPECT_EQ(sendTreeNotify(main(), tree(), &draw.nmcd.hdr, NM_CUSTOMDRAW), CDRF_NOTIFYITEMDRAW);
    draw.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
    EXPECT_EQ(sendTreeNotify(main(), tree(), &draw.nmcd.hdr, NM_CUSTOMDRAW), CDRF_DODEFAULT);

    HTREEITEM alpha = findNode(tree(), "Alpha"), cherry = findNode(tree(), "Cherry");
    EXPECT_EQ(prepaint(alpha, 0), CDRF_NEWFONT);
    EXPECT_EQ(font(), (HGDIOBJ)gProgram.normalFont);
    EXPECT_EQ(draw.clrText, RGB(128, 128, 192));
    EXPECT_EQ(draw.clrTextBk, RGB(4, 5, 6));
    EXPECT_EQ(prepaint(cherry, 0), CDRF_NEWFONT);
    EXPECT_EQ(font(), (HGDIOBJ)gProgram.italicFont);
    EXPECT_EQ(draw.clrText, RGB(128, 0, 128));
    prepaint(findNode(tree(), "Apple"), 0);
    EXPECT_EQ(draw.clrText, GetSysColor(COLOR_WINDOWTEXT));
    prepaint(findNode(tree(), "Banana"), 0); // colour index out of range
    EXPECT_EQ(draw.clrText, RGB(1, 2, 3));

    // The live check box decides, not the stored check state.
    TreeView_SetItemState(tree(), alpha, INDEXTOSTATEIMAGEMASK(kChecked), TVIS_STATEIMAGEMASK);
    prepaint(alpha, 0);
    EXPECT_EQ(font(), (HGDIOBJ)gProgram.italicFont);
    prepaint(alpha, CDIS_SELECTED);
    EXPECT_EQ(draw.clrText, GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_EQ(draw.clrTextBk, GetSysColor(COLOR_HIGHLIGHT));

    HTREEITEM root = TreeView_GetRoot(tree());
    prepaint(root, 0);
    EXPECT_EQ(font(), (HGDIOBJ)gProgram.normalFont);
    EXPECT_EQ(draw.clrText, RGB(1, 2, 3));
    TreeView_SetItemState(tree(), root, INDEXTOSTATEIMAGEMASK(kChecked), TVIS_STATEIMAGEMASK);
    prepaint(root, CDIS_SELECTED);
    EXPECT_EQ(font(), (HGDIOBJ)gProgram.italicFont);
    EXPECT_EQ(draw.clrText, GetSysColor(COLOR_HIGHLIGHTTEXT));

    SendMessageW(main(), WM_COMMAND, IDM_VIEW_CATEGORY, 0);
    prepaint(findNode(tree(), "Work"), 0);
    EXPECT_EQ(font(), (HGDIOBJ)gProgram.normalFont);
    EXPECT_EQ(draw.clrText, RGB(1, 2, 3));
    prepaint(findNode(tree(), "Work"), CDIS_SELECTED);
    EXPECT_EQ(draw.clrTextBk, GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(DrawTest, IconEntriesAreMeasuredWithTheBoldFont) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    HDC windowDc = GetDC(main());
    HGDIOBJ old = SelectObject(windowDc, gProgram.boldFont);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(windowDc, &metrics);
    SelectObject(windowDc, old);
    ReleaseDC(main(), windowDc);

    struct Expected {
        UINT id;
        int length;
    } entries[] = {{801, 8}, {814, 12}, {815, 2}};
    for (const Expected& entry : entries) {
        MEASUREITEMSTRUCT measure = {};
        measure.CtlType = ODT_MENU;
        measure.itemID = entry.id;
        SendMessageW(main(), WM_MEASUREITEM, 0, (LPARAM)&measure);
        EXPECT_EQ((int)measure.itemWidth, entry.length * metrics.tmAveCharWidth + 47) << entry.id;
        int height = metrics.tmHeight + 2 < 18 ? 18 : metrics.tmHeight + 2;
        EXPECT_EQ((int)measure.itemHeight, height) << entry.id;
        EXPECT_GE(measure.itemHeight, 18u);
    }
    MEASUREITEMSTRUCT other = {};
    other.CtlType = ODT_BUTTON;
    other.itemID = 801;
    other.itemWidth = 7;
    SendMessageW(main(), WM_MEASUREITEM, 0, (LPARAM)&other);
    EXPECT_EQ(other.itemWidth, 7u);
}

namespace {

// Draws one entry into a bitmap and reports whether the bullet's column
// (left of where the icon starts) holds anything but the fill colour.
struct EntryPicture {
    COLORREF corner;
    bool bullet;
    bool text;
};

} // namespace

static EntryPicture drawEntry(HWND mainWindow, UINT id, UINT itemState) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 140, 20);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.itemID = id;
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = itemState;
    draw.hDC = dc;
    SetRect(&draw.rcItem, 0, 0, 140, 20);
    SendMessageW(mainWindow, WM_DRAWITEM, 0, (LPARAM)&draw);
    EntryPicture picture = {GetPixel(dc, 139, 19), false, false};
    for (int y = 1; y < 17; ++y) {
        for (int x = 3; x < 14; ++x)
            picture.bullet = picture.bullet || GetPixel(dc, x, y) != picture.corner;
        for (int x = 32; x < 139; ++x)
            picture.text = picture.text || GetPixel(dc, x, y) != picture.corner;
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return picture;
}

TEST_F(DrawTest, IconEntriesShowTheBulletBesideTheCurrentIcon) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    TreeView_SelectItem(tree(), findNode(tree(), "Gamma")); // icon 19, "DVD"
    EntryPicture current = drawEntry(main(), 816, 0);
    EntryPicture other = drawEntry(main(), 801, 0);
    EXPECT_TRUE(current.bullet);
    EXPECT_FALSE(other.bullet);
    EXPECT_TRUE(current.text);
    EXPECT_EQ(current.corner, GetSysColor(COLOR_MENU));
    EntryPicture selected = drawEntry(main(), 801, ODS_SELECTED);
    EXPECT_EQ(selected.corner, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_FALSE(selected.bullet);

    // The root node has no icon: no bullet anywhere.
    TreeView_SelectItem(tree(), TreeView_GetRoot(tree()));
    EXPECT_FALSE(drawEntry(main(), 816, 0).bullet);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// A node deleted since the fill gives its handle back, and the next node
// made (a copy below the same parent) may get it: the drop must copy that
// node as it is shown, not as the record knew the handle.
TEST_F(DragTest, ADeletedNodesHandleOnANewNodeIsCopiedAsShown) {
    std::vector<NoteRecord> records = {
        {"parent", 1, 0, 1, kUnchecked, 0, 0, 4, nullptr, nullptr},
        {"first", 2, 1, 2, kUnchecked, 0, 0, 5, nullptr, nullptr},
        {"second", 3, 1, 2, kUnchecked, 0, 0, 6, nullptr, nullptr},
        {"target", 4, 0, 1, kUnchecked, 0, 0, 7, nullptr, nullptr},
        {"below first", 5, 2, 3, kUnchecked, 0, 0, 8, nullptr, nullptr},
        {"below that", 6, 5, 4, kUnchecked, 0, 0, 9, nullptr, nullptr},
    };
    writeNotes(notes, records);
    Session session(notes);
    ASSERT_TRUE(session.started);
    HTREEITEM parent = findNode(tree(), "parent");
    HTREEITEM first = findNode(tree(), "first");
    TreeView_SelectItem(tree(), first);
    deleteItemWithDescendants(main(), first, nodeItem(tree(), first));
    TreeView_SelectItem(tree(), findNode(tree(), "second"));
    onCommand(main(), IDM_CREATE_COPY);
    std::vector<ShownNode> before, after;
    showSubtree(tree(), parent, 0, &before);
    HTREEITEM target = findNode(tree(), "target");
    dropOnto(parent, target);
    HTREEITEM placed = TreeView_GetChild(tree(), target);
    ASSERT_TRUE(placed);
    showSubtree(tree(), placed, 0, &after);
    EXPECT_TRUE(before == after) << firstDifference(before, after);
}
