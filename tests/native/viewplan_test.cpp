#include "test_support.h"

#include "viewplan.h"

#include <gtest/gtest.h>

namespace {

NoteItem* add(Doc& doc, const char16_t* name, uint32_t id, uint32_t level, uint32_t parentId,
              uint16_t check = kUnchecked) {
    NoteItem item = makeItem(name, level, parentId);
    item.id = id;
    item.checkState = check;
    return appendLoaded(&doc.list, &item, nullptr);
}

// The plan as "name(parent name)" in display order, depth-first.
std::string shape(const ViewPlan& plan) {
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

} // namespace

TEST(DefaultView, ChildrenBeforeParentsAndTheLateLevelThree) {
    Doc doc;
    add(doc, u"B1", 5, 2, 2);  // level 2 before its parent: waits, then found
    add(doc, u"C1a", 7, 3, 6); // level 3 whose parent waits too: searched too early
    add(doc, u"C1", 6, 2, 3);
    add(doc, u"A", 1, 1, 0);
    add(doc, u"B", 2, 1, 0);
    add(doc, u"A1", 4, 2, 1);
    add(doc, u"C", 3, 1, 0);
    add(doc, u"Orphan", 8, 2, 99);
    ViewPlan plan;
    ASSERT_EQ(planDefaultView(&doc.list, 0, &plan), 1);
    EXPECT_EQ(shape(plan), "A .A1 B .B1 C .C1 ");
    EXPECT_EQ(plan.count, 6);
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
