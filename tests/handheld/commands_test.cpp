// The commands of the main window under Wine: sorting, the item commands,
// the views and arrangements, the file commands through the file dialogs'
// requests, the search state and the shortage reports. Everything arrives
// as WM_COMMAND, as the menus would send it.
#include "commands_support.h"
#include "program_support.h"

#include "commands.h"
#include "docsave.h"
#include "itemdialogs.h"
#include "notemodel.h"
#include "plainkeys.h"
#include "pocketpc.h"
#include "program.h"
#include "resource.h"
#include "sorting.h"
#include "treefill.h"
#include "treenode.h"
#include "widetext.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <string.h>
#include <string>

namespace {

struct CommandsTest : ::testing::Test {
    void SetUp() override {
        notes = tempPath(L"twigmark-commands.twk");
        other = tempPath(L"twigmark-commands-other.twk");
        DeleteFileW(notes.c_str());
        DeleteFileW(other.c_str());
        clearSettings();
    }
    void TearDown() override {
        DeleteFileW(notes.c_str());
        DeleteFileW(other.c_str());
    }
    std::wstring notes, other;
};

} // namespace

static void command(UINT id) {
    SendMessageW(gProgram.mainWindow, WM_COMMAND, id, 0);
}

static HWND tree() {
    return gProgram.treeView;
}

static HTREEITEM root() {
    return TreeView_GetRoot(gProgram.treeView);
}

static bool select(const char* label) {
    HTREEITEM node = findNode(tree(), label);
    return node && TreeView_SelectItem(tree(), node);
}

static NoteItem* itemOf(const char* label) {
    return nodeItem(tree(), findNode(tree(), label));
}

static std::vector<std::string> savedNames(const SavedDocument& saved) {
    std::vector<std::string> names;
    for (const NoteItem& item : saved.items)
        names.push_back(itemName(item));
    return names;
}

static const NoteItem* savedItem(const SavedDocument& saved, const char* name) {
    for (const NoteItem& item : saved.items)
        if (itemName(item) == name)
            return &item;
    return nullptr;
}

static bool expanded(HTREEITEM node) {
    return (TreeView_GetItemState(tree(), node, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

static NoteItem makeItem(const char* name, uint16_t priority, const char* category, uint16_t check,
                         uint16_t month, uint16_t day) {
    NoteItem item;
    memset(&item, 0, sizeof item);
    copyAsciiField(item.name, kNameChars, name);
    copyAsciiField(item.category, kCategoryChars, category);
    item.priority = priority;
    item.checkState = check;
    item.dueDate.year = month ? 2024 : 0;
    item.dueDate.month = month;
    item.dueDate.day = day;
    return item;
}

// ---- sorting ------------------------------------------------------------------

TEST(Sorting, EveryKeyBothWays) {
    NoteItem apple = makeItem("apple", 9, "", 1, 5, 3);
    NoteItem banana = makeItem("Banana", 0, "home", 2, 0, 0);
    NoteItem cherry = makeItem("cherry", 4, "Work", 1, 5, 1);
    NoteItem upper = makeItem("APPLE", 9, "", 1, 5, 3);
    // By Name ignores case; descending is the exact reverse.
    EXPECT_LT(compareItems(&apple, &banana, kArrangeByName, 1), 0);
    EXPECT_LT(compareItems(&banana, &cherry, kArrangeByName, 1), 0);
    EXPECT_EQ(compareItems(&apple, &upper, kArrangeByName, 1), 0);
    EXPECT_GT(compareItems(&apple, &banana, kArrangeByName, 0), 0);
    // Priority is numeric: 9 (shown 10) after 0 and 4.
    EXPECT_GT(compareItems(&apple, &cherry, kArrangeByPriority, 1), 0);
    EXPECT_LT(compareItems(&banana, &cherry, kArrangeByPriority, 1), 0);
    EXPECT_LT(compareItems(&apple, &cherry, kArrangeByPriority, 0), 0);
    // An empty category first; case ignored.
    EXPECT_LT(compareItems(&apple, &banana, kArrangeByCategory, 1), 0);
    EXPECT_LT(compareItems(&banana, &cherry, kArrangeByCategory, 1), 0);
    EXPECT_GT(compareItems(&apple, &banana, kArrangeByCategory, 0), 0);
    // Check flag on the stored state: unchecked first ascending.
    EXPECT_GT(compareItems(&banana, &apple, kArrangeByCheck, 1), 0);
    EXPECT_LT(compareItems(&banana, &apple, kArrangeByCheck, 0), 0);
    EXPECT_EQ(compareItems(&apple, &cherry, kArrangeByCheck, 1), 0);
    // A damaged state counts as unchecked, keeping the order consistent.
    NoteItem odd = makeItem("odd", 0, "", 0, 0, 0);
    EXPECT_EQ(compareItems(&odd, &apple, kArrangeByCheck, 1), 0);
    EXPECT_LT(compareItems(&odd, &banana, kArrangeByCheck, 1), 0);
    // Dates: 1 May, 3 May, then the dateless; descending the reverse.
    EXPECT_LT(compareItems(&cherry, &apple, kArrangeByDate, 1), 0);
    EXPECT_GT(compareItems(&banana, &apple, kArrangeByDate, 1), 0);
    EXPECT_LT(compareItems(&apple, &banana, kArrangeByDate, 1), 0);
    EXPECT_LT(compareItems(&banana, &apple, kArrangeByDate, 0), 0);
    EXPECT_GT(compareItems(&cherry, &apple, kArrangeByDate, 0), 0);
    EXPECT_EQ(compareItems(&banana, &odd, kArrangeByDate, 1), 0);
    // The time of day counts too; an impossible date still orders.
    NoteItem later = apple;
    later.dueDate.hour = 1;
    EXPECT_LT(compareItems(&apple, &later, kArrangeByDate, 1), 0);
    NoteItem broken = apple;
    broken.dueDate.month = 13;
    EXPECT_GT(compareItems(&broken, &apple, kArrangeByDate, 1), 0);
    // Nodes without an item, and keys no menu offers, compare equal.
    SortParams params = {};
    params.arrangeKey = kArrangeByName;
    params.ascending = 1;
    EXPECT_EQ(compareForArrange(0, (LPARAM)&apple, (LPARAM)&params), 0);
    EXPECT_EQ(compareItems(&apple, &banana, 7, 1), 0);
}

// A sort's parameters as the program starts one: keys for a text.
static SortParams sortBy(SortKeyCache* keys, int key, int ascending) {
    initSortKeys(keys, key);
    SortParams params = {};
    params.arrangeKey = key;
    params.ascending = ascending;
    bool texts = key == kArrangeByName || key == kArrangeByCategory;
    params.keys = texts ? keys : nullptr;
    return params;
}

// A sort compares the locale's sort keys, made once per item: they must
// order every pair as the locale's comparison ignoring case does.
TEST(Sorting, SortKeysOrderAsTheLocaleComparison) {
    const char* texts[] = {"apple",
                           "Apple",
                           "APPLE",
                           "apple-pie",
                           "applepie",
                           "apple pie",
                           "co-op",
                           "coop",
                           "10",
                           "9",
                           "a'b",
                           "ab",
                           "",
                           "zebra",
                           "Zebra",
                           "resume",
                           "r\xc3\xa9sum\xc3\xa9",
                           "\xc3\x84pfel",
                           "apfel",
                           "stra\xc3\x9f"
                           "e",
                           "strasse",
                           "_x",
                           "x_"};
    // And texts of plain characters (whose keys are made without the
    // locale) mixed with others, which sort among them.
    std::vector<std::string> all(std::begin(texts), std::end(texts));
    const char* pieces[] = {"a", "A", "b", "Z",        "z", "0",  "9",
                            " ", "-", "'", "\xc3\xa9", "_", "ch", "aa"};
    uint32_t seed = 7;
    for (int made = 0; made < 60; ++made) {
        std::string text;
        for (int length = made % 7; length > 0; --length) {
            seed = seed * 1103515245u + 12345u;
            text += pieces[(seed >> 16) % (made % 2 ? 8 : 14)];
        }
        all.push_back(text);
    }
    // Plain keys are made here once the program has asked for enough keys.
    for (int asked = 0; asked <= kKeysBeforePlain; ++asked) {
        BYTE key[kSortKeyRoom];
        int need = 0;
        ASSERT_GT(mapSortKey(L"plain", 5, key, kSortKeyRoom, &need), 0);
    }
    std::vector<NoteItem> items;
    for (const std::string& text : all) {
        wchar_t wide[64] = {};
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide, 64);
        NoteItem item = makeItem("", 0, "", 1, 0, 0);
        copyWideField(item.name, kNameChars, (const WideChar*)wide, 64);
        copyWideField(item.category, kCategoryChars, (const WideChar*)wide, 64);
        items.push_back(item);
    }
    for (int key : {kArrangeByName, kArrangeByCategory}) {
        for (int ascending : {1, 0}) {
            SortKeyCache keys;
            SortParams params = sortBy(&keys, key, ascending);
            // Keys made one by one, then the same keys ranked (a long sort
            // ranks them part-way): both must order as the locale does.
            for (int ranked : {0, 1}) {
                std::vector<const NoteItem*> all;
                for (const NoteItem& item : items)
                    all.push_back(&item);
                if (ranked) {
                    ASSERT_TRUE(rankSortKeys(&keys, all.data(), all.size()));
                }
                for (const NoteItem& a : items)
                    for (const NoteItem& b : items) {
                        int keyed = compareForArrange((LPARAM)&a, (LPARAM)&b, (LPARAM)&params);
                        int direct = compareItems(&a, &b, key, ascending);
                        EXPECT_EQ((keyed > 0) - (keyed < 0), (direct > 0) - (direct < 0))
                            << itemName(a) << " / " << itemName(b) << " ranked " << ranked;
                    }
            }
            EXPECT_FALSE(keys.broken);
            EXPECT_EQ(keys.items.used, items.size());
            freeSortKeys(&keys);
        }
    }
}

// A long sort finds its children's ranks by their items' addresses: in
// pages where the records lie close together, as a file's do, and in a
// hashed table where they lie far apart. Either way every pair of top-level
// items, and an item outside the list, must compare as their records do,
// for every key both ways, with identifiers repeated or far out and dates
// a damaged file could hold.
TEST(Sorting, RanksByAddressAgreeWithTheRecords) {
    NoteList kept = gList;
    const char* names[] = {"pear of the item", "Pear", "apple", "a-b", "", "zed"};
    uint32_t seed = 11;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    auto randomItem = [&](uint32_t id) {
        std::string name = std::string(names[next(6)]) + std::to_string(next(2000));
        NoteItem item =
            makeItem(name.c_str(), (uint16_t)next(10), id % 3 ? "Work" : "home",
                     (uint16_t)(next(5) ? 1 : 3), (uint16_t)next(13), (uint16_t)(1 + next(28)));
        item.id = next(9) ? id : (next(2) ? id / 2 : 0xFFFFFF00u - id);
        item.level = 1;
        if (next(16) == 0)
            item.dueDate.hour = 40;
        return item;
    };
    // The spread records lie a page apart, each in a page of its own.
    const size_t kSpread = 64, kApart = (size_t)1 << kRankPageShift;
    std::vector<char> farApart(kSpread * kApart);
    for (bool spread : {false, true}) {
        initList(&gList);
        std::vector<NoteItem*> items;
        for (uint32_t id = 1; id <= (spread ? kSpread : 4096); ++id) {
            NoteItem item = randomItem(id);
            if (!spread) {
                items.push_back(appendLoaded(&gList, &item, nullptr));
                continue;
            }
            NoteItem* placed = (NoteItem*)&farApart[(id - 1) * kApart];
            *placed = item;
            (gList.tail ? gList.tail->next : gList.head) = placed;
            gList.tail = placed;
            ++gList.count;
            items.push_back(placed);
        }
        NoteItem stranger = makeItem("stranger", 3, "Work", 1, 2, 2);
        stranger.id = 5;
        items.push_back(&stranger);
        for (int key = kArrangeByName; key <= kArrangeByDate; ++key)
            for (int ascending : {1, 0}) {
                SortKeyCache keys;
                SortParams params = sortBy(&keys, key, ascending);
                params.rankTopLevel = true;
                params.rankAfter = 1;
                for (int pair = 0; pair < 4000; ++pair) {
                    const NoteItem* a = items[next((uint32_t)items.size())];
                    const NoteItem* b = items[next((uint32_t)items.size())];
                    int ranked = compareForArrange((LPARAM)a, (LPARAM)b, (LPARAM)&params);
                    int direct = compareItems(a, b, key, ascending);
                    ASSERT_EQ((ranked > 0) - (ranked < 0), (direct > 0) - (direct < 0))
                        << itemName(*a) << " / " << itemName(*b) << " key " << key;
                }
                EXPECT_TRUE(params.ranked &&
                            (spread ? params.byAddress != nullptr : params.pages.blocks != nullptr))
                    << "key " << key << (spread ? " spread" : " close");
                modelFree(params.pages.blocks);
                modelFree(params.pages.slots);
                modelFree(params.byAddress);
                freeSortKeys(&keys);
            }
        if (!spread)
            clearList(&gList);
    }
    gList = kept;
}

TEST_F(CommandsTest, ArrangeSortsTheTopLevelCollapsesBelowAndMovesTheMarks) {
    writeDocument(notes, {
                             {"cherry", 1, 0, 1, 1, 4, "", 2024, 5, 1},
                             {"apple", 2, 0, 1, 1, 9, "", 2024, 5, 3},
                             {"Banana", 3, 0, 1, 1, 0, "", 0, 0, 0},
                             {"zeta", 4, 2, 2, 1, 0, "", 0, 0, 0},
                             {"alpha", 5, 2, 2, 1, 0, "", 0, 0, 0},
                             {"deep", 6, 4, 3, 1, 0, "", 0, 0, 0},
                         });
    Session session(notes);
    ASSERT_TRUE(session.started);
    HTREEITEM apple = findNode(tree(), "apple");
    TreeView_Expand(tree(), apple, TVE_EXPAND);
    TreeView_Expand(tree(), findNode(tree(), "zeta"), TVE_EXPAND);
    // A node expanded below a collapsed one is collapsed too.
    TreeView_Expand(tree(), apple, TVE_COLLAPSE);
    TreeView_Expand(tree(), apple, TVE_EXPAND);
    ASSERT_TRUE(expanded(findNode(tree(), "zeta")));
    TreeView_Expand(tree(), apple, TVE_COLLAPSE);

    command(IDM_ARRANGE_FIRST + kArrangeByPriority);
    EXPECT_EQ(gOptions.arrangeKey, kArrangeByPriority);
    EXPECT_EQ(childLabels(tree(), root()), "Banana,cherry,apple");
    EXPECT_TRUE(expanded(root()));
    EXPECT_FALSE(expanded(apple));
    EXPECT_FALSE(expanded(findNode(tree(), "zeta")));
    // Sorting is one level deep: the grandchildren keep the order they got
    // when apple was first opened (by name).
    EXPECT_EQ(childLabels(tree(), apple), "alpha,zeta");
    sortChildren(tree(), root());
    EXPECT_EQ(childLabels(tree(), apple), "alpha,zeta");
    EXPECT_TRUE(arrangeState(IDM_ARRANGE_FIRST + 1) & MF_CHECKED);
    EXPECT_FALSE(arrangeState(IDM_ARRANGE_FIRST) & MF_CHECKED);

    command(IDM_ARRANGE_FIRST + kArrangeByDate);
    EXPECT_EQ(childLabels(tree(), root()), "cherry,apple,Banana");
    command(IDM_DESCENDING);
    EXPECT_EQ(gOptions.ascending, 0);
    EXPECT_EQ(childLabels(tree(), root()), "Banana,apple,cherry");
    EXPECT_TRUE(arrangeState(IDM_DESCENDING) & MF_CHECKED);
    EXPECT_FALSE(arrangeState(IDM_ASCENDING) & MF_CHECKED);
    EXPECT_TRUE(arrangeState(IDM_ARRANGE_FIRST + 4) & MF_CHECKED);
    command(IDM_ARRANGE_FIRST + kArrangeByName);
    EXPECT_EQ(childLabels(tree(), root()), "cherry,Banana,apple");
    command(IDM_ASCENDING);
    EXPECT_EQ(childLabels(tree(), root()), "apple,Banana,cherry");
    // By Check Flag counts a box ticked since the fill.
    TreeView_SetItemState(tree(), findNode(tree(), "apple"), INDEXTOSTATEIMAGEMASK(kChecked),
                          TVIS_STATEIMAGEMASK);
    command(IDM_ARRANGE_FIRST + kArrangeByCheck);
    std::string byCheck = childLabels(tree(), root());
    EXPECT_EQ(byCheck.substr(byCheck.rfind(',') + 1), "apple");
    command(IDM_ARRANGE_FIRST + kArrangeByName);
    // A sort of the children of one node.
    sortChildren(tree(), apple);
    EXPECT_EQ(childLabels(tree(), apple), "alpha,zeta");
    ASSERT_TRUE(session.close());
    SavedDocument saved = readSaved(notes);
    EXPECT_EQ(saved.options.arrangeKey, kArrangeByName);
    EXPECT_EQ(saved.options.ascending, 1);
}

// A fill puts the top level in in the arrangement's order and opens the
// root without sorting: for every key, both ways, with many ties, the
// control's own sort must then leave that order exactly as it is. A long
// sort from another order (one that turns to a table of the keys part-way)
// must give that order's stable sort, also for damaged check states,
// dates and identifiers, some beyond any real range, and for dates apart
// only in their smallest fields.
TEST_F(CommandsTest, TheFillsTopLevelIsWhatTheControlsSortGives) {
    const char* names[] = {"pear", "Pear", "apple", "a-b", "ab", "", "Zed", "zed", "co-op", "coop"};
    const char* categories[] = {"", "Work", "work", "Home"};
    std::vector<ItemSpec> document;
    uint32_t seed = 7;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    // Most names of their own, some shared, a few of the ten above; half
    // of them alike in their first eight letters.
    std::vector<std::string> named;
    for (uint32_t id = 1; id <= 1500; ++id) {
        std::string number = id % 8 ? std::to_string(next(900)) : "";
        named.push_back(std::string(names[next(10)]) + (id % 2 ? " of the item " : "") + number);
    }
    for (uint32_t id = 1; id <= 1500; ++id) {
        // Every third item lies below an earlier top-level one.
        uint32_t parent = id > 3 && id % 3 == 0 ? id - 1 - (id - 1) % 3 : 0;
        uint16_t month = (uint16_t)next(3);
        document.push_back({named[id - 1].c_str(), id, parent, parent ? 2u : 1u,
                            (uint16_t)(1 + next(2)), (uint16_t)next(3), categories[next(4)],
                            (uint16_t)(month ? 2024 : 0), month,
                            (uint16_t)(month ? 1 + next(2) : 0)});
    }
    writeDocument(notes, document);
    Session session(notes);
    ASSERT_TRUE(session.started);
    for (NoteItem* item = gList.head; item; item = item->next) {
        SystemDate& due = item->dueDate;
        uint32_t damage = next(16);
        if (damage == 0)
            item->checkState = (uint16_t)(next(2) ? 0 : 3);
        else if (damage == 1)
            due.hour = 40;
        else if (damage == 2)
            due.minute = 200;
        else if (damage == 3 && due.month)
            due.month = (uint16_t)(next(2) ? 13 : 40);
        else if (damage == 4)
            due.milliseconds = 3000;
        // Identifiers a damaged file repeats or takes from far beyond the
        // others, on items that no other item lies below.
        else if (damage == 5 && item->id % 3 == 2 && item->id > 600)
            item->id -= 300;
        else if (damage == 6 && item->id % 3 == 2)
            item->id = 0xFFFFFF00u - item->id;
        // Dates of one day apart only in their seconds or milliseconds.
        else if (damage == 7)
            due.second = (uint16_t)next(60);
        else if (damage == 8)
            due.milliseconds = (uint16_t)next(1000);
    }
    auto children = [this]() {
        std::vector<LPARAM> items;
        for (HTREEITEM c = TreeView_GetChild(tree(), root()); c;
             c = TreeView_GetNextSibling(tree(), c))
            items.push_back((LPARAM)nodeItem(tree(), c));
        return items;
    };
    for (int key = kArrangeByName; key <= kArrangeByDate; ++key)
        for (int ascending : {1, 0}) {
            auto stableSort = [key, ascending](std::vector<LPARAM> items) {
                std::stable_sort(items.begin(), items.end(), [&](LPARAM a, LPARAM b) {
                    return compareItems((const NoteItem*)a, (const NoteItem*)b, key, ascending) < 0;
                });
                return items;
            };
            gOptions.arrangeKey = key;
            gOptions.ascending = ascending;
            fillTree(tree());
            std::vector<LPARAM> filled = children();
            sortChildren(tree(), root());
            std::vector<LPARAM> sorted = children();
            // Equal items keep the list's order, as the control's sort of
            // the list's order would leave them.
            std::vector<LPARAM> listed;
            for (const NoteItem* item = gList.head; item; item = item->next)
                if (item->level == 1)
                    listed.push_back((LPARAM)item);
            EXPECT_EQ(filled, stableSort(listed)) << "key " << key << " ascending " << ascending;
            EXPECT_EQ(filled, sorted) << "key " << key << " ascending " << ascending;
            // An item edited since the fill may leave the fill's order
            // anywhere in the list: the sort still gives the order of the
            // edited items.
            for (int step = 0; step < 6; ++step) {
                fillTree(tree());
                std::vector<LPARAM> shown = children();
                for (int edits = (int)next(3); edits >= 0; --edits) {
                    NoteItem* edited = (NoteItem*)shown[next((uint32_t)shown.size())];
                    copyAsciiField(edited->name, kNameChars, named[next(1500)].c_str());
                    copyAsciiField(edited->category, kCategoryChars, categories[next(4)]);
                    edited->priority = (uint16_t)next(3);
                    edited->checkState = (uint16_t)(1 + next(2));
                    edited->dueDate.day = (uint16_t)(1 + next(28));
                }
                sortChildren(tree(), root());
                EXPECT_EQ(children(), stableSort(shown))
                    << "key " << key << " ascending " << ascending << " step " << step;
            }
            gOptions.arrangeKey = key == kArrangeByPriority ? kArrangeByDate : kArrangeByPriority;
            gOptions.ascending = !ascending;
            sortChildren(tree(), root());
            std::vector<LPARAM> before = children();
            gOptions.arrangeKey = key;
            gOptions.ascending = ascending;
            sortChildren(tree(), root());
            EXPECT_EQ(children(), stableSort(before))
                << "key " << key << " ascending " << ascending;
        }
}

TEST_F(CommandsTest, ArrangingGroupedViewsLeavesHeadingsAlone) {
    writeDocument(notes, {
                             {"one", 1, 0, 1, 1, 4, "Zoo", 0, 0, 0},
                             {"two", 2, 0, 1, 1, 0, "Art", 0, 0, 0},
                         });
    Session session(notes);
    command(IDM_VIEW_CATEGORY);
    std::string before = childLabels(tree(), root());
    command(IDM_DESCENDING);
    EXPECT_EQ(childLabels(tree(), root()), before);
}

// ---- item commands ----------------------------------------------------------

static const std::vector<ItemSpec> kFamily = {
    {"Keep", 1, 0, 1, 1, 0, "", 0, 0, 0},       {"Parent", 2, 0, 1, 1, 3, "Work", 0, 0, 0},
    {"Child", 3, 2, 2, 1, 0, "Home", 0, 0, 0},  {"Done", 4, 2, 2, 2, 0, "Home", 0, 0, 0},
    {"Below done", 5, 4, 3, 1, 0, "", 0, 0, 0}, {"Grandchild", 6, 3, 3, 1, 0, "Work", 0, 0, 0},
    {"Sibling", 7, 1, 2, 1, 0, "", 0, 0, 0},
};

TEST_F(CommandsTest, DeleteAsksAndRemovesEveryDescendantShownOrNot) {
    FileOptions options;
    options.hideChecked = 1;
    writeDocument(notes, kFamily, options);
    {
        Session session(notes);
        BoxAnswers answers;
        ASSERT_TRUE(select("Parent"));
        answers.queue(IDNO);
        command(IDM_DELETE_ITEM);
        ASSERT_EQ(answers.seen.size(), 1u);
        EXPECT_EQ(answers.seen[0].text,
                  L"Are you sure to delete the selected item and its subitems?");
        EXPECT_EQ(answers.seen[0].caption, L"Twigmark");
        EXPECT_EQ(answers.seen[0].icon, kQuestionIcon);
        EXPECT_TRUE(answers.seen[0].yesNo);
        EXPECT_TRUE(answers.seen[0].owned);
        EXPECT_EQ(gList.count, 7);
        EXPECT_TRUE(findNode(tree(), "Parent"));

        answers.queue(IDYES);
        command(IDM_DELETE_ITEM);
        EXPECT_EQ(answers.seen.size(), 2u);
        EXPECT_EQ(gList.count, 2);
        EXPECT_EQ(treeOutline(tree()), "*Note Tree\n  Keep\n    Sibling\n");
        // The tree view chose another node; nothing points at freed items.
        EXPECT_TRUE(TreeView_GetSelection(tree()));
        command(IDM_VIEW_CATEGORY);
        ASSERT_TRUE(session.close());
    }
    SavedDocument saved = readSaved(notes);
    ASSERT_TRUE(saved.loaded);
    EXPECT_EQ(savedNames(saved), (std::vector<std::string>{"Keep", "Sibling"}));
}

TEST_F(CommandsTest, DeleteInAGroupedViewRemovesEveryNodeOfTheDescendants) {
    writeDocument(notes, kFamily);
    Session session(notes);
    BoxAnswers answers;
    command(IDM_VIEW_CATEGORY);
    ASSERT_TRUE(select("Parent"));
    answers.queue(IDYES);
    command(IDM_DELETE_ITEM);
    EXPECT_EQ(treeOutline(tree()), "*Note Tree\n"
                                   "  *[No Category]\n"
                                   "    Keep\n"
                                   "    Sibling\n"
                                   "  *Home\n"
                                   "  *Work\n");
    EXPECT_EQ(gList.count, 2);
    command(IDM_VIEW_DEFAULT);
    EXPECT_EQ(treeOutline(tree()), "*Note Tree\n  Keep\n    Sibling\n");
}

// A damaged file: "Loop" and "Back" name each other as parents; "Twin" has
// the identifier of "Child", so "Orphaned" could belong to either. The same
// document with identifiers far above the item count as well, which are
// looked up another way.
TEST_F(CommandsTest, DeleteEndsOnCyclesAndRemovesOnlyDescendants) {
    for (uint32_t high : {0u, 1000000u}) {
        SCOPED_TRACE(high);
        auto id = [high](uint32_t n) { return n ? n + high : 0u; };
        writeDocument(notes, {
                                 {"Loop", id(1), id(2), 1, 1, 0, "", 0, 0, 0},
                                 {"Back", id(2), id(1), 2, 1, 0, "", 0, 0, 0},
                                 {"Other", id(3), 0, 1, 1, 0, "", 0, 0, 0},
                                 {"Child", id(4), id(3), 2, 1, 0, "", 0, 0, 0},
                                 {"Twin", id(4), id(5), 2, 1, 0, "", 0, 0, 0},
                                 {"Holder", id(5), 0, 1, 1, 0, "", 0, 0, 0},
                                 {"Orphaned", id(6), id(4), 3, 1, 0, "", 0, 0, 0},
                                 {"Zero", 0, 0, 1, 1, 0, "", 0, 0, 0},
                                 {"Stray", id(9), id(3), 1, 1, 0, "", 0, 0, 0},
                             });
        Session session(notes);
        BoxAnswers answers;
        // The top level is arranged by name when the fill opens the root node.
        EXPECT_EQ(treeOutline(tree()), "*Note Tree\n"
                                       "  Holder\n"
                                       "    Twin\n"
                                       "  Loop\n"
                                       "    Back\n"
                                       "  Other\n"
                                       "    Child\n"
                                       "      Orphaned\n"
                                       "  Stray\n"
                                       "  Zero\n");
        ASSERT_TRUE(select("Loop"));
        answers.queue(IDYES);
        command(IDM_DELETE_ITEM);
        EXPECT_EQ(gList.count, 7);
        // Twin shares its identifier with Child: deleting it leaves Child's
        // own child, which the view shows under Child.
        ASSERT_TRUE(select("Holder"));
        answers.queue(IDYES);
        command(IDM_DELETE_ITEM);
        EXPECT_EQ(treeOutline(tree()),
                  "*Note Tree\n  Other\n    Child\n      Orphaned\n  Stray\n  Zero\n");
        // An item with identifier 0 has no children: the top level stays.
        ASSERT_TRUE(select("Zero"));
        answers.queue(IDYES);
        command(IDM_DELETE_ITEM);
        EXPECT_EQ(treeOutline(tree()), "*Note Tree\n  Other\n    Child\n      Orphaned\n  Stray\n");
        // "Stray" names "Other" as its parent but stands at the top level: its
        // node goes with the item.
        ASSERT_TRUE(select("Other"));
        answers.queue(IDYES);
        command(IDM_DELETE_ITEM);
        EXPECT_EQ(treeOutline(tree()), "*Note Tree\n");
        EXPECT_EQ(gList.count, 0);
        ASSERT_TRUE(session.close());
        EXPECT_TRUE(readSaved(notes).items.empty());
    }
}

TEST_F(CommandsTest, CreateCopyCopiesTheItemAloneWithItsOwnNote) {
    writeDocument(notes, kFamily);
    {
        Session session(notes);
        HTREEITEM parent = findNode(tree(), "Parent");
        TreeView_Expand(tree(), parent, TVE_EXPAND);
        ASSERT_TRUE(select("Child"));
        SetWindowTextW(gProgram.notePane, L"first note");
        command(IDM_CREATE_COPY);
        EXPECT_EQ(gList.count, 8);
        NoteItem* copy = gList.tail;
        NoteItem* source = itemOf("Child");
        EXPECT_EQ(copy->id, 8u);
        EXPECT_EQ(copy->parentId, 2u);
        EXPECT_EQ(copy->level, 2u);
        EXPECT_EQ(nodeItem(tree(), TreeView_GetSelection(tree())), copy);
        EXPECT_EQ(childLabels(tree(), parent), "Child,Done,Child");
        EXPECT_EQ(TreeView_GetChild(tree(), TreeView_GetSelection(tree())), nullptr);
        ASSERT_TRUE(source->note && copy->note);
        EXPECT_NE(source->note, copy->note);
        // The copy's note changes alone.
        SetWindowTextW(gProgram.notePane, L"changed");
        ASSERT_TRUE(storeNotePane(gProgram.mainWindow, TreeView_GetSelection(tree())));
        EXPECT_EQ(std::wstring((const wchar_t*)source->note), L"first note");
        ASSERT_TRUE(session.close());
    }
    SavedDocument saved = readSaved(notes);
    ASSERT_EQ(saved.items.size(), 8u);
    EXPECT_EQ(itemName(saved.items[7]), "Child");
    EXPECT_EQ(saved.items[7].id, 8u);
    EXPECT_EQ(saved.notes[2], L"first note");
    EXPECT_EQ(saved.notes[7], L"changed");
    EXPECT_EQ(saved.nextId, 9);
}

TEST_F(CommandsTest, PriorityAndIconChangeTheSelectedItem) {
    writeDocument(notes, {
                             {"low", 1, 0, 1, 1, 0, "", 0, 0, 0},
                             {"mid", 2, 0, 1, 1, 5, "", 0, 0, 0},
                             {"high", 3, 0, 1, 1, 2, "", 0, 0, 0},
                         });
    FileOptions byPriority;
    (void)byPriority;
    {
        Session session(notes);
        command(IDM_ARRANGE_FIRST + kArrangeByPriority);
        EXPECT_EQ(childLabels(tree(), root()), "low,high,mid");
        ASSERT_TRUE(select("low"));
        command(IDM_PRIORITY_LAST);
        EXPECT_EQ(itemOf("low")->priority, 9);
        EXPECT_EQ(childLabels(tree(), root()), "high,mid,low");
        command(IDS_ICON_NAME_LAST);
        NodeFacts shown;
        ASSERT_TRUE(
            readNode(tree(), findNode(tree(), "low"), TVIF_IMAGE | TVIF_SELECTEDIMAGE, &shown));
        EXPECT_EQ(shown.image, 19);
        EXPECT_EQ(shown.selectedImage, 19);
        EXPECT_EQ(itemOf("low")->icon, 19);
        ASSERT_TRUE(select("mid"));
        command(IDM_PRIORITY_FIRST);
        command(IDS_ICON_NAME_FIRST);
        EXPECT_EQ(childLabels(tree(), root()), "mid,high,low");
        ASSERT_TRUE(session.close());
    }
    SavedDocument saved = readSaved(notes);
    EXPECT_EQ(savedItem(saved, "low")->priority, 9);
    EXPECT_EQ(savedItem(saved, "low")->icon, 19);
    EXPECT_EQ(savedItem(saved, "mid")->priority, 0);
    EXPECT_EQ(savedItem(saved, "mid")->icon, 4);
}

// Headings, the root node and an empty selection: nothing happens, nothing
// is asked, nothing breaks. Only "Modify..." on the root node opens a dialog,
// Modify Title, which confirms the title it shows.
TEST_F(CommandsTest, ItemCommandsWithoutAnItemDoNothing) {
    writeDocument(notes, kFamily);
    Session session(notes);
    BoxAnswers answers;
    const UINT itemCommands[] = {IDM_DELETE_ITEM, IDM_CREATE_COPY, IDM_PRIORITY_FIRST + 4,
                                 IDS_ICON_NAME_FIRST + 3, IDM_MODIFY_ITEM};
    command(IDM_VIEW_CATEGORY);
    std::string outline = treeOutline(tree());
    HTREEITEM heading = TreeView_GetChild(tree(), root());
    for (HTREEITEM node : {heading, root(), (HTREEITEM) nullptr}) {
        TreeView_SelectItem(tree(), node);
        for (UINT id : itemCommands)
            command(id);
    }
    ASSERT_EQ(answers.seen.size(), 1u);
    EXPECT_EQ(answers.seen[0].caption, L"Modify Title...");
    EXPECT_EQ(gList.count, 7);
    EXPECT_EQ(treeOutline(tree()), outline);
    NodeFacts shown;
    EXPECT_TRUE(readNode(tree(), heading, TVIF_IMAGE, &shown));
    EXPECT_EQ(shown.image, 1);
}

TEST_F(CommandsTest, TheNotePaneGoesIntoTheItemBeforeModifyAndAtSave) {
    writeDocument(notes, kFamily);
    {
        Session session(notes);
        ASSERT_TRUE(select("Keep"));
        SetWindowTextW(gProgram.notePane, L"typed");
        command(IDM_MODIFY_ITEM);
        ASSERT_TRUE(itemOf("Keep")->note);
        EXPECT_EQ(std::wstring((const wchar_t*)itemOf("Keep")->note), L"typed");
        // An empty pane empties the note.
        SetWindowTextW(gProgram.notePane, L"");
        EXPECT_EQ(storeNotePane(gProgram.mainWindow, findNode(tree(), "Keep")), 1);
        EXPECT_EQ(itemOf("Keep")->note, nullptr);
        EXPECT_EQ(storeNotePane(gProgram.mainWindow, root()), 1);
        EXPECT_EQ(storeNotePane(gProgram.mainWindow, nullptr), 1);
        SetWindowTextW(gProgram.notePane, L"at close");
        ASSERT_TRUE(session.close());
    }
    SavedDocument saved = readSaved(notes);
    EXPECT_EQ(saved.notes[0], L"at close");
}

// ---- views ----------------------------------------------------------------

TEST_F(CommandsTest, HideCheckedHidesItemsTickedSinceTheFillAndHideNoteWindowIsMarked) {
    writeDocument(notes, kFamily);
    Session session(notes);
    HTREEITEM keep = findNode(tree(), "Keep");
    TreeView_SetItemState(tree(), keep, INDEXTOSTATEIMAGEMASK(kChecked), TVIS_STATEIMAGEMASK);
    // A leaf three levels down, never shown: its box is read all the same.
    TreeView_SetItemState(tree(), findNode(tree(), "Grandchild"), INDEXTOSTATEIMAGEMASK(kChecked),
                          TVIS_STATEIMAGEMASK);
    command(IDM_HIDE_CHECKED);
    EXPECT_EQ(gOptions.hideChecked, 1);
    EXPECT_TRUE(menuState(IDM_VIEW, IDM_HIDE_CHECKED) & MF_CHECKED);
    EXPECT_EQ(treeOutline(tree()), "*Note Tree\n  Parent\n    Child\n");
    command(IDM_HIDE_CHECKED);
    EXPECT_EQ(gOptions.hideChecked, 0);
    EXPECT_FALSE(menuState(IDM_VIEW, IDM_HIDE_CHECKED) & MF_CHECKED);
    EXPECT_NE(treeOutline(tree()).find("[x]Keep"), std::string::npos);

    command(IDM_HIDE_NOTE_WINDOW);
    EXPECT_TRUE(menuState(IDM_VIEW, IDM_HIDE_NOTE_WINDOW) & MF_CHECKED);
    EXPECT_FALSE(IsWindowVisible(gProgram.notePane));
    command(IDM_HIDE_NOTE_WINDOW);
    EXPECT_FALSE(menuState(IDM_VIEW, IDM_HIDE_NOTE_WINDOW) & MF_CHECKED);
    for (UINT view = IDM_VIEW_DEFAULT; view <= IDM_VIEW_PRIORITY; ++view) {
        command(view);
        EXPECT_EQ(gOptions.viewMode, (int)(view - IDM_VIEW_DEFAULT));
        EXPECT_TRUE(menuState(IDM_VIEW, view) & MF_CHECKED);
    }
}

// One function sets the View menu's marks from the options: from start-up on
// and over a seeded run of every view, hide and arrangement command, each
// mark agrees with the option it shows.
TEST_F(CommandsTest, EveryViewMenuMarkFollowsItsOptionAfterEveryViewCommand) {
    writeDocument(notes, kFamily);
    Session session(notes);
    ASSERT_TRUE(session.started);
    std::vector<UINT> commands = {IDM_HIDE_CHECKED, IDM_HIDE_NOTE_WINDOW, IDM_ASCENDING,
                                  IDM_DESCENDING};
    for (UINT view = IDM_VIEW_DEFAULT; view <= IDM_VIEW_PRIORITY; ++view)
        commands.push_back(view);
    for (UINT key = IDM_ARRANGE_FIRST; key <= IDM_ARRANGE_LAST; ++key)
        commands.push_back(key);
    auto marked = [](UINT state) { return state != 0xFFFFFFFF && (state & MF_CHECKED) != 0; };
    uint32_t seed = 17;
    for (int step = 0; step < 60; ++step) {
        for (UINT view = IDM_VIEW_DEFAULT; view <= IDM_VIEW_PRIORITY; ++view)
            EXPECT_EQ(marked(menuState(IDM_VIEW, view)),
                      gOptions.viewMode == (int32_t)(view - IDM_VIEW_DEFAULT))
                << step;
        EXPECT_EQ(marked(menuState(IDM_VIEW, IDM_HIDE_CHECKED)), gOptions.hideChecked != 0) << step;
        EXPECT_EQ(marked(menuState(IDM_VIEW, IDM_HIDE_NOTE_WINDOW)), gOptions.hideNoteWindow != 0)
            << step;
        EXPECT_EQ(marked(arrangeState(IDM_ASCENDING)), gOptions.ascending != 0) << step;
        EXPECT_EQ(marked(arrangeState(IDM_DESCENDING)), gOptions.ascending == 0) << step;
        for (UINT key = IDM_ARRANGE_FIRST; key <= IDM_ARRANGE_LAST; ++key)
            EXPECT_EQ(marked(arrangeState(key)),
                      gOptions.arrangeKey == (int32_t)(key - IDM_ARRANGE_FIRST))
                << step;
        seed = seed * 1103515245u + 12345u;
        command(commands[(seed >> 16) % commands.size()]);
    }
}

// ---- file commands ------------------------------------------------------------

static void cutShort(const std::wstring& path, size_t bytesOff) {
    std::vector<char> bytes = fileBytes(path);
    bytes.resize(bytes.size() - bytesOff);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(file);
}

static void expectFileRequest(const FileRequest& request, bool save, const wchar_t* title) {
    EXPECT_EQ(request.save, save);
    EXPECT_EQ(request.copy.lStructSize, sizeof(OPENFILENAMEW));
    EXPECT_EQ(request.copy.hwndOwner, gProgram.mainWindow);
    EXPECT_EQ(request.filter, L"Twigmark Files (*.twk)|*.twk|");
    EXPECT_EQ(request.copy.nMaxFile, 260u);
    EXPECT_EQ(request.initialFile, L"");
    EXPECT_EQ(request.copy.lpstrInitialDir, nullptr);
    EXPECT_EQ(request.title, title);
    EXPECT_EQ(request.defExt, L"twk");
    EXPECT_EQ(request.copy.Flags, save ? 0x806u : 0x1804u);
}

// Only the boxes ticked since the last read are read, and only the nodes
// that may be open are collapsed. Over random rounds of ticks by the space
// key (some past the room of the tick record) and of nodes opened by the
// program's own messages and by selecting hidden nodes, every save keeps
// the boxes the tree shows and every arrangement leaves nothing open.
TEST_F(CommandsTest, TicksAndOpenedNodesAreFollowedPastTheirRecords) {
    std::vector<ItemSpec> items;
    std::vector<std::string> names;
    for (uint32_t i = 0; i < 120; ++i)
        names.push_back("item " + std::to_string(i));
    for (uint32_t i = 0; i < 120; ++i) // every third item has the one before as parent
        items.push_back({names[i].c_str(), i + 1, i % 3 ? i : 0, i % 3 ? 2u + (i % 3 == 2) : 1u,
                         (uint16_t)(1 + i % 2), 0, "", 0, 0, 0});
    writeDocument(notes, items);
    Session session(notes);
    ASSERT_TRUE(session.started);
    uint32_t seed = 16;
    auto pick = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int round = 0; round < 12; ++round) {
        // Every third round ticks 90 different boxes: more than the record holds.
        bool many = round % 3 == 1;
        uint32_t first = pick(120);
        for (uint32_t t = 0; t < (many ? 90 : 1 + pick(10)); ++t) {
            HTREEITEM node = findNode(tree(), names[many ? (first + t) % 120 : pick(120)].c_str());
            ASSERT_TRUE(node && TreeView_SelectItem(tree(), node));
            PostMessageW(tree(), WM_KEYDOWN, VK_SPACE, 0x00390001);
            PostMessageW(tree(), WM_KEYUP, VK_SPACE, 0xC0390001);
            session.pump();
        }
        for (int k = 0; k < 6; ++k) {
            HTREEITEM node = findNode(tree(), names[pick(120)].c_str());
            if (pick(2))
                TreeView_Expand(tree(), node, TVE_EXPAND);
            else
                TreeView_EnsureVisible(tree(), node);
        }
        if (round % 2) {
            command(IDM_ARRANGE_FIRST + kArrangeByName);
            for (const std::string& name : names)
                EXPECT_FALSE(expanded(findNode(tree(), name.c_str())))
                    << name << " round " << round;
        }
        ASSERT_TRUE(saveDocument(tree(), notes.c_str()));
        SavedDocument saved = readSaved(notes);
        ASSERT_EQ(saved.items.size(), names.size());
        for (const NoteItem& item : saved.items) {
            UINT shown = TreeView_GetItemState(tree(), findNode(tree(), itemName(item).c_str()),
                                               TVIS_STATEIMAGEMASK);
            EXPECT_EQ(item.checkState, shown >> 12) << itemName(item) << " round " << round;
        }
    }
}

TEST_F(CommandsTest, NewFileSavesFirstAndStartsAnEmptyDocumentUnwritten) {
    FileOptions options;
    options.viewMode = 1;
    options.arrangeKey = 3;
    writeDocument(notes, kFamily, options);
    Session session(notes);
    FileDialogs files;
    BoxAnswers answers;
    ASSERT_TRUE(select("Keep"));
    answers.queue(IDYES);
    command(IDM_DELETE_ITEM);
    // Cancelled: the old document stays open and is saved.
    command(IDM_NEW_FILE);
    ASSERT_EQ(files.requests.size(), 1u);
    expectFileRequest(files.requests[0], true, L"Save New File...");
    EXPECT_EQ(readSaved(notes).items.size(), 5u);
    EXPECT_EQ(gList.count, 5);
    EXPECT_EQ(std::wstring(gProgram.notePath), notes);

    answers.queue(IDCANCEL);
    command(IDM_FIND_ITEM);
    ASSERT_TRUE(gFindCriteria);
    files.answers.push_back(other);
    command(IDM_NEW_FILE);
    EXPECT_EQ(std::wstring(gProgram.notePath), other);
    EXPECT_EQ(treeOutline(tree()), "*Note Tree\n");
    EXPECT_EQ(gList.count, 0);
    EXPECT_EQ(gFindCriteria, nullptr);
    EXPECT_EQ(gOptions.viewMode, 1);
    EXPECT_EQ(gOptions.arrangeKey, 3);
    EXPECT_EQ(GetFileAttributesW(other.c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(session.close());
    SavedDocument saved = readSaved(other);
    EXPECT_TRUE(saved.loaded);
    EXPECT_TRUE(saved.items.empty());
    EXPECT_EQ(saved.options.viewMode, 1);
    ASSERT_EQ(answers.seen.size(), 2u); // the question, then Find
    EXPECT_EQ(answers.seen[1].caption, L"Find...");
}

TEST_F(CommandsTest, OpenSavesFirstLoadsAndMarksTheMenus) {
    writeDocument(notes, kFamily);
    FileOptions options;
    options.viewMode = 3;
    options.hideChecked = 1;
    options.ascending = 0;
    options.arrangeKey = 1;
    writeDocument(other, {{"Elsewhere", 1, 0, 1, 1, 6, "", 0, 0, 0}}, options);
    Session session(notes);
    FileDialogs files;
    BoxAnswers answers;
    ASSERT_TRUE(select("Keep"));
    command(IDM_PRIORITY_FIRST + 7);
    files.answers.push_back(other);
    command(IDM_OPEN);
    ASSERT_EQ(files.requests.size(), 1u);
    expectFileRequest(files.requests[0], false, L"Open File...");
    EXPECT_EQ(savedItem(readSaved(notes), "Keep")->priority, 7);
    EXPECT_EQ(std::wstring(gProgram.notePath), other);
    EXPECT_EQ(treeOutline(tree()), "*Note Tree\n  *Priority 7\n    Elsewhere\n");
    EXPECT_TRUE(menuState(IDM_VIEW, IDM_VIEW_PRIORITY) & MF_CHECKED);
    EXPECT_TRUE(menuState(IDM_VIEW, IDM_HIDE_CHECKED) & MF_CHECKED);
    EXPECT_TRUE(arrangeState(IDM_DESCENDING) & MF_CHECKED);
    EXPECT_TRUE(arrangeState(IDM_ARRANGE_FIRST + 1) & MF_CHECKED);
    EXPECT_TRUE(answers.seen.empty());

    // A file cut short: told, and what could be read is shown.
    cutShort(notes, 100);
    files.answers.push_back(notes);
    command(IDM_OPEN);
    ASSERT_EQ(answers.seen.size(), 1u);
    EXPECT_EQ(answers.seen[0].text, L"Unable to load data!");
    EXPECT_EQ(answers.seen[0].icon, kStopIcon);
    EXPECT_EQ(gList.count, 6);
    EXPECT_TRUE(findNode(tree(), "Keep"));
    EXPECT_FALSE(arrangeState(IDM_DESCENDING) & MF_CHECKED);
}

TEST_F(CommandsTest, SaveAsWritesThereAndAdoptsThePathEvenWhenTheSaveFails) {
    writeDocument(notes, kFamily);
    Session session(notes);
    FileDialogs files;
    BoxAnswers answers;
    command(IDM_SAVE_AS);
    ASSERT_EQ(files.requests.size(), 1u);
    expectFileRequest(files.requests[0], true, L"Save As...");
    EXPECT_EQ(std::wstring(gProgram.notePath), notes);

    files.answers.push_back(other);
    command(IDM_SAVE_AS);
    EXPECT_EQ(readSaved(other).items.size(), 7u);
    EXPECT_EQ(std::wstring(gProgram.notePath), other);

    std::wstring nowhere = tempPath(L"twigmark-no-folder\\notes.twk");
    RemoveDirectoryW(tempPath(L"twigmark-no-folder").c_str());
    files.answers.push_back(nowhere);
    command(IDM_SAVE_AS);
    ASSERT_EQ(answers.seen.size(), 1u);
    EXPECT_EQ(answers.seen[0].text, L"Unable to save data!");
    EXPECT_EQ(std::wstring(gProgram.notePath), nowhere);
    gProgram.notePath[0] = 0;
    lstrcpynW(gProgram.notePath, notes.c_str(), kPathChars);
}

// "New File..." and "Open..." replace the document only when that loses
// nothing: after a failed save, a changed document stays open.
TEST_F(CommandsTest, AFailedSaveKeepsAChangedDocumentOpen) {
    std::wstring nowhere = tempPath(L"twigmark-no-folder\\notes.twk");
    RemoveDirectoryW(tempPath(L"twigmark-no-folder").c_str());
    const UINT commands[] = {IDM_NEW_FILE, IDM_OPEN};
    for (UINT fileCommand : commands) {
        for (int changed = 1; changed >= 0; --changed) {
            writeDocument(notes, kFamily);
            writeDocument(other, {{"Elsewhere", 1, 0, 1, 1, 6, "", 0, 0, 0}});
            Session session(notes);
            FileDialogs files;
            BoxAnswers answers;
            lstrcpynW(gProgram.notePath, nowhere.c_str(), kPathChars);
            if (changed) {
                ASSERT_TRUE(select("Keep"));
                command(IDM_PRIORITY_FIRST + 7);
            }
            files.answers.push_back(other);
            command(fileCommand);
            ASSERT_EQ(answers.seen.size(), 1u) << fileCommand;
            EXPECT_EQ(answers.seen[0].text, L"Unable to save data!");
            EXPECT_EQ(files.requests.size(), changed ? 0u : 1u) << fileCommand;
            EXPECT_EQ(std::wstring(gProgram.notePath), changed ? nowhere : other) << fileCommand;
            EXPECT_EQ(gList.count, changed ? 7 : fileCommand == IDM_OPEN ? 1 : 0) << fileCommand;
            if (changed)
                lstrcpynW(gProgram.notePath, notes.c_str(), kPathChars);
        }
    }
}

// A file that did not load whole keeps its bytes beside it before a file
// command writes over it; other files are written as they are.
TEST_F(CommandsTest, FileCommandsKeepADamagedOriginalBeforeWritingOverIt) {
    writeDocument(notes, kFamily);
    cutShort(notes, 100);
    std::vector<char> damaged = fileBytes(notes);
    std::wstring kept = notes.substr(0, notes.size() - 4) + L" (damaged).twk";
    std::wstring third = tempPath(L"twigmark-commands-third.twk");
    DeleteFileW(kept.c_str());
    DeleteFileW(third.c_str());
    {
        Session session(notes);
        ASSERT_EQ(session.boxes.size(), 1u);
        FileDialogs files;
        BoxAnswers answers;
        files.answers.push_back(other);
        command(IDM_SAVE_AS);
        EXPECT_EQ(readSaved(other).items.size(), 6u);
        EXPECT_EQ(fileBytes(notes), damaged);
        EXPECT_EQ(GetFileAttributesW(kept.c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_TRUE(answers.seen.empty());

        files.answers.push_back(notes);
        command(IDM_OPEN);
        ASSERT_EQ(answers.seen.size(), 1u);
        EXPECT_EQ(answers.seen[0].text, L"Unable to load data!");
        EXPECT_EQ(GetFileAttributesW(kept.c_str()), INVALID_FILE_ATTRIBUTES);

        files.answers.push_back(third);
        command(IDM_NEW_FILE);
        ASSERT_EQ(answers.seen.size(), 2u);
        EXPECT_EQ(answers.seen[1].icon, kInformationIcon);
        EXPECT_NE(answers.seen[1].text.find(kept), std::wstring::npos);
        EXPECT_EQ(fileBytes(kept), damaged);
        EXPECT_TRUE(readSaved(notes).loaded);
        EXPECT_EQ(readSaved(notes).items.size(), 6u);
        ASSERT_TRUE(session.close());
        EXPECT_EQ(answers.seen.size(), 2u);
    }
    EXPECT_TRUE(readSaved(third).loaded);
    DeleteFileW(kept.c_str());
    DeleteFileW(third.c_str());
}

// ---- search ---------------------------------------------------------------------

TEST_F(CommandsTest, TheSearchStateLivesUntilDiscarded) {
    writeDocument(notes, kFamily);
    Session session(notes);
    BoxAnswers answers;
    EXPECT_TRUE(menuState(IDM_TOOLS, IDM_FIND_AGAIN) & MF_GRAYED);
    // Cancelling the Find dialog leaves the fresh state and searches nothing.
    answers.queue(IDCANCEL);
    command(IDM_FIND_ITEM);
    ASSERT_TRUE(gFindCriteria);
    EXPECT_EQ(gFindCriteria->checkedChoice, 2);
    EXPECT_EQ(gFindCriteria->dateRelation, 1);
    EXPECT_EQ(gFindCriteria->lastMatch, root());
    EXPECT_TRUE(menuState(IDM_TOOLS, IDM_FIND_AGAIN) & MF_GRAYED);
    EXPECT_EQ(TreeView_GetSelection(tree()), root());
    ASSERT_EQ(answers.seen.size(), 1u);
    EXPECT_EQ(answers.seen[0].caption, L"Find...");
    answers.seen.clear();

    // A last match at the end of the tree: nothing is searched, the notice
    // is shown and "Find Again" is grayed.
    HTREEITEM last = findNode(tree(), "Below done");
    ASSERT_FALSE(TreeView_GetNextSibling(tree(), last));
    ASSERT_FALSE(TreeView_GetChild(tree(), last));
    gFindCriteria->lastMatch = last;
    EnableMenuItem(menuBarPopup(IDM_TOOLS), IDM_FIND_AGAIN, MF_BYCOMMAND | MF_ENABLED);
    command(IDM_FIND_AGAIN);
    ASSERT_EQ(answers.seen.size(), 1u);
    EXPECT_EQ(answers.seen[0].text, L"No item matched the search criteria.");
    EXPECT_EQ(answers.seen[0].caption, L"Twigmark");
    EXPECT_EQ(answers.seen[0].icon, kInformationIcon);
    EXPECT_TRUE(answers.seen[0].owned);
    EXPECT_TRUE(menuState(IDM_TOOLS, IDM_FIND_AGAIN) & MF_GRAYED);
    EXPECT_EQ(gFindCriteria->lastMatch, last);

    // A last match the tree view deletes is forgotten: the next search
    // starts at the root node.
    forgetSearchNode(root());
    EXPECT_EQ(gFindCriteria->lastMatch, last);
    forgetSearchNode(last);
    EXPECT_EQ(gFindCriteria->lastMatch, nullptr);

    // The shell's WM_HIBERNATE discards it.
    SendMessageW(gProgram.mainWindow, WM_HIBERNATE, 0, 0);
    EXPECT_EQ(gFindCriteria, nullptr);
    command(IDM_FIND_AGAIN);
    EXPECT_EQ(answers.seen.size(), 1u);
    forgetSearchNode(root());
    EXPECT_EQ(gFindCriteria, nullptr);
}

// ---- memory shortage ----------------------------------------------------------

static int gAllocationsLeft = -1;
static void* limitedAlloc(size_t bytes) {
    if (gAllocationsLeft == 0)
        return nullptr;
    if (gAllocationsLeft > 0)
        --gAllocationsLeft;
    return calloc(1, bytes ? bytes : 1);
}
static void limitedRelease(void* block) {
    free(block);
}
static const ModelAllocator kLimited = {limitedAlloc, limitedRelease};

namespace {

struct ShortOfMemory {
    explicit ShortOfMemory(int allowed) {
        gAllocationsLeft = allowed;
        setModelAllocator(&kLimited);
    }
    ~ShortOfMemory() { gAllocationsLeft = -1; }
};

} // namespace

TEST_F(CommandsTest, ShortagesAreReportedWhereTheUserActedAndLeaveNoHalfMadeCopy) {
    writeDocument(notes, kFamily);
    Session session(notes);
    BoxAnswers answers;
    ASSERT_TRUE(select("Keep"));
    SetWindowTextW(gProgram.notePane, L"kept");
    ASSERT_TRUE(storeNotePane(gProgram.mainWindow, findNode(tree(), "Keep")));
    std::string outline = treeOutline(tree());
    {
        // The copy of the note is refused: no record, no node, no message.
        ShortOfMemory shortage(1);
        command(IDM_CREATE_COPY);
        EXPECT_EQ(gList.count, 7);
        EXPECT_EQ(treeOutline(tree()), outline);
        EXPECT_TRUE(answers.seen.empty());
    }
    {
        // The note is stored and copied, then the record is refused.
        ShortOfMemory shortage(2);
        command(IDM_CREATE_COPY);
        EXPECT_EQ(gList.count, 7);
        EXPECT_EQ(treeOutline(tree()), outline);
        EXPECT_TRUE(answers.seen.empty());
    }
    {
        ShortOfMemory shortage(0);
        EXPECT_EQ(storeNotePane(gProgram.mainWindow, findNode(tree(), "Keep")), 0);
        ASSERT_TRUE(itemOf("Keep")->note);
        EXPECT_EQ(std::wstring((const wchar_t*)itemOf("Keep")->note), L"kept");
        // An empty pane needs no memory to store, so the commands get as
        // far as their own shortages.
        SetWindowTextW(gProgram.notePane, L"");
        command(IDM_FIND_ITEM);
        EXPECT_EQ(gFindCriteria, nullptr);
        answers.queue(IDYES);
        command(IDM_DELETE_ITEM);
        EXPECT_EQ(gList.count, 7);
    }
    setModelAllocator(nullptr);
    ASSERT_EQ(answers.seen.size(), 4u);
    for (size_t i : {0u, 1u, 3u}) {
        EXPECT_EQ(answers.seen[i].caption, L"Twigmark");
        EXPECT_EQ(answers.seen[i].icon, kStopIcon);
        EXPECT_TRUE(answers.seen[i].owned);
    }
    EXPECT_TRUE(answers.seen[2].yesNo);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
