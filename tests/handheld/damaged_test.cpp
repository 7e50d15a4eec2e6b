// A note file that did not load whole is never destroyed: before the save at
// close replaces it, its bytes are kept beside it, and the user is told
// where.
#include "program_support.h"

#include "docsave.h"
#include "fileio.h"
#include "notefile.h"
#include "notemodel.h"
#include "program.h"

#include <gtest/gtest.h>

namespace {

struct DamagedFileTest : ::testing::Test {
    void SetUp() override {
        notes = tempPath(L"twigmark-damaged.twk");
        removeAll();
        clearSettings();
    }
    void TearDown() override { removeAll(); }
    std::wstring kept(int n) const {
        std::wstring base = notes.substr(0, notes.size() - 4);
        return base + (n == 1 ? L" (damaged)" : L" (damaged " + std::to_wstring(n) + L")") +
               L".twk";
    }
    void removeAll() const {
        DeleteFileW(notes.c_str());
        for (int n = 1; n <= 3; ++n)
            DeleteFileW(kept(n).c_str());
    }
    std::wstring keptMessage(int n) const {
        return L"The note file could not be read whole. Its original is kept as\n" + kept(n);
    }
    std::wstring notes;
};

} // namespace

static const std::vector<ItemSpec> kThree = {
    {"First", 1, 0, 1, 1, 0, "", 0, 0, 0},
    {"Second", 2, 0, 1, 1, 0, "", 0, 0, 0},
    {"Third", 3, 0, 1, 1, 0, "", 0, 0, 0},
};

// Three whole records, the second with a note length of -1: 1,296 bytes.
static std::vector<char> badNoteLength(const std::wstring& path) {
    writeDocument(path, kThree);
    std::vector<char> bytes = fileBytes(path);
    size_t length = kHeaderSize + (kPersistentSize + 4) + kPersistentSize;
    for (size_t i = 0; i < 4; ++i)
        bytes[length + i] = (char)0xFF;
    return bytes;
}

static std::vector<char> version100LevelJump() {
    std::vector<char> bytes;
    auto word = [&bytes](int32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back((char)((uint32_t)v >> (8 * i)));
    };
    auto node = [&](int32_t level, char name, int32_t priority) {
        word(level);
        word(1);
        bytes.push_back(name);
        bytes.push_back(0);
        word(4);
        word(0x1000);
        word(priority);
        if (priority == -1)
            return;
        word(0);
        bytes.insert(bytes.end(), 128, 0);
        word(0);
    };
    word(100);
    node(0, 'R', -1);
    node(1, 'A', 0);
    node(3, 'C', 0); // two levels down at once
    return bytes;
}

// Loads a file the way a tool would, for what the program saved.
static int itemsIn(const std::wstring& path, int* result) {
    NoteList list;
    memset(&list, 0, sizeof list);
    initList(&list);
    ViewOptions options = {};
    CategoryList categories = {};
    *result = readNoteFileEx(&list, path.c_str(), &options, &categories, 0, nullptr);
    int count = list.count;
    clearList(&list);
    clearCategories(&categories);
    return count;
}

static long failingRead(FileHandle*, void*, size_t) {
    SetLastError(ERROR_CRC);
    return -1;
}

static void* noReadBuffer(size_t bytes) {
    return bytes == 64 * 1024 ? nullptr : calloc(1, bytes ? bytes : 1);
}

namespace {

// One way a load fails, how to bring it about at start-up, and what the
// saved file then holds. (A file that could not be opened at all is no
// damaged file: unreachable_test.cpp.)
struct Failure {
    const char* name;
    std::vector<char> original;
    enum { kPlain, kReadError, kOutOfMemory } how;
    size_t savedBytes; // what was loaded, written as the current layout
    int savedItems;
};

} // namespace

TEST_F(DamagedFileTest, EveryKindOfLoadFailureKeepsTheOriginalAtClose) {
    std::vector<char> badLength = badNoteLength(notes);
    ASSERT_EQ(badLength.size(), 1296u);
    // A whole first record, then one cut inside its fixed part.
    std::vector<char> cutRecord(badLength.begin(), badLength.begin() + 156 + 380 + 100);
    std::string text = "Shopping list: bread, milk, eggs and butter.\n";
    writeDocument(notes, kThree);
    std::vector<char> whole = fileBytes(notes);
    const size_t oneItem = kHeaderSize + kPersistentSize + 4;
    Failure failures[] = {
        {"note length -1", badLength, Failure::kPlain, oneItem, 1},
        {"record cut short", cutRecord, Failure::kPlain, oneItem, 1},
        {"header cut short", std::vector<char>(text.begin(), text.end()), Failure::kPlain,
         kHeaderSize, 0},
        {"version-100 level jump", version100LevelJump(), Failure::kPlain, oneItem, 1},
        {"read error", whole, Failure::kReadError, kHeaderSize, 0},
        {"out of memory", whole, Failure::kOutOfMemory, kHeaderSize, 0},
    };
    for (const Failure& failure : failures) {
        SCOPED_TRACE(failure.name);
        removeAll();
        ASSERT_TRUE(writeFileBytes(notes, failure.original));
        FileOps broken = *platformFileOps();
        broken.read = failingRead;
        ModelAllocator shortOfMemory = {noReadBuffer, free};
        if (failure.how == Failure::kReadError)
            setFileOps(&broken);
        if (failure.how == Failure::kOutOfMemory)
            setModelAllocator(&shortOfMemory);
        {
            Session session(notes);
            setFileOps(nullptr);
            setModelAllocator(nullptr);
            ASSERT_TRUE(session.started);
            EXPECT_EQ(gProgram.notePathDamaged, 1);
            ASSERT_TRUE(session.close());
            ASSERT_EQ(session.boxes.size(), 2u);
            EXPECT_EQ(session.boxes[0].text, L"Unable to load data!");
            EXPECT_EQ(session.boxes[1].text, keptMessage(1));
            EXPECT_EQ(session.boxes[1].caption, L"Twigmark");
        }
        EXPECT_EQ(fileBytes(kept(1)), failure.original);
        std::vector<char> saved = fileBytes(notes);
        EXPECT_EQ(saved.size(), failure.savedBytes);
        int loaded = 0;
        EXPECT_EQ(itemsIn(notes, &loaded), failure.savedItems);
        EXPECT_EQ(loaded, 1);
        if (failure.savedItems == 1 && failure.original[0] == (char)210) {
            EXPECT_EQ(saved, std::vector<char>(failure.original.begin(),
                                               failure.original.begin() + oneItem));
        }
        EXPECT_EQ(GetFileAttributesW(kept(2).c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

TEST_F(DamagedFileTest, ATakenNameIsSteppedOverAndTheUserIsToldOnce) {
    std::vector<char> original = badNoteLength(notes);
    ASSERT_TRUE(writeFileBytes(notes, original));
    std::vector<char> someoneElses = {'m', 'i', 'n', 'e'};
    ASSERT_TRUE(writeFileBytes(kept(1), someoneElses));
    Session session(notes);
    ASSERT_TRUE(session.started);
    // A save before the close keeps the original; later saves need no copy.
    EXPECT_EQ(saveKeepingDamaged(gProgram.treeView, gProgram.notePath, &gProgram.notePathDamaged),
              1);
    EXPECT_EQ(gProgram.notePathDamaged, 0);
    ASSERT_TRUE(session.close());
    ASSERT_EQ(session.boxes.size(), 2u);
    EXPECT_EQ(session.boxes[1].text, keptMessage(2));
    EXPECT_EQ(fileBytes(kept(1)), someoneElses);
    EXPECT_EQ(fileBytes(kept(2)), original);
    EXPECT_EQ(GetFileAttributesW(kept(3).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(fileBytes(notes).size(), kHeaderSize + kPersistentSize + 4);
}

static FileHandle* noNewFiles(const PathChar*) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
}

TEST_F(DamagedFileTest, WhenTheOriginalCannotBeKeptNothingIsReplaced) {
    std::vector<char> original = badNoteLength(notes);
    ASSERT_TRUE(writeFileBytes(notes, original));
    Session session(notes);
    ASSERT_TRUE(session.started);
    FileOps noRights = *platformFileOps();
    noRights.createNew = noNewFiles;
    setFileOps(&noRights);
    bool closed = session.close();
    setFileOps(nullptr);
    ASSERT_TRUE(closed);
    ASSERT_EQ(session.boxes.size(), 2u);
    EXPECT_EQ(session.boxes[1].text, L"Unable to save data!");
    EXPECT_EQ(fileBytes(notes), original);
    EXPECT_EQ(GetFileAttributesW(kept(1).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(DamagedFileTest, MissingAndEmptyFilesAreNoDamage) {
    {
        Session session(notes); // missing: created empty
        ASSERT_TRUE(session.started);
        EXPECT_EQ(gProgram.notePathDamaged, 0);
        ASSERT_TRUE(session.close());
        EXPECT_TRUE(session.boxes.empty());
    }
    ASSERT_TRUE(writeFileBytes(notes, {}));
    {
        Session session(notes);
        EXPECT_EQ(gProgram.notePathDamaged, 0);
        ASSERT_TRUE(session.close());
        EXPECT_TRUE(session.boxes.empty());
    }
    EXPECT_EQ(fileBytes(notes).size(), (size_t)kHeaderSize);
    EXPECT_EQ(GetFileAttributesW(kept(1).c_str()), INVALID_FILE_ATTRIBUTES);
}
