// Grouped views and the View menu with damaged or tricky documents: dates no
// calendar has, labels that differ only in characters a locale ignores, an
// arrangement key out of range.
#include "program_support.h"

#include "program.h"
#include "resource.h"
#include "treefill.h"
#include "treenode.h"

#include <algorithm>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <map>

namespace {

struct ViewsTest : NoteFileTest {
    ViewsTest() : NoteFileTest(L"twigmark-views.twk") {}
};

} // namespace

// Group label -> the names of its items, one after another.
static std::map<std::wstring, std::wstring> groups(HWND tree) {
    std::map<std::wstring, std::wstring> out;
    HTREEITEM root = TreeView_GetRoot(tree);
    for (HTREEITEM group = TreeView_GetChild(tree, root); group;
         group = TreeView_GetNextSibling(tree, group)) {
        wchar_t label[128];
        EXPECT_TRUE(readNodeLabel(tree, group, label, 128));
        std::wstring& names = out[label];
        for (HTREEITEM child = TreeView_GetChild(tree, group); child;
             child = TreeView_GetNextSibling(tree, child))
            names += std::wstring(names.empty() ? L"" : L",") +
                     (const wchar_t*)nodeItem(tree, child)->name;
    }
    return out;
}

TEST_F(ViewsTest, EveryDayHasItsOwnDateLabel) {
    // 2025-259-05 packs to the same number as 2024-03-05 when the three
    // fields are folded into 32 bits; 32769-256-00 packs to the empty key.
    writeDocument(notes, {
                             {"damaged", 1, 0, 1, 1, 0, "", 2025, 259, 5},
                             {"valid", 2, 0, 1, 1, 0, "", 2024, 3, 5},
                             {"empty key", 3, 0, 1, 1, 0, "", 32769, 256, 0},
                         });
    Session session(notes);
    ASSERT_TRUE(session.started);
    SendMessageW(gProgram.mainWindow, WM_COMMAND, IDM_VIEW_DATE, 0);
    SYSTEMTIME day = {};
    day.wYear = 2024;
    day.wMonth = 3;
    day.wDay = 5;
    wchar_t valid[32];
    ASSERT_GT(GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, valid, 32), 0);
    std::map<std::wstring, std::wstring> seen = groups(gProgram.treeView);
    EXPECT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[valid], L"valid");
    for (const auto& group : seen) {
        EXPECT_FALSE(group.first.empty()) << "items: " << group.second.size();
        EXPECT_EQ(group.second.find(L','), std::wstring::npos);
    }
}

// Many more days and categories than a fill meets at first, each label's
// items listed far apart: in either view every label is one group, holding
// its items.
TEST_F(ViewsTest, EveryDayOfManyGathersItsItems) {
    const int days = 600;
    std::vector<std::string> names, categories;
    for (int i = 0; i < days; ++i) {
        names.push_back("d" + std::to_string(i));
        categories.push_back("c" + std::to_string(i));
    }
    std::vector<ItemSpec> items;
    for (uint32_t id = 1; id <= 2 * days; ++id) {
        int i = (int)(id - 1) % days;
        items.push_back({names[(size_t)i].c_str(), id, 0, 1, 1, 0, categories[(size_t)i].c_str(),
                         (uint16_t)(1990 + i / 12), (uint16_t)(1 + i % 12),
                         (uint16_t)(1 + i % 28)});
    }
    writeDocument(notes, items);
    Session session(notes);
    ASSERT_TRUE(session.started);
    for (UINT view : {IDM_VIEW_DATE, IDM_VIEW_CATEGORY}) {
        SendMessageW(gProgram.mainWindow, WM_COMMAND, view, 0);
        std::map<std::wstring, std::wstring> seen = groups(gProgram.treeView);
        EXPECT_EQ(seen.size(), (size_t)days);
        EXPECT_EQ(TreeView_GetCount(gProgram.treeView), 1u + 3 * days); // no label twice
        for (int i = 0; i < days; ++i) {
            wchar_t label[32];
            if (view == IDM_VIEW_DATE) {
                SYSTEMTIME day = {};
                day.wYear = (WORD)(1990 + i / 12);
                day.wMonth = (WORD)(1 + i % 12);
                day.wDay = (WORD)(1 + i % 28);
                ASSERT_GT(
                    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, label, 32),
                    0);
            } else {
                swprintf(label, 32, L"c%d", i);
            }
            std::wstring name(names[(size_t)i].begin(), names[(size_t)i].end());
            EXPECT_EQ(seen[label], name + L"," + name) << i;
        }
    }
}

// "ab" and "ab" with soft hyphens (U+00AD) are different labels: each gets
// its group, whatever slots their hashes meet in.
TEST_F(ViewsTest, LabelsAreEqualOnlyWhenTheirCharactersAre) {
    std::vector<std::string> categories;
    for (int before = 0; before < 4; ++before)
        for (int inside = 0; inside < 3; ++inside)
            for (int after = 0; after < 2; ++after)
                categories.push_back(std::string(before, '\xAD') + "a" +
                                     std::string(inside, '\xAD') + "b" +
                                     std::string(after, '\xAD'));
    std::vector<ItemSpec> items;
    for (size_t i = 0; i < categories.size(); ++i)
        items.push_back({"item", (uint32_t)i + 1, 0, 1, 1, 0, categories[i].c_str(), 0, 0, 0});
    writeDocument(notes, items);
    Session session(notes);
    ASSERT_TRUE(session.started);
    SendMessageW(gProgram.mainWindow, WM_COMMAND, IDM_VIEW_CATEGORY, 0);
    std::map<std::wstring, std::wstring> seen = groups(gProgram.treeView);
    EXPECT_EQ(seen.size(), categories.size());
    for (const auto& group : seen)
        EXPECT_EQ(group.second, L"item");
    // Every label is its category's, also past the first groups' room.
    for (const std::string& category : categories) {
        std::wstring label;
        for (unsigned char c : category)
            label += (wchar_t)c;
        EXPECT_EQ(seen.count(label), 1u);
    }

    HWND tree = gProgram.treeView;
    HTREEITEM root = TreeView_GetRoot(tree);
    HTREEITEM plain = findChildByLabel(tree, root, L"ab");
    ASSERT_TRUE(plain);
    HTREEITEM hyphened = findChildByLabel(tree, root, L"a\u00ADb");
    ASSERT_TRUE(hyphened);
    EXPECT_NE(hyphened, plain);
    wchar_t text[16];
    EXPECT_TRUE(readNodeLabel(tree, hyphened, text, 16));
    EXPECT_EQ(std::wstring(text), L"a\u00ADb");
    EXPECT_EQ(findChildByLabel(tree, root, L"a\uFEFFb"), nullptr);
}

// Names alike in their first letters, some equal but for letter case: in
// every grouped view each group lists its items as the locale orders their
// names ignoring case, equal names in list order. Each group is long
// enough to be sorted by its heads first.
TEST_F(ViewsTest, AGroupListsItsItemsInTheLocalesOrderOfNames) {
    const char* names[] = {"Meeting with Bob", "meeting with ann", "Meeting with Ann",
                           "Meeting",          "Meeting with",     "Meeting with Anna",
                           "Meetings",         "MEETING WITH BOB", "Meet"};
    const char* prefixes[] = {"", "Zed ", "apple ", "Me "};
    const char* categories[] = {"Work", "Home"};
    std::vector<std::string> named;
    std::vector<ItemSpec> items;
    for (uint32_t id = 1; id <= 600; ++id)
        named.push_back(std::string(prefixes[id % 7 % 4]) + names[(id * 5) % 9] +
                        (id % 3 ? "" : " 1"));
    for (uint32_t id = 1; id <= 600; ++id)
        items.push_back({named[id - 1].c_str(), id, 0, 1, 1, (uint16_t)(id % 2),
                         categories[id % 2 ? 0 : 1], 2024, 5, (uint16_t)(1 + id % 2)});
    writeDocument(notes, items);
    Session session(notes);
    ASSERT_TRUE(session.started);
    for (UINT view : {IDM_VIEW_CATEGORY, IDM_VIEW_DATE, IDM_VIEW_PRIORITY}) {
        SendMessageW(gProgram.mainWindow, WM_COMMAND, view, 0);
        std::map<std::wstring, std::wstring> seen = groups(gProgram.treeView);
        ASSERT_EQ(seen.size(), 2u) << view;
        // Items 1, 3, 5, ... share every group key, as do 2, 4, 6, ...
        for (uint32_t parity : {1u, 0u}) {
            std::vector<std::wstring> expected;
            for (uint32_t id = 1; id <= 600; ++id)
                if (id % 2 == parity)
                    expected.push_back(std::wstring(named[id - 1].begin(), named[id - 1].end()));
            std::stable_sort(expected.begin(), expected.end(),
                             [](const std::wstring& a, const std::wstring& b) {
                                 return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                                                       a.c_str(), -1, b.c_str(), -1) == 1;
                             });
            std::wstring joined;
            for (const std::wstring& name : expected)
                joined += (joined.empty() ? L"" : L",") + name;
            bool found = false;
            for (const auto& group : seen)
                found = found || group.second == joined;
            EXPECT_TRUE(found) << "view " << view << " parity " << parity;
        }
    }
}

TEST_F(ViewsTest, AnArrangementKeyOutOfRangeClearsTheMarks) {
    FileOptions options;
    options.arrangeKey = 2;
    writeDocument(notes, {{"One", 1, 0, 1, 1, 0, "", 0, 0, 0}}, options);
    Session session(notes);
    ASSERT_TRUE(session.started);
    HMENU arrange = GetSubMenu(menuBarPopup(IDM_VIEW), VIEW_MENU_ARRANGE_POSITION);
    ASSERT_TRUE(arrange);
    ASSERT_TRUE(GetMenuState(arrange, IDM_ARRANGE_FIRST + 2, MF_BYCOMMAND) & MF_CHECKED);
    // As after opening a damaged file in the same run.
    gOptions.arrangeKey = 9;
    updateViewMenuChecks();
    for (UINT command = IDM_ARRANGE_FIRST; command <= IDM_ARRANGE_LAST; ++command)
        EXPECT_FALSE(GetMenuState(arrange, command, MF_BYCOMMAND) & MF_CHECKED) << command;
}
