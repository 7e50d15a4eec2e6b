#include "test_support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string.h>
#include <vector>

TEST(NoteList, EmptyListAndRemovalAtEveryPosition) {
    Doc doc;
    EXPECT_EQ(doc.list.head, nullptr);
    EXPECT_EQ(doc.list.tail, nullptr);
    EXPECT_EQ(doc.list.count, 0);
    EXPECT_EQ(doc.list.nextId, 1);
    NoteItem stranger = makeItem(u"not in the list");
    EXPECT_EQ(removeItem(&doc.list, &stranger), 0);

    NoteItem proto = makeItem(u"x");
    NoteItem* a = appendNew(&doc.list, &proto);
    NoteItem* b = appendNew(&doc.list, &proto);
    NoteItem* c = appendNew(&doc.list, &proto);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(removeItem(&doc.list, c), 1); // the tail: the previous record takes over
    EXPECT_EQ(doc.list.tail, b);
    EXPECT_EQ(b->next, nullptr);
    EXPECT_EQ(removeItem(&doc.list, a), 1); // the head: the second record takes over
    EXPECT_EQ(doc.list.head, b);
    EXPECT_EQ(removeItem(&doc.list, b), 1); // the only one
    EXPECT_EQ(doc.list.head, nullptr);
    EXPECT_EQ(doc.list.tail, nullptr);
    EXPECT_EQ(doc.list.count, 0);
}

// Many records leave in one pass: head, middle and tail, with their notes;
// records not in the set, and addresses not in the list, are left alone.
TEST(NoteList, RemovingASetKeepsTheRestInOrder) {
    Doc doc;
    NoteItem proto = makeItem(u"x");
    NoteItem* made[6];
    for (NoteItem*& item : made) {
        proto.note = copyNote(u"note", 4);
        item = appendNew(&doc.list, &proto);
        ASSERT_NE(item, nullptr);
    }
    NoteItem stranger = makeItem(u"not in the list");
    std::vector<NoteItem*> gone = {made[0], made[2], made[5], &stranger};
    std::sort(gone.begin(), gone.end(),
              [](NoteItem* a, NoteItem* b) { return (uintptr_t)a < (uintptr_t)b; });
    EXPECT_EQ(removeItems(&doc.list, gone.data(), gone.size()), 3u);
    EXPECT_EQ(doc.list.count, 3);
    EXPECT_EQ(doc.list.head, made[1]);
    EXPECT_EQ(made[1]->next, made[3]);
    EXPECT_EQ(made[3]->next, made[4]);
    EXPECT_EQ(doc.list.tail, made[4]);
    EXPECT_EQ(made[4]->next, nullptr);
    EXPECT_EQ(removeItems(&doc.list, nullptr, 0), 0u);
    std::vector<NoteItem*> rest = {made[1], made[3], made[4]};
    std::sort(rest.begin(), rest.end(),
              [](NoteItem* a, NoteItem* b) { return (uintptr_t)a < (uintptr_t)b; });
    EXPECT_EQ(removeItems(&doc.list, rest.data(), rest.size()), 3u);
    EXPECT_EQ(doc.list.head, nullptr);
    EXPECT_EQ(doc.list.tail, nullptr);
    EXPECT_EQ(doc.list.count, 0);
}

// Flags by position remove what the same records removed as a set would:
// every pattern of six records, the list's links, ends and count intact.
TEST(NoteList, RemovingFlaggedPositionsMatchesRemovingTheSet) {
    for (unsigned pattern = 0; pattern < 64; ++pattern) {
        Doc flagged, listed;
        std::vector<NoteItem*> inFlagged, inListed;
        NoteItem proto = makeItem(u"x");
        for (int i = 0; i < 6; ++i) {
            proto.note = i % 2 ? copyNote(u"note", 4) : nullptr;
            inFlagged.push_back(appendNew(&flagged.list, &proto));
            proto.note = i % 2 ? copyNote(u"note", 4) : nullptr;
            inListed.push_back(appendNew(&listed.list, &proto));
        }
        bool gone[6];
        std::vector<NoteItem*> set;
        for (int i = 0; i < 6; ++i) {
            gone[i] = (pattern >> i) & 1;
            if (gone[i])
                set.push_back(inListed[(size_t)i]);
        }
        std::sort(set.begin(), set.end(),
                  [](NoteItem* a, NoteItem* b) { return (uintptr_t)a < (uintptr_t)b; });
        // Only the first positions the flags cover count: a seventh record
        // added after the flags were made stays.
        proto.note = nullptr;
        NoteItem* late = appendNew(&flagged.list, &proto);
        appendNew(&listed.list, &proto);
        ASSERT_EQ(removeFlaggedItems(&flagged.list, gone, 6),
                  removeItems(&listed.list, set.data(), set.size()));
        ASSERT_EQ(flagged.list.count, listed.list.count);
        std::vector<int> kept;
        for (const NoteItem* it = flagged.list.head; it; it = it->next)
            kept.push_back(it == late ? 6
                                      : (int)(std::find(inFlagged.begin(), inFlagged.end(), it) -
                                              inFlagged.begin()));
        std::vector<int> expected;
        for (int i = 0; i < 6; ++i)
            if (!gone[i])
                expected.push_back(i);
        expected.push_back(6);
        EXPECT_EQ(kept, expected) << pattern;
        EXPECT_EQ(flagged.list.tail, late);
    }
}

TEST(NoteList, IdentifiersComeFromTheCounterAndLoadedOnesStay) {
    Doc doc;
    doc.list.nextId = 57; // as a file may bring it
    NoteItem proto = makeItem(u"new");
    proto.id = 999; // ignored: appendNew hands out the identifier
    NoteItem* made = appendNew(&doc.list, &proto);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->id, 57u);
    EXPECT_EQ(doc.list.nextId, 58);

    NoteItem loaded = makeItem(u"loaded");
    loaded.id = 57; // a duplicate identifier is kept as it comes
    NoteItem* kept = appendLoaded(&doc.list, &loaded, u"note");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->id, 57u);
    EXPECT_EQ(doc.list.nextId, 58);
    EXPECT_EQ(std::u16string(kept->note), u"note");
    EXPECT_EQ(doc.list.tail, kept);

    clearList(&doc.list);
    EXPECT_EQ(doc.list.nextId, 1);
    EXPECT_EQ(doc.list.count, 0);
    EXPECT_EQ(std::u16string(doc.list.title), u"Note Tree"); // the title stays
}

// The counter in a file may lie: a new item never shares an identifier, and
// the counter never overflows.
TEST(NoteList, AppendNewStaysAboveEveryIdentifierPresent) {
    Doc doc;
    NoteItem old = makeItem(u"old");
    old.id = 40;
    appendLoaded(&doc.list, &old, nullptr);
    old.id = 7;
    appendLoaded(&doc.list, &old, nullptr);
    doc.list.nextId = 12; // below the 40 present
    NoteItem proto = makeItem(u"new");
    NoteItem* made = appendNew(&doc.list, &proto);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->id, 41u);
    EXPECT_EQ(doc.list.nextId, 42);
    doc.list.nextId = -5; // nonsense: still above everything, never 0
    NoteItem* newest = appendNew(&doc.list, &proto);
    EXPECT_EQ(newest->id, 42u);
    // A removed item's identifier is not handed out again.
    ASSERT_EQ(removeItem(&doc.list, newest), 1);
    doc.list.nextId = 1;
    EXPECT_EQ(appendNew(&doc.list, &proto)->id, 43u);

    // The last identifier below 2147483647 is handed out once; then the
    // append fails with nothing changed, as when memory runs out.
    doc.list.nextId = INT32_MAX - 1;
    made = appendNew(&doc.list, &proto);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->id, (uint32_t)INT32_MAX - 1);
    EXPECT_EQ(doc.list.nextId, INT32_MAX);
    int32_t count = doc.list.count;
    NoteItem* tail = doc.list.tail;
    proto.note = copyNote(u"mine", 4);
    EXPECT_EQ(appendNew(&doc.list, &proto), nullptr);
    EXPECT_EQ(doc.list.count, count);
    EXPECT_EQ(doc.list.tail, tail);
    EXPECT_EQ(doc.list.nextId, INT32_MAX);
    modelFree(proto.note); // not taken over: still the caller's

    // An identifier from a file above the counter's range leaves none.
    Doc other;
    old.id = 0xFFFFFFF0u;
    appendLoaded(&other.list, &old, nullptr);
    proto.note = nullptr;
    EXPECT_EQ(appendNew(&other.list, &proto), nullptr);
    EXPECT_EQ(other.list.count, 1);
}

TEST(NoteList, AppendNewTakesOverTheNote) {
    Doc doc;
    NoteItem proto = makeItem(u"with note");
    proto.note = copyNote(u"abc", 3);
    NoteItem* made = appendNew(&doc.list, &proto);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->note, proto.note); // the very same block, freed with the record
}

TEST(NoteList, EmptyNoteIsNeverAnAllocatedEmptyString) {
    Doc doc;
    NoteItem proto = makeItem(u"x");
    NoteItem* item = appendLoaded(&doc.list, &proto, u"");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->note, nullptr);
    EXPECT_EQ(copyNote(u"abc", 0), nullptr);
}

TEST(NoteList, AllocationFailureLeavesTheListAsItWas) {
    Doc doc;
    NoteItem proto = makeItem(u"first");
    ASSERT_NE(appendNew(&doc.list, &proto), nullptr);
    for (long failAt = 0; failAt < 2; ++failAt) {
        FailingAllocator failing(failAt); // 0: the record, 1: the note copy
        EXPECT_EQ(appendLoaded(&doc.list, &proto, u"some note"), nullptr);
        EXPECT_EQ(doc.list.count, 1);
        EXPECT_EQ(doc.list.head, doc.list.tail);
        EXPECT_EQ(doc.list.tail->next, nullptr);
    }
    FailingAllocator failing(0);
    EXPECT_EQ(appendNew(&doc.list, &proto), nullptr);
    EXPECT_EQ(doc.list.nextId, 2); // no identifier was used up
    EXPECT_EQ(doc.list.count, 1);
}

TEST(NoteList, TitleIsCutToItsFieldWithoutSplittingASurrogatePair) {
    Doc doc;
    std::u16string longTitle(62, u'a');
    longTitle += u"\U0001F600"; // a pair at characters 62 and 63
    setTitle(&doc.list, longTitle.c_str());
    EXPECT_EQ(std::u16string(doc.list.title), std::u16string(62, u'a'));
    setTitle(&doc.list, std::u16string(100, u'b').c_str());
    EXPECT_EQ(std::u16string(doc.list.title), std::u16string(63, u'b'));
}

TEST(PendingItems, QueueKeepsOrderAndNeverOwnsItems) {
    PendingItems queue;
    initQueue(&queue);
    NoteItem* item = nullptr;
    EXPECT_EQ(firstItem(&queue, &item), 0);
    NoteItem a = makeItem(u"a"), b = makeItem(u"b");
    ASSERT_EQ(pushItem(&queue, &a), 1);
    ASSERT_EQ(pushItem(&queue, &b), 1);
    EXPECT_EQ(queue.count, 2);
    ASSERT_EQ(firstItem(&queue, &item), 1);
    EXPECT_EQ(item, &a);
    ASSERT_EQ(nextItem(&queue, &item), 1);
    EXPECT_EQ(item, &b);
    EXPECT_EQ(nextItem(&queue, &item), 0);
    {
        FailingAllocator failing(0);
        EXPECT_EQ(pushItem(&queue, &a), 0);
        EXPECT_EQ(queue.count, 2);
    }
    freeQueue(&queue);
    EXPECT_EQ(queue.count, 0);
    EXPECT_EQ(queue.head, nullptr);
}
