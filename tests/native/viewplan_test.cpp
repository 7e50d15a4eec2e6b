#include "test_support.h"

#include "viewplan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

static NoteItem* add(Doc& doc, const char16_t* name, uint32_t id, uint32_t level, uint32_t parentId,
                     uint16_t check = kUnchecked) {
    NoteItem item = makeItem(name, level, parentId);
    item.id = id;
    item.checkState = check;
    return appendLoaded(&doc.list, &item, nullptr);
}

// The plan as "name(parent name)" in display order, depth-first.
static std::string shape(const ViewPlan& plan) {
    std::string out;
    struct Walk {
        const ViewPlan& p;
        std::string& out;
        void go(int32_t node, int depth) {
            for (int32_t c = planFirstChild(&p, node); c != -1; c = p.nextSibling[c]) {
                out += std::string((size_t)depth, '.');
                for (char16_t ch : text(*p.nodes[c].item))
                    out += (char)ch;
                out += ' ';
                go(c, depth + 1);
            }
        }
    } walk{plan, out};
    walk.go(kPlanRoot, 0);
    return out;
}

namespace {

// What the Default View must show for a document with distinct identifiers,
// worked out the slow, obvious way: an item is shown when its chain of
// parents reaches a level-1 item without passing a hidden one; children
// follow in list order.
struct Reference {
    std::vector<NoteItem*> items;
    bool hide;
    bool shown(const NoteItem* item) const {
        for (size_t steps = 0; item && steps <= items.size(); ++steps) {
            if (hide && item->checkState == kChecked)
                return false;
            if (item->level == 1)
                return true;
            const NoteItem* up = nullptr;
            for (const NoteItem* p : items)
                up = p->id == item->parentId ? p : up;
            item = up;
        }
        return false;
    }
    void print(const NoteItem* parent, int depth, std::string& out) const {
        for (NoteItem* c : items) {
            bool under = parent ? c->level != 1 && c->parentId == parent->id : c->level == 1;
            if (under && shown(c)) {
                out += std::string((size_t)depth, '.') + (char)text(*c)[0] + ' ';
                print(c, depth + 1, out);
            }
        }
    }
};

} // namespace

// Random forests listed in many orders (parents first, every parent after
// its children, shuffled), with parents that are missing, cycles and checked
// items, and identifiers counted up or scattered far apart, against the
// reference.
TEST(DefaultView, EveryItemWhoseParentsReachTheRootIsPlacedInAnyOrder) {
    std::mt19937 random(14);
    for (int round = 0; round < 300; ++round) {
        uint32_t n = 1 + random() % 24;
        std::vector<uint32_t> parent(n + 1), level(n + 1), order;
        for (uint32_t id = 1; id <= n; ++id) {
            parent[id] = random() % 3 == 0 ? 0 : random() % id; // 0: top level
            level[id] = parent[id] ? level[parent[id]] + 1 : 1;
            order.push_back(id);
        }
        if (round % 2) { // a parent that is missing
            uint32_t k = 1 + random() % n;
            parent[k] = 1000;
            level[k] = 2;
        }
        if (round % 4 >= 2) { // a cycle
            uint32_t a = 1 + random() % n, b = 1 + random() % n;
            parent[a] = b;
            parent[b] = a;
            level[a] = level[b] = 2;
        }
        if (round % 3 == 1)
            std::reverse(order.begin(), order.end()); // every parent after its children
        else if (round % 3 == 2)
            std::shuffle(order.begin(), order.end(), random);
        Doc doc;
        Reference ref{{}, round / 4 % 2 == 1};
        uint32_t spread = round % 5 == 4 ? 100003 : 1;
        for (uint32_t id : order) {
            char16_t name[2] = {(char16_t)(u'A' + id), 0};
            uint16_t check = random() % 5 == 0 ? kChecked : kUnchecked;
            ref.items.push_back(add(doc, name, id * spread, level[id], parent[id] * spread, check));
        }
        std::string expected;
        ref.print(nullptr, 0, expected);
        ViewPlan plan;
        ASSERT_EQ(planDefaultView(&doc.list, ref.hide, &plan), 1);
        ASSERT_EQ(shape(plan), expected) << "round " << round;
        freeViewPlan(&plan);
    }
}

TEST(DefaultView, ChildrenBeforeParentsAndALevelThreeBeforeItsParent) {
    Doc doc;
    add(doc, u"B1", 5, 2, 2);  // level 2 before its parent: waits, then found
    add(doc, u"C1a", 7, 3, 6); // level 3 before its parent, which waits too
    add(doc, u"C1", 6, 2, 3);
    add(doc, u"A", 1, 1, 0);
    add(doc, u"B", 2, 1, 0);
    add(doc, u"A1", 4, 2, 1);
    add(doc, u"C", 3, 1, 0);
    add(doc, u"Orphan", 8, 2, 99);
    ViewPlan plan;
    ASSERT_EQ(planDefaultView(&doc.list, 0, &plan), 1);
    EXPECT_EQ(shape(plan), "A .A1 B .B1 C .C1 ..C1a ");
    EXPECT_EQ(plan.count, 7);
    freeViewPlan(&plan);
}

TEST(DefaultView, HiddenCheckedItemTakesItsSubtree) {
    Doc doc;
    add(doc, u"A", 1, 1, 0, kChecked);
    add(doc, u"A1", 2, 2, 1);
    add(doc, u"A1x", 3, 3, 2);
    add(doc, u"B", 4, 1, 0);
    ViewPlan plan;
    ASSERT_EQ(planDefaultView(&doc.list, 1, &plan), 1);
    EXPECT_EQ(shape(plan), "B ");
    freeViewPlan(&plan);
    ASSERT_EQ(planDefaultView(&doc.list, 0, &plan), 1);
    EXPECT_EQ(shape(plan), "A .A1 ..A1x B ");
    freeViewPlan(&plan);
}

TEST(DefaultView, DuplicateIdentifiersResolveToTheFirstNodeInPreOrder) {
    Doc doc;
    add(doc, u"P", 1, 1, 0);
    add(doc, u"Q", 2, 1, 0);
    add(doc, u"dupUnderQ", 9, 2, 2);
    add(doc, u"dupUnderP", 9, 2, 1); // inserted later, but comes first in pre-order
    add(doc, u"deep", 10, 3, 9);
    add(doc, u"twin", 1, 1, 0);    // a second level-1 node with identifier 1
    add(doc, u"under1", 11, 2, 1); // level 2: the first root child with id 1
    ViewPlan plan;
    ASSERT_EQ(planDefaultView(&doc.list, 0, &plan), 1);
    EXPECT_EQ(shape(plan), "P .dupUnderP ..deep .under1 Q .dupUnderQ twin ");
    freeViewPlan(&plan);
}

TEST(DefaultView, EmptyDocumentAndMemoryShortage) {
    Doc doc;
    ViewPlan plan;
    ASSERT_EQ(planDefaultView(&doc.list, 0, &plan), 1);
    EXPECT_EQ(plan.count, 0);
    EXPECT_EQ(planFirstChild(&plan, kPlanRoot), -1);
    freeViewPlan(&plan);
    add(doc, u"A", 1, 1, 0);
    FailingAllocator failing(3);
    EXPECT_EQ(planDefaultView(&doc.list, 0, &plan), 0);
    EXPECT_EQ(plan.nodes, nullptr);
}

TEST(DefaultView, NestingIsCutAtTheDeepestShownLevel) {
    Doc doc;
    for (uint32_t i = 1; i <= (uint32_t)kMaxViewDepth + 2; ++i)
        add(doc, u"n", i, i, i - 1);
    ViewPlan plan;
    ASSERT_EQ(planDefaultView(&doc.list, 0, &plan), 1);
    EXPECT_EQ(plan.count, kMaxViewDepth);
    freeViewPlan(&plan);
}

// After a move, every item the plan shows below the moved one takes its
// depth there, whatever the document: distinct identifiers or repeated
// ones, parents missing or in a cycle, items at level 1 that name a parent,
// chains deeper than a few levels, any list order. The levels expected are
// worked out from the plan of the document as it stands before.
TEST(DefaultView, RelevellingGivesEveryItemBelowTheMovedOneItsDepthInThePlan) {
    std::mt19937 random(31);
    for (int round = 0; round < 600; ++round) {
        uint32_t n = 1 + random() % 40;
        bool repeats = round % 4 == 3;
        struct Entry {
            uint32_t id, parent, level;
        };
        std::vector<Entry> entries;
        for (uint32_t i = 1; i <= n; ++i) {
            uint32_t id = repeats ? 1 + random() % n : i;
            uint32_t parent = random() % 4 == 0 ? 0 : 1 + random() % (round % 5 == 4 ? n : i);
            if (round % 7 == 6 && i > 1)
                parent = i - 1; // a deep chain
            uint32_t level = parent ? 2 + random() % (round % 3 == 2 ? 3 : 1) : 1;
            if (random() % 10 == 0)
                level = 1; // at the top whatever it names
            entries.push_back({id, parent, level});
        }
        if (round % 2)
            std::shuffle(entries.begin(), entries.end(), random);
        Doc doc;
        std::vector<NoteItem*> list;
        for (const Entry& entry : entries)
            list.push_back(add(doc, u"x", entry.id, entry.level, entry.parent));
        NoteItem* top = list[random() % list.size()];
        top->level = 1 + random() % 4;

        std::vector<uint32_t> expected;
        for (const NoteItem* item : list)
            expected.push_back(item->level);
        ViewPlan plan;
        ASSERT_EQ(planDefaultView(&doc.list, 0, &plan), 1);
        int32_t first = 0;
        while (first < plan.count && plan.nodes[first].item != top)
            ++first;
        std::vector<uint32_t> depth((size_t)plan.count);
        for (int32_t i = first; i < plan.count; ++i) {
            if (i > first && plan.nodes[i].parent < first)
                break;
            depth[(size_t)i] = i == first ? top->level : depth[(size_t)plan.nodes[i].parent] + 1;
            size_t at =
                (size_t)(std::find(list.begin(), list.end(), plan.nodes[i].item) - list.begin());
            expected[at] = depth[(size_t)i];
        }
        freeViewPlan(&plan);

        ASSERT_EQ(relevelBelow(&doc.list, top), 1);
        for (size_t k = 0; k < list.size(); ++k)
            ASSERT_EQ(list[k]->level, expected[k]) << "round " << round << " item " << k;
    }
}
