// The note pane, the tree and the file agree after everything a user does:
// the program's own tree changes one by one, then a seeded random run of
// user actions on the real main window checked against a record of its own.
// TWIGMARK_MODEL_STEPS and TWIGMARK_MODEL_SEED make the run longer or
// repeat a failed one.
#include "dialogs_support.h"
#include "program_support.h"

#include "commands.h"
#include "itemdialogs.h"
#include "notefile.h"
#include "notemodel.h"
#include "pocketpc.h"
#include "program.h"
#include "resource.h"
#include "treefill.h"
#include "treenotify.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <random>
#include <sstream>
#include <stdlib.h>

// Alpha holds Apple (with Seed) and the checked Cherry; Banana and Gamma
// stand beside it.
static const std::vector<ItemSpec> kStart = {
    {"Alpha", 1, 0, 1, 1, 3, "Work", 0, 0, 0}, {"Apple", 2, 1, 2, 1, 0, "Home", 0, 0, 0},
    {"Seed", 3, 2, 3, 1, 5, "", 0, 0, 0},      {"Cherry", 4, 1, 2, 2, 1, "Work", 0, 0, 0},
    {"Banana", 5, 0, 1, 1, 8, "", 0, 0, 0},    {"Gamma", 6, 0, 1, 1, 2, "Home", 0, 0, 0},
};

static HWND tree() {
    return gProgram.treeView;
}
static void command(UINT id) {
    SendMessageW(gProgram.mainWindow, WM_COMMAND, id, 0);
}
static void pumpIdle() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
static std::wstring paneText() {
    wchar_t text[512] = {};
    GetWindowTextW(gProgram.notePane, text, 512);
    return text;
}
static std::wstring noteOf(const NoteItem* item) {
    return item && item->note ? (const wchar_t*)item->note : L"";
}
// Typing at the end of the pane, as the keyboard does it.
static void typeIntoPane(const wchar_t* text) {
    int end = GetWindowTextLengthW(gProgram.notePane);
    SendMessageW(gProgram.notePane, EM_SETSEL, end, end);
    SendMessageW(gProgram.notePane, EM_REPLACESEL, TRUE, (LPARAM)text);
}
static bool buttonEnabled(UINT id) {
    return SendMessageW(gProgram.menuBar, TB_ISBUTTONENABLED, id, 0) != 0;
}
static POINT middleOf(HTREEITEM node) {
    RECT label = {};
    TreeView_GetItemRect(tree(), node, &label, TRUE);
    POINT at = {(label.left + label.right) / 2, (label.top + label.bottom) / 2};
    return at;
}
// The last row of a node, where a point taken in the wrong window's
// coordinates falls on the node below.
static POINT bottomRowOf(HTREEITEM node) {
    RECT label = {};
    TreeView_GetItemRect(tree(), node, &label, TRUE);
    POINT at = {(label.left + label.right) / 2, label.bottom - 1};
    return at;
}
// The pointer in main-window coordinates, where the main window holds it
// during a drag.
static POINT inMainWindow(POINT treePoint) {
    MapWindowPoints(tree(), gProgram.mainWindow, &treePoint, 1);
    return treePoint;
}

// A press on the node, a pull out of the drag rectangle, a move over the
// target's last row and the release. False when no drag started.
static bool dragOnto(HTREEITEM node, HTREEITEM target) {
    POINT at = middleOf(node);
    PostMessageW(tree(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(tree(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x + 40, at.y));
    pumpIdle();
    if (!gDrag.dragging)
        return false;
    POINT over = inMainWindow(bottomRowOf(target));
    SendMessageW(gProgram.mainWindow, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(over.x, over.y));
    SendMessageW(gProgram.mainWindow, WM_LBUTTONUP, 0, MAKELPARAM(over.x, over.y));
    return true;
}

static uint16_t shownBox(HTREEITEM node) {
    return (uint16_t)((TreeView_GetItemState(tree(), node, TVIS_STATEIMAGEMASK) >> 12) & 15);
}

// Every node in pre-order, collapsed or not.
static HTREEITEM nextInTree(HTREEITEM node) {
    HTREEITEM next = TreeView_GetChild(tree(), node);
    while (!next && node) {
        next = TreeView_GetNextSibling(tree(), node);
        if (!next)
            node = TreeView_GetParent(tree(), node);
    }
    return next;
}

// The pane is enabled only for an item; Delete only for an item, Modify
// also for the root node. Right after a change of the program's own the
// pane shows the item's note as stored.
static std::string paneFollowsSelection(bool storedJustNow) {
    HTREEITEM node = TreeView_GetSelection(tree());
    bool isRoot = node && node == TreeView_GetRoot(tree());
    NoteItem* item = node && !isRoot ? nodeItem(tree(), node) : nullptr;
    if (storedJustNow && paneText() != noteOf(item))
        return "the pane does not show the selected item's note";
    if ((IsWindowEnabled(gProgram.notePane) != FALSE) != (item != nullptr))
        return "the pane's state does not follow the selection";
    if (buttonEnabled(IDM_DELETE_ITEM) != (item != nullptr) ||
        buttonEnabled(IDM_MODIFY_ITEM) != (isRoot || item))
        return "the image buttons do not follow the selection";
    return "";
}

// While it lives, a question box (Yes and No) is answered Yes; the Session
// answers every other box.
static HHOOK gYesHook = nullptr;
static void CALLBACK pressYes(HWND box, UINT, UINT_PTR timer, DWORD) {
    KillTimer(box, timer);
    PostMessageW(box, WM_COMMAND, IDYES, 0);
}
static LRESULT CALLBACK yesHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && GetDlgItem((HWND)wParam, IDYES)) {
        SetTimer((HWND)wParam, 1, 1, pressYes);
        return 0;
    }
    return CallNextHookEx(gYesHook, code, wParam, lParam);
}

namespace {

struct YesToQuestions {
    YesToQuestions() {
        gYesHook = SetWindowsHookExW(WH_CBT, yesHook, nullptr, GetCurrentThreadId());
    }
    ~YesToQuestions() { UnhookWindowsHookEx(gYesHook); }
};

struct ModelTest : NoteFileTest {
    ModelTest() : NoteFileTest(L"twigmark-model.twk") {}
    void SetUp() override {
        NoteFileTest::SetUp();
        writeDocument(notes, kStart);
    }
};

} // namespace

// Each change the program makes to the tree, with text typed into Apple (a
// nested item) first: the text ends in Apple and nowhere else, and the pane
// and the buttons follow wherever the selection went.
TEST_F(ModelTest, TypedTextSurvivesEveryChangeOfTheProgramsOwn) {
    struct Case {
        const char* what;
        std::vector<UINT> commands;
        bool dropOnGamma;
    };
    const Case cases[] = {
        {"arrange by priority", {IDM_ARRANGE_FIRST + kArrangeByPriority}, false},
        {"descending", {IDM_DESCENDING}, false},
        {"by category, then default view", {IDM_VIEW_CATEGORY, IDM_VIEW_DEFAULT}, false},
        {"hide checked items", {IDM_HIDE_CHECKED}, false},
        {"by priority, then arrange", {IDM_VIEW_PRIORITY, IDM_ARRANGE_FIRST}, false},
        {"delete of another item", {}, false},
        {"drop", {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeDocument(notes, kStart);
        Session session(notes);
        ASSERT_TRUE(session.started);
        HTREEITEM alpha = findNode(tree(), "Alpha");
        TreeView_Expand(tree(), alpha, TVE_EXPAND);
        TreeView_SelectItem(tree(), findNode(tree(), "Apple"));
        typeIntoPane(L"typed");
        if (c.dropOnGamma) {
            ASSERT_TRUE(dragOnto(findNode(tree(), "Apple"), findNode(tree(), "Gamma")));
        } else if (c.commands.empty()) {
            // Text typed into Banana goes with it; the pane then shows the
            // item the selection moved to, and nothing of Banana's lands there.
            TreeView_SelectItem(tree(), findNode(tree(), "Banana"));
            typeIntoPane(L"gone");
            YesToQuestions yes;
            command(IDM_DELETE_ITEM);
            ASSERT_FALSE(findNode(tree(), "Banana"));
        }
        for (UINT id : c.commands)
            command(id);
        EXPECT_EQ(paneFollowsSelection(true), "");
        // A later selection change stores whatever the pane holds.
        TreeView_SelectItem(tree(), TreeView_GetRoot(tree()));
        for (const NoteItem* it = gList.head; it; it = it->next) {
            std::string name = narrow(it->name, kNameChars);
            EXPECT_EQ(noteOf(it), name == "Apple" ? L"typed" : L"") << name;
        }
    }
}

// A background save that fails says so once, keeps the mark and writes
// nothing; the next one that works clears it.
TEST_F(ModelTest, FailedBackgroundSaveIsToldOnceAndKeepsTheMark) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    std::vector<char> before = fileBytes(notes);
    TreeView_SelectItem(tree(), findNode(tree(), "Gamma"));
    typeIntoPane(L"typed");
    EXPECT_EQ(gProgram.documentChanged, 1);
    std::wstring kept = gProgram.notePath;
    std::wstring unreachable = tempPath(L"twigmark-no-such-folder\\notes.twk");
    lstrcpynW(gProgram.notePath, unreachable.c_str(), kPathChars);
    for (int i = 0; i < 2; ++i)
        SendMessageW(gProgram.mainWindow, WM_ACTIVATE, WA_INACTIVE, 0);
    pumpIdle();
    EXPECT_EQ(gProgram.documentChanged, 1);
    ASSERT_EQ(session.boxes.size(), 1u);
    EXPECT_TRUE(session.boxes[0].stopIcon);
    lstrcpynW(gProgram.notePath, kept.c_str(), kPathChars);
    EXPECT_EQ(fileBytes(notes), before);
    SendMessageW(gProgram.mainWindow, WM_HIBERNATE, 0, 0);
    EXPECT_EQ(gProgram.documentChanged, 0);
    EXPECT_NE(fileBytes(notes), before);
}

// ---- the model-based run ------------------------------------------------------

namespace {

struct Expected {
    std::wstring name, note;
    uint32_t parentId;
    uint16_t checkState, priority, icon;
};

} // namespace

static uint16_t boxOf(uint16_t state) {
    return state == kChecked ? kChecked : kUnchecked;
}

namespace {

struct UserRun {
    std::mt19937 random;
    std::map<uint32_t, Expected> record; // by item identifier
    bool changed = false;                // since the file was last written
    int step = 0;
    unsigned seed;
    std::wstring path;
    DialogDriver* driver;
    int made = 0;
    std::string problem; // found while acting
    std::map<std::string, DWORD> spent;

    UserRun(unsigned s, const std::wstring& p, DialogDriver* d)
        : random(s), seed(s), path(p), driver(d) {
        for (const NoteItem* it = gList.head; it; it = it->next)
            record[it->id] = {(const wchar_t*)it->name, noteOf(it),   it->parentId,
                              boxOf(it->checkState),    it->priority, it->icon};
    }
    unsigned pick(unsigned n) { return n ? (unsigned)(random() % n) : 0; }

    // The nodes the user can tap now: inside the tree view's client area.
    std::vector<HTREEITEM> tappable() {
        std::vector<HTREEITEM> nodes;
        RECT client;
        GetClientRect(tree(), &client);
        for (HTREEITEM node = TreeView_GetFirstVisible(tree()); node;
             node = TreeView_GetNextVisible(tree(), node)) {
            RECT row = {};
            if (!TreeView_GetItemRect(tree(), node, &row, FALSE) || row.top < 0 ||
                row.bottom > client.bottom)
                break;
            nodes.push_back(node);
        }
        return nodes;
    }
    HTREEITEM anyItemNode() {
        std::vector<HTREEITEM> nodes, items;
        nodes = tappable();
        for (HTREEITEM node : nodes)
            if (nodeItem(tree(), node))
                items.push_back(node);
        return items.empty() ? nullptr : items[pick((unsigned)items.size())];
    }
    NoteItem* selectedItem() {
        HTREEITEM node = TreeView_GetSelection(tree());
        return node ? nodeItem(tree(), node) : nullptr;
    }
    void dropFromRecord(uint32_t id) {
        std::vector<uint32_t> doomed = {id};
        for (size_t i = 0; i < doomed.size(); ++i)
            for (auto& entry : record)
                if (entry.second.parentId == doomed[i] && entry.first != doomed[i] &&
                    std::find(doomed.begin(), doomed.end(), entry.first) == doomed.end())
                    doomed.push_back(entry.first);
        for (uint32_t gone : doomed)
            record.erase(gone);
    }
    // The one item of the list that the record lacks; null unless exactly one.
    NoteItem* newcomer() {
        NoteItem* found = nullptr;
        int count = 0;
        for (NoteItem* it = gList.head; it; it = it->next)
            if (!record.count(it->id)) {
                found = it;
                ++count;
            }
        return count == 1 ? found : nullptr;
    }
    void addNewcomer(const wchar_t* name, const std::wstring& note, int box = -1) {
        NoteItem* added = newcomer();
        if (!added)
            return; // the invariants report the difference
        record[added->id] = {name,
                             note,
                             added->parentId,
                             box < 0 ? boxOf(added->checkState) : (uint16_t)box,
                             added->priority,
                             added->icon};
        changed = true;
    }

    std::string act() {
        unsigned action = pick(17);
        HTREEITEM node = nullptr;
        NoteItem* item = selectedItem();
        switch (action) {
        case 0:
        case 1:
        case 2:
            node = tappable()[pick((unsigned)tappable().size())];
            TreeView_SelectItem(tree(), node);
            return "select";
        case 3:
        case 4: {
            if (!item || !IsWindowEnabled(gProgram.notePane))
                return "type (no item)";
            wchar_t word[16];
            swprintf(word, 16, L" w%d", step);
            typeIntoPane(word);
            record[item->id].note += word;
            changed = true;
            return "type";
        }
        case 5: {
            if (!item)
                return "tick (no item)";
            HTREEITEM selected = TreeView_GetSelection(tree());
            if (pick(2)) {
                PostMessageW(tree(), WM_KEYDOWN, VK_SPACE, 0x00390001);
                PostMessageW(tree(), WM_KEYUP, VK_SPACE, 0xC0390001);
                pumpIdle();
            } else {
                RECT row = {};
                TreeView_GetItemRect(tree(), selected, &row, TRUE);
                TVHITTESTINFO hit = {};
                for (hit.pt = {row.left - 1, (row.top + row.bottom) / 2}; hit.pt.x > 0; --hit.pt.x)
                    if (TreeView_HitTest(tree(), &hit) == selected &&
                        (hit.flags & TVHT_ONITEMSTATEICON))
                        break;
                PostMessageW(tree(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(hit.pt.x, hit.pt.y));
                PostMessageW(tree(), WM_LBUTTONUP, 0, MAKELPARAM(hit.pt.x, hit.pt.y));
                pumpIdle();
            }
            uint16_t shown = shownBox(selected);
            if (shown != record[item->id].checkState) {
                record[item->id].checkState = shown;
                changed = true;
                // The node joins the record of changed boxes (or all count).
                const NodeSet& ticks = gCheckChanges;
                if (!ticks.all && std::find(ticks.nodes, ticks.nodes + ticks.count, selected) ==
                                      ticks.nodes + ticks.count)
                    problem = "a tick is missing from the changed boxes";
            }
            return "tick";
        }
        case 6:
            command(pick(2) ? IDM_ARRANGE_FIRST + pick(IDM_ARRANGE_LAST - IDM_ARRANGE_FIRST + 1)
                            : (pick(2) ? IDM_ASCENDING : IDM_DESCENDING));
            changed = true;
            return "arrange";
        case 7:
            // Mostly the Default View: only there can items be dragged.
            command(pick(3) ? IDM_VIEW_DEFAULT : IDM_VIEW_DEFAULT + 1 + pick(3));
            changed = true;
            return "view";
        case 8:
            command(IDM_HIDE_CHECKED);
            changed = true;
            return "hide checked";
        case 9: {
            HTREEITEM dragged = anyItemNode(),
                      target = tappable()[pick((unsigned)tappable().size())];
            if (gOptions.viewMode != kDefaultView || !dragged)
                return "drag (not here)";
            NoteItem* moved = nodeItem(tree(), dragged);
            NoteItem* onto = nodeItem(tree(), target);
            bool below = false;
            for (HTREEITEM up = target; up; up = TreeView_GetParent(tree(), up))
                below = below || up == dragged;
            uint32_t id = moved->id, parentId = onto ? onto->id : 0;
            if (!dragOnto(dragged, target))
                return "drag (did not start)";
            if (!below) {
                record[id].parentId = parentId;
                changed = true;
            }
            return "drag";
        }
        case 10:
            if (!item || record.size() > 30)
                return "copy (no item)";
            {
                Expected copy = record[item->id];
                command(IDM_CREATE_COPY);
                // The copy shows the box of the source's node.
                addNewcomer(copy.name.c_str(), copy.note, copy.checkState);
            }
            return "copy";
        case 11:
            if (!item || record.size() < 4)
                return "delete (no item)";
            dropFromRecord(item->id);
            {
                YesToQuestions yes;
                command(IDM_DELETE_ITEM);
            }
            changed = true;
            return "delete";
        case 12:
            if (!item)
                return "priority (no item)";
            record[item->id].priority = (uint16_t)pick(10);
            command(IDM_PRIORITY_FIRST + record[item->id].priority);
            changed = true;
            return "priority";
        case 13:
            if (!item)
                return "icon (no item)";
            record[item->id].icon =
                (uint16_t)(kFirstItemIcon + pick(IDS_ICON_NAME_LAST - IDS_ICON_NAME_FIRST + 1));
            command(IDS_ICON_NAME_FIRST + record[item->id].icon - kFirstItemIcon);
            changed = true;
            return "icon";
        case 14: {
            bool isNew = !item || pick(2) || record.size() < 5;
            if (!isNew && record.size() > 30)
                return "edit (full)";
            wchar_t name[32];
            swprintf(name, 32, L"Item %d", ++made);
            std::wstring chosen = name;
            int level = (int)pick(3);
            driver->expect(L"Edit Item...", [chosen, level, isNew](HWND sheet) {
                HWND general = PropSheet_IndexToHwnd(sheet, 0);
                SetDlgItemTextW(general, IDC_GENERAL_NAME, chosen.c_str());
                if (isNew)
                    SendDlgItemMessageW(general, IDC_GENERAL_LEVEL, CB_SETCURSEL, level, 0);
                PropSheet_PressButton(sheet, PSBTN_OK);
            });
            if (isNew) {
                command(IDM_NEW_ITEM);
                addNewcomer(name, L"");
                return "new item";
            }
            std::wstring note = paneText();
            command(IDM_MODIFY_ITEM);
            record[item->id].name = name;
            record[item->id].note = note;
            changed = true;
            return "modify";
        }
        case 15: {
            unsigned kind = pick(3);
            if (kind == 2 && gFindCriteria) {
                command(IDM_FIND_AGAIN);
                return "find again";
            }
            std::wstring text = kind ? L"Item" : L"e";
            driver->expect(L"Find...", [text](HWND dialog) {
                SetDlgItemTextW(dialog, IDC_FIND_NAME, text.c_str());
                SendMessageW(dialog, WM_COMMAND, IDOK, 0);
            });
            command(IDM_FIND_ITEM);
            return "find";
        }
        default:
            problem = deactivate();
            return "deactivate";
        }
    }

    // One of Twigmark's own windows comes to the front: nothing is written.
    // Another program does, or the shell asks for memory: a changed
    // document is written, an unchanged one is left alone.
    std::string deactivate() {
        std::vector<char> before = fileBytes(path);
        if ((gProgram.documentChanged != 0) != changed)
            return changed ? "a change went unmarked" : "the document is marked without a change";
        SendMessageW(gProgram.mainWindow, WM_ACTIVATE, WA_INACTIVE, (LPARAM)tree());
        if (fileBytes(path) != before || (gProgram.documentChanged != 0) != changed)
            return "leaving for one of Twigmark's own windows saved";
        if (pick(4) == 0)
            SendMessageW(gProgram.mainWindow, WM_HIBERNATE, 0, 0);
        else
            SendMessageW(gProgram.mainWindow, WM_ACTIVATE, WA_INACTIVE, 0);
        if (gProgram.documentChanged)
            return "the background save left the mark";
        if (!changed && fileBytes(path) != before)
            return "an unchanged document was written";
        changed = false;
        return compareSaved();
    }

    std::string compareSaved() {
        NoteList saved;
        memset(&saved, 0, sizeof saved);
        initList(&saved);
        ViewOptions options = {};
        CategoryList categories = {};
        int whole = readNoteFile(&saved, path.c_str(), &options, &categories);
        std::ostringstream out;
        if (!whole)
            out << "the saved file does not read back whole";
        size_t count = 0;
        for (const NoteItem* it = saved.head; it && out.str().empty(); it = it->next, ++count) {
            auto found = record.find(it->id);
            if (found == record.end()) {
                out << "the file holds item " << it->id << " that the user removed";
                break;
            }
            const Expected& e = found->second;
            if (e.name != (const wchar_t*)it->name || e.note != noteOf(it) ||
                e.parentId != it->parentId || e.checkState != boxOf(it->checkState) ||
                e.priority != it->priority || e.icon != it->icon)
                out << "the file's item " << narrow(it->name, kNameChars)
                    << " differs from what the user did";
        }
        if (out.str().empty() && count != record.size())
            out << "the file holds " << count << " items, the user made " << record.size();
        clearList(&saved);
        clearCategories(&categories);
        return out.str();
    }

    // After every step: the list holds exactly the recorded items with
    // their notes (the pane holds the selected item's), no node refers to
    // an item that is gone, and the pane follows the selection.
    // The Default View without hidden items shows every item whose chain
    // of parents reaches the top, whatever the list order.
    std::string placement() {
        if (gOptions.viewMode != kDefaultView || gOptions.hideChecked)
            return "";
        std::map<uint32_t, int> shown;
        for (HTREEITEM node = TreeView_GetRoot(tree()); node;) {
            if (NoteItem* item = nodeItem(tree(), node))
                ++shown[item->id];
            node = nextInTree(node);
        }
        for (auto& entry : record) {
            uint32_t up = entry.second.parentId;
            for (size_t hops = 0; up && record.count(up) && hops < record.size(); ++hops)
                up = record[up].parentId;
            if (up == 0 && shown[entry.first] != 1)
                return "the Default View does not show " +
                       narrow((const WideChar*)entry.second.name.c_str(), kNameChars) + " once";
        }
        return "";
    }

    std::string check() {
        std::string pane = paneFollowsSelection(false);
        if (!pane.empty())
            return pane;
        std::string placed = placement();
        if (!placed.empty())
            return placed;
        NoteItem* selected = selectedItem();
        size_t count = 0;
        for (NoteItem* it = gList.head; it; it = it->next, ++count) {
            auto found = record.find(it->id);
            if (found == record.end())
                return "an item appeared that no command added";
            const Expected& e = found->second;
            std::wstring note = it == selected ? paneText() : noteOf(it);
            if (!selected && paneText() != L"")
                return "the pane holds text while no item is selected";
            if (note != e.note)
                return "typed text is not the note of the item it was typed into: " +
                       narrow(it->name, kNameChars);
            if (e.name != (const wchar_t*)it->name || e.priority != it->priority ||
                e.icon != it->icon)
                return "an item differs from what the user did: " + narrow(it->name, kNameChars);
        }
        if (count != record.size())
            return "an item disappeared that no command removed";
        for (HTREEITEM node = TreeView_GetRoot(tree()); node;) {
            NoteItem* shown = nodeItem(tree(), node);
            if (shown) {
                bool listed = false;
                for (NoteItem* it = gList.head; it && !listed; it = it->next)
                    listed = it == shown;
                if (!listed)
                    return "a node refers to a removed item";
                if (boxOf(shownBox(node)) != record[shown->id].checkState)
                    return "a check box differs from what the user ticked";
            }
            node = nextInTree(node);
        }
        return "";
    }
};

} // namespace

static unsigned fromEnvironment(const char* name, unsigned fallback) {
    const char* text = getenv(name);
    return text && *text ? (unsigned)strtoul(text, nullptr, 10) : fallback;
}

TEST_F(ModelTest, RandomUserActionsKeepPaneTreeAndFileInStep) {
    unsigned steps = fromEnvironment("TWIGMARK_MODEL_STEPS", 2000);
    unsigned seed = fromEnvironment("TWIGMARK_MODEL_SEED", 1);
    Session session(notes);
    ASSERT_TRUE(session.started);
    DialogDriver driver;
    UserRun run(seed, notes, &driver);
    DWORD start = GetTickCount();
    std::string failure;
    for (; run.step < (int)steps && failure.empty(); ++run.step) {
        DWORD began = GetTickCount();
        std::string action = run.act();
        run.spent[action] += GetTickCount() - began;
        pumpIdle();
        failure = run.problem.empty() ? run.check() : run.problem;
        if (!failure.empty())
            failure = "seed " + std::to_string(seed) + ", step " + std::to_string(run.step) + " (" +
                      action + "): " + failure;
    }
    if (failure.empty())
        failure = run.deactivate();
    EXPECT_EQ(failure, "");
    EXPECT_EQ(driver.leftOpen, 0);
    double seconds = (GetTickCount() - start) / 1000.0;
    if (getenv("TWIGMARK_MODEL_TIMES"))
        for (auto& entry : run.spent)
            printf("  %s: %lu ms\n", entry.first.c_str(), (unsigned long)entry.second);
    printf("model run: seed %u, %d steps in %.1f s (%.0f steps/s)\n", seed, run.step, seconds,
           seconds > 0 ? run.step / seconds : 0.0);
}
