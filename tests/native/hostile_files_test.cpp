// What other files, links and odd inputs can do to a save or a load: the
// temporary file, the same file under another name, and inputs that are no
// regular file or hide a zero.
#include "test_support.h"

#include "notefile.h"

#include <gtest/gtest.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static uint32_t tick98765() {
    return 98765; // the temporary name is twg987.tmp
}

namespace {

struct FixedTick {
    FixedTick() {
        ops = *platformFileOps();
        ops.tickCount = tick98765;
        setFileOps(&ops);
    }
    ~FixedTick() { setFileOps(nullptr); }
    FileOps ops;
};

} // namespace

static std::string linkTarget(const std::string& path) {
    char buffer[512];
    ssize_t n = readlink(path.c_str(), buffer, sizeof buffer);
    return n < 0 ? std::string() : std::string(buffer, (size_t)n);
}

static int saveThreeItems(const std::string& target) {
    Doc doc;
    for (int i = 0; i < 3; ++i) {
        NoteItem item = makeItem(u"item");
        appendNew(&doc.list, &item);
    }
    return writeNoteFile(&doc.list, target.c_str(), &doc.options);
}

static int loadedItems(const std::string& path) {
    Doc back;
    if (!readNoteFile(&back.list, path.c_str(), &back.options, &back.categories))
        return -1;
    return back.list.count;
}

// Whatever has the temporary file's name beside the target, the save passes
// it over: it opens, follows, truncates or deletes none of them.
TEST(TemporaryFile, ANameTakenByAnyFileOrLinkIsNeverTouched) {
    enum Occupant { kOrdinaryFile, kLinkToAnotherFile, kDanglingLink, kFolder };
    for (Occupant occupant : {kOrdinaryFile, kLinkToAnotherFile, kDanglingLink, kFolder}) {
        TempDir dir;
        std::string taken = dir.path("twg987.tmp"), elsewhere = dir.path("elsewhere.txt");
        writeBytes(elsewhere, {7, 7, 7});
        if (occupant == kOrdinaryFile)
            writeBytes(taken, {1, 2, 3});
        else if (occupant == kLinkToAnotherFile)
            ASSERT_EQ(symlink(elsewhere.c_str(), taken.c_str()), 0);
        else if (occupant == kDanglingLink)
            ASSERT_EQ(symlink(dir.path("nothing").c_str(), taken.c_str()), 0);
        else
            ASSERT_EQ(mkdir(taken.c_str(), 0700), 0);
        FixedTick fixed;
        ASSERT_EQ(saveThreeItems(dir.path("notes.twk")), 1) << occupant;
        EXPECT_EQ(loadedItems(dir.path("notes.twk")), 3) << occupant;
        EXPECT_EQ(readBytes(elsewhere), (std::vector<uint8_t>{7, 7, 7})) << occupant;
        if (occupant == kOrdinaryFile)
            EXPECT_EQ(readBytes(taken), (std::vector<uint8_t>{1, 2, 3}));
        if (occupant == kLinkToAnotherFile || occupant == kDanglingLink)
            EXPECT_NE(linkTarget(taken), "") << occupant;
        EXPECT_EQ(dir.entries().size(), 3u) << occupant; // no temporary file left
    }
}

TEST(TemporaryFile, WhenEveryNameIsTakenTheSaveFailsAndTouchesNothing) {
    TempDir dir;
    std::string target = dir.path("notes.twk");
    writeBytes(target, {5});
    for (int n = 0; n < 1000; ++n)
        writeBytes(dir.path(("twg" + std::to_string(n) + ".tmp").c_str()), {(uint8_t)n});
    FixedTick fixed;
    EXPECT_EQ(saveThreeItems(target), 0);
    EXPECT_EQ(readBytes(target), (std::vector<uint8_t>{5}));
    EXPECT_EQ(dir.entries().size(), 1001u);
    for (int n = 0; n < 1000; n += 37)
        EXPECT_EQ(readBytes(dir.path(("twg" + std::to_string(n) + ".tmp").c_str())),
                  (std::vector<uint8_t>{(uint8_t)n}));
}

// One file on disk under two names is one file; two files are two, however
// alike their names. Spellings count only for a file not there yet.
TEST(SameFile, IdentityDecidesAndSpellingOnlyForMissingFiles) {
    TempDir dir;
    writeBytes(dir.path("d.twk"), {1});
    writeBytes(dir.path("other.twk"), {1});
    ASSERT_EQ(link(dir.path("d.twk").c_str(), dir.path("hard.twk").c_str()), 0);
    ASSERT_EQ(symlink(dir.path("d.twk").c_str(), dir.path("soft.twk").c_str()), 0);
    ASSERT_EQ(symlink(dir.root.c_str(), dir.path("alias").c_str()), 0);
    mkdir(dir.path("sub").c_str(), 0700);
    struct Case {
        std::string a, b;
        int same;
    } cases[] = {
        {dir.path("d.twk"), dir.path("d.twk"), 1},
        {dir.path("d.twk"), dir.path("hard.twk"), 1},
        {dir.path("d.twk"), dir.path("soft.twk"), 1},
        {dir.path("d.twk"), dir.path("alias/d.twk"), 1},
        {dir.path("d.twk"), dir.path("sub/../d.twk"), 1},
        {dir.path("d.twk"), dir.path("other.twk"), 0},
        {dir.path("d.twk"), dir.path("new.twk"), 0},
        {dir.path("new.twk"), dir.path("new.twk"), 1},
        {dir.path("new.twk"), dir.path("New.twk"), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sameFile(c.a.c_str(), c.b.c_str()), c.same) << c.a << " / " << c.b;
}

// A note that hides a zero inside its stored length cannot be saved as it
// was read: the load says so, so its original is kept before a save.
TEST(BadInput, ANoteWithAZeroInsideDidNotLoadWhole) {
    NoteItem item = makeItem(u"a");
    Bytes file;
    file.header210(2, kRootUnchecked, u"T", 0, 0, 1, 0)
        .record(item, std::u16string(u"abc\0def", 7));
    Doc doc;
    LoadReport report;
    EXPECT_EQ(readNoteBytes(&doc.list, file.data.data(), file.data.size(), &doc.options,
                            &doc.categories, &report),
              0);
    EXPECT_EQ(report.problem, kLoadZeroInNote);
    EXPECT_EQ(report.offset, 156 + 376);
    ASSERT_EQ(doc.list.count, 1);
    EXPECT_EQ(std::u16string((const char16_t*)doc.list.head->note), u"abc");
}

// Only a regular file is opened: a device may never end and a folder is no
// note file. A pipe is read only when asked for, and then whole, with lengths
// checked against what arrives rather than a size of 0.
TEST(BadInput, DevicesAndFoldersAreRefusedAndPipesReadWhole) {
    TempDir dir;
    for (const char* path : {"/dev/zero", "/dev/null", dir.root.c_str()}) {
        Doc doc;
        LoadReport report;
        EXPECT_EQ(readNoteFileEx(&doc.list, path, &doc.options, &doc.categories,
                                 kOpenCreate | kOpenStreams, &report),
                  0)
            << path;
        EXPECT_EQ(report.problem, kLoadCannotOpen) << path;
    }
    NoteItem item = makeItem(u"piped");
    Bytes file;
    file.header210(2, kRootUnchecked, u"T", 0, 0, 1, 0).record(item, std::u16string(40000, u'n'));
    {
        Pipe pipe(dir.path("fifo"), file.data);
        Doc doc;
        LoadReport report;
        EXPECT_EQ(readNoteFileEx(&doc.list, pipe.path.c_str(), &doc.options, &doc.categories,
                                 kOpenStreams, &report),
                  1)
            << report.problem;
        EXPECT_EQ(doc.list.count, 1);
    }
    // A length past the end of a pipe is damage, found without allocating it.
    Bytes lying;
    lying.header210(2, kRootUnchecked, u"T", 0, 0, 1, 0)
        .raw(&item, kPersistentSize)
        .word(0x7FFFFFFF);
    unlink(dir.path("fifo").c_str());
    Pipe pipe(dir.path("fifo"), lying.data);
    Doc doc;
    LoadReport report;
    EXPECT_EQ(readNoteFileEx(&doc.list, pipe.path.c_str(), &doc.options, &doc.categories,
                             kOpenStreams, &report),
              0);
    EXPECT_EQ(report.problem, kLoadBadNoteLength);
}
