#include "test_support.h"

#include "notefile.h"
#include "usernotice.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <string.h>
#include <unistd.h>

static std::vector<UserNotice> gNotices;
static void recordNotice(UserNotice notice) {
    gNotices.push_back(notice);
}

namespace {

// Wraps the real file operations; the chosen step fails.
struct Faults {
    long failWriteAt = -1; // 0-based write call
    bool failFlush = false;
    bool failReplace = false;
    int error = EIO;
    long writes = 0;
    uint32_t tick = 98765;
};

} // namespace

static Faults gFaults;
static int gLastError = 0;

static int faultyWrite(FileHandle* f, const void* d, size_t n) {
    if (gFaults.writes++ == gFaults.failWriteAt) {
        gLastError = gFaults.error;
        return 0;
    }
    return platformFileOps()->write(f, d, n);
}
static int faultyFlush(FileHandle* f) {
    if (gFaults.failFlush) {
        gLastError = gFaults.error;
        return 0;
    }
    return platformFileOps()->flush(f);
}
static int faultyReplace(const PathChar* a, const PathChar* b) {
    if (gFaults.failReplace) {
        gLastError = gFaults.error;
        return 0;
    }
    return platformFileOps()->replace(a, b);
}
static int faultyLastError() {
    return gLastError;
}
static uint32_t fixedTick() {
    return gFaults.tick;
}

namespace {

struct FaultyOps {
    FaultyOps() {
        gFaults = Faults();
        gNotices.clear();
        ops = *platformFileOps();
        ops.write = faultyWrite;
        ops.flush = faultyFlush;
        ops.replace = faultyReplace;
        ops.lastError = faultyLastError;
        ops.tickCount = fixedTick;
        setFileOps(&ops);
        setUserNoticeHandler(recordNotice);
    }
    ~FaultyOps() {
        setFileOps(nullptr);
        setUserNoticeHandler(nullptr);
    }
    FileOps ops;
};

} // namespace

static void fillDocument(Doc& doc, int items, size_t noteChars) {
    doc.options = {1, 4, 1, 0, 0};
    doc.list.rootState = kRootUnchecked;
    for (int i = 0; i < items; ++i) {
        NoteItem item = makeItem(u"item");
        std::u16string note(noteChars + (size_t)i, (char16_t)(u'a' + i % 26));
        item.note = copyNote(note.c_str(), note.size());
        appendNew(&doc.list, &item);
    }
}

TEST(WriteNoteFile, SizesOfAnEmptyDocumentAndOfRecords) {
    TempDir dir;
    std::string path = dir.path("notes.twk");
    Doc doc;
    doc.list.nextId = 9;
    doc.options = {2, 3, 1, 1, 1};
    ASSERT_EQ(writeNoteFile(&doc.list, path.c_str(), &doc.options), 1);
    std::vector<uint8_t> bytes = readBytes(path);
    ASSERT_EQ(bytes.size(), 156u);
    EXPECT_EQ(bytes[0], 210);
    EXPECT_EQ(bytes[4], 9);
    EXPECT_EQ(bytes[140], 2); // view mode
    EXPECT_EQ(bytes[144], 1); // hide checked
    EXPECT_EQ(bytes[148], 1); // ascending
    EXPECT_EQ(bytes[152], 3); // arrangement key last
    Doc back;
    ASSERT_EQ(readNoteFile(&back.list, path.c_str(), &back.options, &back.categories), 1);
    EXPECT_EQ(back.list.nextId, 9);
    EXPECT_EQ(std::u16string(back.list.title), u"Note Tree");
    EXPECT_EQ(back.options.arrangeKey, 3);

    NoteItem plain = makeItem(u"plain"), noted = makeItem(u"noted");
    noted.note = copyNote(u"abc", 3);
    appendNew(&doc.list, &plain);
    appendNew(&doc.list, &noted);
    ASSERT_EQ(writeNoteFile(&doc.list, path.c_str(), &doc.options), 1);
    EXPECT_EQ(readBytes(path).size(), 156u + 380u + 386u);
    EXPECT_EQ(dir.entries().size(), 1u); // the temporary file is gone
}

TEST(WriteNoteFile, RewritingAnyCurrentFileGivesIdenticalBytes) {
    TempDir dir;
    // Garbage after the terminators, a name that fills its field, odd values.
    NoteItem a = makeItem(u"a\0garbage");
    memcpy(a.name + 2, u"junk", 8);
    a.id = 77;
    a.taskTimeUnit = -1;
    a.dueDate = {2024, 2, 4, 29, 0, 0, 0, 0};
    NoteItem b = makeItem(u"");
    for (int i = 0; i < kNameChars; ++i)
        b.name[i] = (char16_t)(0xD800 + i); // lone surrogates, no terminator
    b.level = 3;
    b.parentId = 4000;
    Bytes file;
    file.header210(-5, 0xF000, u"T\0itle", 7, 9, -1, 12).record(a, u"x\U0001F600y").record(b, u"");
    writeBytes(dir.path("in.twk"), file.data);

    Doc doc;
    ASSERT_EQ(readNoteFile(&doc.list, dir.path("in.twk").c_str(), &doc.options, &doc.categories),
              1);
    ASSERT_EQ(writeNoteFile(&doc.list, dir.path("out.twk").c_str(), &doc.options), 1);
    EXPECT_EQ(readBytes(dir.path("out.twk")), file.data);
}

TEST(WriteNoteFile, TemporaryNameTakesThreeTickDigitsInTheTargetFolder) {
    PathChar out[64];
    ASSERT_EQ(makeTempFileName("notes.twk", 98765, out, 64), 1);
    EXPECT_STREQ(out, "./twg987.tmp");
    ASSERT_EQ(makeTempFileName("/data/x/notes.twk", 42, out, 64), 1);
    EXPECT_STREQ(out, "/data/x/twg42.tmp");
    ASSERT_EQ(makeTempFileName("/n.twk", 0, out, 64), 1);
    EXPECT_STREQ(out, "/twg0.tmp");
    EXPECT_EQ(makeTempFileName("/data/x/notes.twk", 42, out, 12), 0);
}

TEST(WriteNoteFile, ATargetNamedLikeTheTemporaryFileSurvives) {
    TempDir dir;
    std::string target = dir.path("twg987.tmp");
    FaultyOps faulty; // tick 98765 gives exactly that name
    Doc doc;
    fillDocument(doc, 3, 10);
    ASSERT_EQ(writeNoteFile(&doc.list, target.c_str(), &doc.options), 1);
    Doc back;
    ASSERT_EQ(readNoteFile(&back.list, target.c_str(), &back.options, &back.categories), 1);
    EXPECT_EQ(back.list.count, 3);
    EXPECT_EQ(dir.entries().size(), 1u);
}

TEST(WriteNoteFile, EveryFailingStepLeavesTheTargetAsItWas) {
    TempDir dir;
    std::string target = dir.path("notes.twk");
    std::vector<uint8_t> before = {1, 2, 3, 4, 5};
    Doc doc;
    fillDocument(doc, 40, 3000); // notes large enough for several buffered writes

    long writes;
    {
        FaultyOps faulty;
        ASSERT_EQ(writeNoteFile(&doc.list, dir.path("count.twk").c_str(), &doc.options), 1);
        writes = gFaults.writes;
        unlink(dir.path("count.twk").c_str());
    }
    ASSERT_GE(writes, 3);
    for (long step = 0; step < writes + 2; ++step) {
        writeBytes(target, before);
        FaultyOps faulty;
        if (step < writes)
            gFaults.failWriteAt = step;
        else if (step == writes)
            gFaults.failFlush = true;
        else
            gFaults.failReplace = true;
        EXPECT_EQ(writeNoteFile(&doc.list, target.c_str(), &doc.options), 0) << step;
        EXPECT_EQ(readBytes(target), before) << step;
        EXPECT_EQ(dir.entries().size(), 1u) << step; // no temporary file left
        EXPECT_TRUE(gNotices.empty()) << step;       // only a full disk is told
    }
}

TEST(WriteNoteFile, FullStorageIsToldOnceAndTheSaveFails) {
    TempDir dir;
    std::string target = dir.path("notes.twk");
    writeBytes(target, {9, 9});
    Doc doc;
    fillDocument(doc, 2, 5);
    FaultyOps faulty;
    gFaults.failWriteAt = 0;
    gFaults.error = ENOSPC;
    EXPECT_EQ(writeNoteFile(&doc.list, target.c_str(), &doc.options), 0);
    ASSERT_EQ(gNotices.size(), 1u);
    EXPECT_EQ(gNotices[0], kNoticeStorageFull);
    EXPECT_STREQ(userNoticeText(kNoticeStorageFull),
                 "Storage is full.  Please free up some memory and try agin.");
    EXPECT_EQ(readBytes(target), (std::vector<uint8_t>{9, 9}));
}

TEST(WriteNoteFile, UncreatableTemporaryFileFailsQuietly) {
    Doc doc;
    gNotices.clear();
    setUserNoticeHandler(recordNotice);
    EXPECT_EQ(writeNoteFile(&doc.list, "/nonexistent-folder/x/notes.twk", &doc.options), 0);
    setUserNoticeHandler(nullptr);
    EXPECT_TRUE(gNotices.empty());
}

TEST(ReadNoteFileOnDisk, MissingFileIsCreatedEmptyUnlessAskedNotTo) {
    TempDir dir;
    std::string path = dir.path("new.twk");
    Doc doc;
    LoadReport report;
    EXPECT_EQ(readNoteFileEx(&doc.list, path.c_str(), &doc.options, &doc.categories, 0, &report),
              0);
    EXPECT_EQ(report.problem, kLoadCannotOpen);
    EXPECT_TRUE(dir.entries().empty());
    EXPECT_EQ(readNoteFile(&doc.list, path.c_str(), &doc.options, &doc.categories), 1);
    EXPECT_EQ(readBytes(path).size(), 0u);
}
