#include "test_support.h"

#include "notefile.h"
#include "widetext.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

static int load(Doc& doc, const Bytes& b, LoadReport* report = nullptr) {
    return readNoteBytes(&doc.list, b.data.data(), b.data.size(), &doc.options, &doc.categories,
                         report);
}

TEST(ReadNoteFile, EmptyFileSucceedsAndLeavesOptionsAlone) {
    Doc doc;
    doc.options = {2, 3, 1, 1, 1};
    LoadReport report;
    EXPECT_EQ(load(doc, Bytes(), &report), 1);
    EXPECT_EQ(report.hasVersion, 0);
    EXPECT_EQ(doc.options.viewMode, 2);
    EXPECT_EQ(doc.options.arrangeKey, 3);
    EXPECT_EQ(doc.list.count, 0);
}

TEST(ReadNoteFile, Version210HeaderRecordsAndCategories) {
    NoteItem a = makeItem(u"Alpha");
    a.id = 5;
    memcpy(a.category, u"Work", 10);
    a.dueDate.month = 7;
    NoteItem b = makeItem(u"Beta", 2, 5);
    b.id = 6;
    memcpy(b.category, u"WORK", 10);
    Bytes file;
    file.header210(57, kRootChecked, u"My Notes", 3, 1, 0, 4).record(a, u"abc").record(b, u"");
    Doc doc;
    ASSERT_EQ(load(doc, file), 1);
    EXPECT_EQ(doc.list.nextId, 57);
    EXPECT_EQ(doc.list.rootState, (uint32_t)kRootChecked);
    EXPECT_EQ(std::u16string(doc.list.title), u"My Notes");
    EXPECT_EQ(doc.options.viewMode, 3);
    EXPECT_EQ(doc.options.hideChecked, 1);
    EXPECT_EQ(doc.options.ascending, 0);
    EXPECT_EQ(doc.options.arrangeKey, 4); // the key is the last of the four words
    auto items = doc.items();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]->id, 5u);
    EXPECT_EQ(std::u16string(items[0]->note), u"abc");
    EXPECT_EQ(items[1]->note, nullptr);
    EXPECT_EQ(items[1]->parentId, 5u);
    EXPECT_EQ(doc.categories.count, 1); // "WORK" is "Work"
}

TEST(ReadNoteFile, ShortHeaderVersionsIgnoreTheirOptionWord) {
    NoteItem a = makeItem(u"Only");
    Bytes file;
    file.word(200).word(9).word(0).field(u"Old", kTitleChars).word(3).record(a, u"n");
    Doc doc;
    doc.options.arrangeKey = 2;
    doc.options.hideChecked = 1;
    ASSERT_EQ(load(doc, file), 1);
    EXPECT_EQ(doc.options.viewMode, 0);
    EXPECT_EQ(doc.options.hideChecked, 0);
    EXPECT_EQ(doc.options.ascending, 1);
    EXPECT_EQ(doc.options.arrangeKey, 2); // kept
    ASSERT_EQ(doc.list.count, 1);
    EXPECT_EQ(text(*doc.list.head), u"Only");

    // A version above 210 is read with the full header.
    Bytes newer;
    newer.header210(2, 0, u"New", 1, 0, 1, 1);
    newer.data[0] = 250;
    Doc doc2;
    ASSERT_EQ(load(doc2, newer), 1);
    EXPECT_EQ(doc2.options.viewMode, 1);
    EXPECT_EQ(doc2.options.arrangeKey, 1);
}

TEST(ReadNoteFile, UnterminatedFieldsAreNeverReadPastTheirEnd) {
    NoteItem a = makeItem(u"");
    for (int i = 0; i < kNameChars; ++i)
        a.name[i] = u'n';
    for (int i = 0; i < kCategoryChars; ++i)
        a.category[i] = u'c';
    for (int i = 0; i < kTaskTimeChars; ++i)
        a.taskTime[i] = u't';
    Bytes file;
    file.header210(2, 0, u"", 0, 0, 1, 0).record(a, u"");
    for (int i = 0; i < kTitleChars; ++i) // title without its zero
        file.data[12 + 2 * i] = 'T';
    Doc doc;
    ASSERT_EQ(load(doc, file), 1);
    EXPECT_EQ(wideLength(doc.list.title, kTitleChars), (size_t)kTitleChars);
    EXPECT_EQ(wideLength(doc.list.head->name, kNameChars), (size_t)kNameChars);
    ASSERT_EQ(doc.categories.count, 1);
    EXPECT_EQ(memcmp(doc.list.head, &a, kPersistentSize), 0); // bytes kept as they came
}

TEST(ReadNoteFile, DamagedLengthsStopTheLoadAndKeepEarlierRecords) {
    NoteItem a = makeItem(u"kept"), b = makeItem(u"bad");
    struct Case {
        int32_t noteLength;
        LoadProblem problem;
    } cases[] = {{-1, kLoadBadNoteLength},
                 {INT32_MIN, kLoadBadNoteLength},
                 {5, kLoadBadNoteLength}, // longer than the 2 characters left
                 {0x7FFFFFFF, kLoadBadNoteLength}};
    for (const Case& c : cases) {
        Bytes file;
        file.header210(3, 0, u"t", 0, 0, 1, 0).record(a, u"x");
        file.raw(&b, kPersistentSize).word(c.noteLength).chars(u"zz");
        Doc doc;
        LoadReport report;
        EXPECT_EQ(load(doc, file, &report), 0) << c.noteLength;
        EXPECT_EQ(report.problem, c.problem);
        EXPECT_EQ(report.value, c.noteLength);
        ASSERT_EQ(doc.list.count, 1);
        EXPECT_EQ(text(*doc.list.head), u"kept");
    }
}

TEST(ReadNoteFile, TruncatedRecordsAreDroppedAndReported) {
    NoteItem a = makeItem(u"whole"), b = makeItem(u"cut");
    Bytes whole;
    whole.header210(3, 0, u"t", 0, 0, 1, 0).record(a, u"x").record(b, u"abcd");
    // Cut inside the second record's fixed part, its length word and its note.
    size_t second = 156 + 380 + 2;
    for (size_t end : {second + 100, second + 376 + 2, second + 380 + 3}) {
        Bytes cut;
        cut.data.assign(whole.data.begin(), whole.data.begin() + end);
        Doc doc;
        LoadReport report;
        EXPECT_EQ(load(doc, cut, &report), 0) << end;
        EXPECT_TRUE(report.problem == kLoadTruncated || report.problem == kLoadBadNoteLength);
        EXPECT_EQ(doc.list.count, 1) << end;
    }
}

// Every layout writes its header whole: a file that ends inside it is
// damaged or foreign, whatever its version word says.
TEST(ReadNoteFile, AHeaderCutShortIsDamage) {
    NoteItem a = makeItem(u"whole");
    Bytes full;
    full.header210(3, kRootChecked, u"t", 2, 1, 0, 4).record(a, u"");
    for (size_t end : {(size_t)5, (size_t)8, (size_t)100, (size_t)146, (size_t)155}) {
        Bytes cut;
        cut.data.assign(full.data.begin(), full.data.begin() + end);
        Doc doc;
        doc.options = {2, 3, 1, 1, 1};
        LoadReport report;
        EXPECT_EQ(load(doc, cut, &report), 0) << end;
        EXPECT_EQ(report.problem, kLoadTruncated) << end;
        EXPECT_EQ(report.offset, 0) << end;
        // Nothing of a cut header is taken.
        EXPECT_EQ(doc.list.nextId, 1) << end;
        EXPECT_EQ(doc.list.rootState, 0u) << end;
        EXPECT_EQ(std::u16string(doc.list.title), u"Note Tree") << end;
        EXPECT_EQ(doc.options.viewMode, 2) << end;
        EXPECT_EQ(doc.options.arrangeKey, 3) << end;
        char why[96];
        describeLoadReport(&report, why, sizeof why);
        EXPECT_STREQ(why, "the file ends inside its header");
    }
    // A text file passes for no version at all.
    const char text45[] = "Shopping list: bread, milk, eggs and butter.\n";
    Bytes foreign;
    foreign.raw(text45, 45);
    Doc doc;
    EXPECT_EQ(load(doc, foreign), 0);
    EXPECT_EQ(doc.list.count, 0);
    // The short header of the older versions is 144 bytes.
    Bytes older;
    older.word(200).word(9).word(0).field(u"Old", kTitleChars).word(3);
    Doc whole;
    EXPECT_EQ(load(whole, older), 1);
    older.data.pop_back();
    Doc cut;
    EXPECT_EQ(load(cut, older), 0);
}

TEST(ReadNoteFile, MissingNoteMemoryStopsTheLoadAndMissingRecordMemoryDropsOne) {
    NoteItem a = makeItem(u"a"), b = makeItem(u"b");
    Bytes file;
    file.header210(3, 0, u"t", 0, 0, 1, 0).record(a, u"").record(b, u"note");
    {
        // Allocations: a's record, then b's note buffer, which fails.
        Doc doc;
        LoadReport report;
        FailingAllocator failing(1);
        EXPECT_EQ(load(doc, file, &report), 0);
        EXPECT_EQ(report.problem, kLoadOutOfMemory);
        EXPECT_EQ(doc.list.count, 1);
    }
    // Only the first record's memory is missing: it is dropped, the rest loads.
    static int calls;
    calls = 0;
    ModelAllocator first = {[](size_t n) { return ++calls == 1 ? nullptr : calloc(1, n); }, free};
    setModelAllocator(&first);
    Doc doc;
    LoadReport report;
    int result = load(doc, file, &report);
    setModelAllocator(nullptr);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(report.droppedRecords, 1);
    ASSERT_EQ(doc.list.count, 1);
    EXPECT_EQ(text(*doc.list.head), u"b");
}

// Version 100: depth-first records with explicit levels.
static Bytes& node100(Bytes& b, int32_t level, const std::u16string& name, int32_t priority,
                      const std::u16string& category = u"", const std::u16string& note = u"",
                      int32_t state = 0x1000) {
    b.word(level).word((int32_t)name.size()).chars(name).word(5).word(state).word(priority);
    if (priority != -1)
        b.word(0x70003).field(category, kCategoryChars).word((int32_t)note.size()).chars(note);
    return b;
}

TEST(ReadNoteFile, Version100PlacesNodesByLevel) {
    Bytes file;
    file.word(100);
    node100(file, 0, u"Root title", -1, u"", u"", 0x2000);
    node100(file, 1, u"A", 0, u"Home", u"note a");
    node100(file, 2, u"A1", 9, u"", u"", 0x2000);
    node100(file, 2, u"A2", 1);
    node100(file, 1, u"B", -1); // a node without an item
    node100(file, 2, u"B1", 2, u"home");
    Doc doc;
    doc.options = {3, 2, 1, 0, 0};
    ASSERT_EQ(load(doc, file), 1);
    EXPECT_EQ(std::u16string(doc.list.title), u"Root title");
    EXPECT_EQ(doc.list.rootState, 0x2000u);
    EXPECT_EQ(doc.options.viewMode, 0);
    EXPECT_EQ(doc.options.ascending, 1);
    EXPECT_EQ(doc.options.arrangeKey, 2);
    auto items = doc.items();
    ASSERT_EQ(items.size(), 4u);
    // The root takes identifier 1, so the first item has 2; B took 5.
    EXPECT_EQ(items[0]->id, 2u);
    EXPECT_EQ(items[0]->parentId, 0u);
    EXPECT_EQ(items[0]->level, 1u);
    EXPECT_EQ(items[0]->colour, 3u); // low 16 bits
    EXPECT_EQ(items[0]->icon, 5u);
    EXPECT_EQ(std::u16string(items[0]->note), u"note a");
    EXPECT_EQ(items[1]->parentId, 2u);
    EXPECT_EQ(items[1]->checkState, 2u);
    EXPECT_EQ(items[1]->priority, 9u);
    EXPECT_EQ(items[2]->parentId, 2u);
    EXPECT_EQ(text(*items[3]), u"B1");
    EXPECT_EQ(items[3]->id, 6u);
    EXPECT_EQ(items[3]->parentId, 0u); // its parent carries no item
    EXPECT_EQ(items[3]->level, 2u);
    EXPECT_EQ(doc.list.nextId, 7); // one above the records read
    EXPECT_EQ(doc.categories.count, 1);
    EXPECT_EQ(items[0]->taskTimeUnit, 0);
    EXPECT_EQ(items[0]->dueDate.month, 0);
}

TEST(ReadNoteFile, Version100LevelRisingByTwoFailsAfterFiveRecords) {
    Bytes file;
    file.word(100);
    for (int level : {0, 1, 2, 2, 1, 3})
        node100(file, level, u"n", level == 0 ? -1 : 0);
    Doc doc;
    LoadReport report;
    EXPECT_EQ(load(doc, file, &report), 0);
    EXPECT_EQ(report.problem, kLoadLevelJump);
    EXPECT_EQ(doc.list.count, 4); // five records, the root carries no item
}

TEST(ReadNoteFile, Version100HostileLengthsAndLevels) {
    struct Case {
        Bytes file;
        LoadProblem problem;
    };
    Bytes negativeLevel, negativeName, hugeName, hugeNote;
    negativeLevel.word(100);
    node100(negativeLevel, 0, u"r", -1).word(-1);
    negativeName.word(100).word(0).word(-4);
    hugeName.word(100).word(0).word(0x40000000);
    hugeNote.word(100).word(1).word(1).chars(u"x").word(0).word(0).word(0).word(0);
    hugeNote.field(u"", kCategoryChars).word(1 << 30);
    Case cases[] = {{negativeLevel, kLoadBadLevel},
                    {negativeName, kLoadBadNameLength},
                    {hugeName, kLoadBadNameLength},
                    {hugeNote, kLoadBadNoteLength}};
    for (Case& c : cases) {
        Doc doc;
        LoadReport report;
        EXPECT_EQ(load(doc, c.file, &report), 0);
        EXPECT_EQ(report.problem, c.problem);
    }
}

TEST(ReadNoteFile, Version100LongNamesAreCut) {
    Bytes file;
    file.word(100);
    node100(file, 0, std::u16string(70, u'T'), -1);
    node100(file, 1, std::u16string(120, u'N'), 0);
    Doc doc;
    ASSERT_EQ(load(doc, file), 1);
    EXPECT_EQ(std::u16string(doc.list.title), std::u16string(63, u'T'));
    EXPECT_EQ(text(*doc.list.head), std::u16string(79, u'N'));
}
