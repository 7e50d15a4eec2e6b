#include "test_support.h"

#include "keptcopy.h"
#include "usernotice.h"

#include <algorithm>
#include <errno.h>
#include <gtest/gtest.h>

static std::vector<UserNotice> gTold;
static void recordNotice(UserNotice notice) {
    gTold.push_back(notice);
}

static int gCreateError = 0; // errno that createNew fails with; 0: it works
static FileHandle* failingCreateNew(const PathChar* path) {
    if (!gCreateError)
        return platformFileOps()->createNew(path);
    errno = gCreateError;
    return nullptr;
}

static long gWritesLeft = -1; // writes that succeed before one fails with ENOSPC
static int failingWrite(FileHandle* file, const void* data, size_t bytes) {
    if (gWritesLeft == 0) {
        errno = ENOSPC;
        return 0;
    }
    if (gWritesLeft > 0)
        --gWritesLeft;
    return platformFileOps()->write(file, data, bytes);
}

namespace {

struct FailingCopies {
    FailingCopies() {
        ops = *platformFileOps();
        ops.createNew = failingCreateNew;
        ops.write = failingWrite;
        setFileOps(&ops);
        setUserNoticeHandler(recordNotice);
        gTold.clear();
    }
    ~FailingCopies() {
        setFileOps(nullptr);
        setUserNoticeHandler(nullptr);
        gCreateError = 0;
        gWritesLeft = -1;
    }
    FileOps ops;
};

} // namespace

static std::string keptName(const char* path, int n) {
    char out[64];
    if (!makeKeptName(path, n, out, sizeof out))
        return "(too long)";
    return out;
}

TEST(KeptCopy, NamesGoBeforeTheExtensionOfTheFileName) {
    EXPECT_EQ(keptName("/d/Note Tree.twk", 1), "/d/Note Tree (damaged).twk");
    EXPECT_EQ(keptName("/d/Note Tree.twk", 2), "/d/Note Tree (damaged 2).twk");
    EXPECT_EQ(keptName("/d.x/notes", 1), "/d.x/notes (damaged)");
    EXPECT_EQ(keptName("a.b.twk", 999), "a.b (damaged 999).twk");
    EXPECT_EQ(keptName("/d/.twk", 1), "/d/.twk (damaged)");
    char small[20];
    EXPECT_EQ(makeKeptName("/d/Note Tree.twk", 1, small, sizeof small), 0);
}

TEST(KeptCopy, CopiesByteForByteAndStepsOverTakenNames) {
    TempDir dir;
    std::vector<uint8_t> original(200000);
    for (size_t i = 0; i < original.size(); ++i)
        original[i] = (uint8_t)(i * 7 + i / 251);
    std::string notes = dir.path("Note Tree.twk");
    writeBytes(notes, original);
    writeBytes(dir.path("Note Tree (damaged).twk"), {1, 2, 3});

    char kept[256];
    ASSERT_EQ(keepOriginal(notes.c_str(), kept, sizeof kept), kKeepDone);
    EXPECT_EQ(std::string(kept), dir.path("Note Tree (damaged 2).twk"));
    EXPECT_EQ(readBytes(kept), original);
    EXPECT_EQ(readBytes(dir.path("Note Tree (damaged).twk")), std::vector<uint8_t>({1, 2, 3}));
    EXPECT_EQ(readBytes(notes), original);

    ASSERT_EQ(keepOriginal(notes.c_str(), kept, sizeof kept), kKeepDone);
    EXPECT_EQ(std::string(kept), dir.path("Note Tree (damaged 3).twk"));

    // No file, nothing to keep; an empty file is kept like any other.
    EXPECT_EQ(keepOriginal(dir.path("missing.twk").c_str(), kept, sizeof kept), kKeepNothing);
    writeBytes(dir.path("empty.twk"), {});
    ASSERT_EQ(keepOriginal(dir.path("empty.twk").c_str(), kept, sizeof kept), kKeepDone);
    EXPECT_TRUE(readBytes(kept).empty());
}

TEST(KeptCopy, ACopyThatCannotBeMadeLeavesNothingBehind) {
    TempDir dir;
    std::string notes = dir.path("n.twk");
    std::vector<uint8_t> original(150000, 0x5A);
    writeBytes(notes, original);
    char kept[256];
    {
        FailingCopies failing;
        gCreateError = EACCES; // no rights in the folder
        EXPECT_EQ(keepOriginal(notes.c_str(), kept, sizeof kept), kKeepFailed);
        EXPECT_TRUE(gTold.empty());
    }
    {
        FailingCopies failing;
        gWritesLeft = 1; // the disk fills during the copy
        EXPECT_EQ(keepOriginal(notes.c_str(), kept, sizeof kept), kKeepFailed);
        EXPECT_EQ(gTold, std::vector<UserNotice>({kNoticeStorageFull}));
    }
    {
        // A path too long for the caller's buffer once named.
        char tight[16];
        EXPECT_EQ(keepOriginal(notes.c_str(), tight, sizeof tight), kKeepFailed);
    }
    EXPECT_EQ(dir.entries(), std::vector<std::string>({"n.twk"}));
    EXPECT_EQ(readBytes(notes), original);
}

TEST(KeptCopy, AllNamesTakenFails) {
    TempDir dir;
    std::string notes = dir.path("n.twk");
    writeBytes(notes, {9});
    for (int n = 1; n <= kMaxKeptCopies; ++n)
        writeBytes(keptName(notes.c_str(), n).c_str(), {});
    char kept[256];
    EXPECT_EQ(keepOriginal(notes.c_str(), kept, sizeof kept), kKeepFailed);
    EXPECT_EQ(dir.entries().size(), (size_t)kMaxKeptCopies + 1);
}
