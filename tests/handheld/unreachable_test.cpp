// Files the program could not read, or knows under another name: a file
// that was never read is never written unless the user changed the document,
// "Save As" to the current file under another name keeps its original, and
// paths too long for a path are refused or saved whole.
#include "program_support.h"

#include "commands.h"
#include "fileio.h"
#include "notefile.h"
#include "program.h"
#include "resource.h"

#include <gtest/gtest.h>

static const std::vector<ItemSpec> kTwo = {
    {"First", 1, 0, 1, 1, 0, "", 0, 0, 0},
    {"Second", 2, 0, 1, 1, 0, "", 0, 0, 0},
};

static bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

static std::wstring keptName(const std::wstring& notes) {
    return notes.substr(0, notes.size() - 4) + L" (damaged).twk";
}

namespace {

struct UnreachableTest : ::testing::Test {
    void SetUp() override {
        folder = tempPath(L"twigmark-card");
        notes = folder + L"\\notes.twk";
        clearSettings();
        removeAll();
    }
    void TearDown() override {
        removeAll();
        clearSettings();
    }
    void removeAll() {
        DeleteFileW(notes.c_str());
        DeleteFileW(keptName(notes).c_str());
        RemoveDirectoryW(notes.c_str());
        RemoveDirectoryW(folder.c_str());
    }
    std::wstring folder, notes;
};

} // namespace

// How the current file is out of reach at start-up, and what is back by the
// close. Unchanged, the file is left as it is; changed, the damaged-file rule
// applies: the original is kept and the document written, where it can be.
TEST_F(UnreachableTest, AFileNeverReadIsWrittenOnlyAfterAChange) {
    enum How { kHeldOpen, kFolderMissing, kIsAFolder, kIsADevice };
    for (How how : {kHeldOpen, kFolderMissing, kIsAFolder, kIsADevice})
        for (int changed = 0; changed < 2; ++changed) {
            SCOPED_TRACE(testing::Message() << "how " << how << " changed " << changed);
            removeAll();
            if (how != kFolderMissing) {
                ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
            }
            if (how == kHeldOpen)
                writeDocument(notes, kTwo);
            if (how == kIsAFolder) {
                ASSERT_TRUE(CreateDirectoryW(notes.c_str(), nullptr));
            }
            std::vector<char> original = how == kHeldOpen ? fileBytes(notes) : std::vector<char>();
            HANDLE lock = how == kHeldOpen ? CreateFileW(notes.c_str(), GENERIC_READ, 0, nullptr,
                                                         OPEN_EXISTING, 0, nullptr)
                                           : INVALID_HANDLE_VALUE;
            // Endless: read, it would fill the memory.
            std::wstring device = L"Z:\\dev\\zero";
            Session session(how == kIsADevice ? device : notes);
            ASSERT_TRUE(session.started);
            EXPECT_EQ(gProgram.notePathDamaged, (int)kFileUnread);
            if (lock != INVALID_HANDLE_VALUE)
                CloseHandle(lock);
            if (how == kFolderMissing) {
                ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)); // the card is back
            }
            gProgram.documentChanged = changed;
            ASSERT_TRUE(session.close());
            ASSERT_GE(session.boxes.size(), 1u);
            EXPECT_EQ(session.boxes[0].text, L"Unable to load data!");
            if (!changed) {
                EXPECT_EQ(session.boxes.size(), 1u);
                if (how == kHeldOpen) {
                    EXPECT_EQ(fileBytes(notes), original);
                }
                if (how == kFolderMissing) {
                    EXPECT_FALSE(exists(notes));
                }
                EXPECT_FALSE(exists(keptName(notes)));
            } else if (how == kHeldOpen) {
                EXPECT_EQ(fileBytes(keptName(notes)), original);
                EXPECT_EQ(fileBytes(notes).size(), (size_t)kHeaderSize);
            } else if (how == kFolderMissing) {
                EXPECT_EQ(fileBytes(notes).size(), (size_t)kHeaderSize);
            } else if (how == kIsADevice) {
                ASSERT_EQ(session.boxes.size(), 2u); // a device is never written to
                EXPECT_EQ(session.boxes[1].text, L"Unable to save data!");
                EXPECT_FALSE(exists(keptName(device)));
            } else {
                ASSERT_EQ(session.boxes.size(), 2u); // a folder is never written over
                EXPECT_EQ(session.boxes[1].text, L"Unable to save data!");
                EXPECT_EQ(GetFileAttributesW(notes.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
                          (DWORD)FILE_ATTRIBUTE_DIRECTORY);
            }
        }
}

static std::wstring gSaveAsChoice;
static BOOL APIENTRY chooseSaveAs(OPENFILENAMEW* request) {
    lstrcpynW(request->lpstrFile, gSaveAsChoice.c_str(), (int)request->nMaxFile);
    return TRUE;
}

// "Save As" to the current file that did not load whole, chosen under
// another name of the same file: its original is kept all the same.
TEST_F(UnreachableTest, SaveAsToTheCurrentFileUnderAnotherNameKeepsItsOriginal) {
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    writeDocument(notes, kTwo);
    std::vector<char> damaged = fileBytes(notes);
    damaged.resize(damaged.size() - 10);
    ASSERT_TRUE(writeFileBytes(notes, damaged));
    std::wstring alias = folder + L"\\alias.twk";
    ASSERT_TRUE(CreateHardLinkW(alias.c_str(), notes.c_str(), nullptr));
    {
        Session session(notes);
        ASSERT_TRUE(session.started);
        EXPECT_EQ(gProgram.notePathDamaged, (int)kFileDamaged);
        gSaveAsChoice = alias;
        setFileDialogCalls(nullptr, chooseSaveAs);
        SendMessageW(gProgram.mainWindow, WM_COMMAND, IDM_SAVE_AS, 0);
        setFileDialogCalls(nullptr, nullptr);
        EXPECT_EQ(gProgram.notePathDamaged, (int)kFileWhole);
        ASSERT_TRUE(session.close());
    }
    EXPECT_EQ(fileBytes(keptName(alias)), damaged);
    DeleteFileW(keptName(alias).c_str());
    DeleteFileW(alias.c_str());
}

// A command line longer than a path is refused with a message; cut, it
// would name another file. The stored file and "DefFile" stay as they were.
TEST_F(UnreachableTest, ACommandLineLongerThanAPathIsRefused) {
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    writeDocument(notes, kTwo);
    std::vector<char> before = fileBytes(notes);
    setSettings(&notes, nullptr);
    std::wstring tooLong = folder + L"\\" + std::wstring(300 - folder.size(), L'x') + L".twk";
    for (const std::wstring& line : {tooLong, L"\"" + tooLong + L"\""}) {
        Session session(line);
        EXPECT_FALSE(session.started);
        ASSERT_EQ(session.boxes.size(), 1u);
        EXPECT_EQ(session.boxes[0].text,
                  L"The file name is longer than 259 characters. Twigmark opens no file by that "
                  L"name.");
    }
    EXPECT_EQ(readDefFile(), notes);
    EXPECT_EQ(fileBytes(notes), before);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    int entries = 0;
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        ++entries;
    FindClose(search);
    EXPECT_EQ(entries, 3); // ".", ".." and the notes: nothing was created
}

static FileHandle* (*gRealCreateNew)(const PathChar*);
// What a system without long paths does with a name of MAX_PATH or more.
static FileHandle* refuseLongNames(const PathChar* path) {
    if (lstrlenW(path) >= MAX_PATH && wcsncmp(path, L"\\\\?\\", 4) != 0) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return nullptr;
    }
    return gRealCreateNew(path);
}

// The longest note path (259 characters): the kept copy's name and the
// temporary name pass MAX_PATH. The save works, given in the long form; on a
// system that refuses such names it fails with the message and the file
// stays as it was.
TEST_F(UnreachableTest, TheLongestPathSavesOrFailsCleanly) {
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    std::wstring deep = folder;
    while (deep.size() < 200) {
        deep += L"\\" + std::wstring(40, L'd');
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr) ||
                    GetLastError() == ERROR_ALREADY_EXISTS);
    }
    std::wstring path = deep + L"\\" + std::wstring(259 - deep.size() - 5, L'n') + L".twk";
    ASSERT_EQ(path.size(), 259u);
    std::wstring kept = L"\\\\?\\" + keptName(path);
    for (int refused = 0; refused < 2; ++refused) {
        SCOPED_TRACE(refused ? "long names refused" : "long names taken");
        writeDocument(path, kTwo);
        std::vector<char> damaged = fileBytes(path);
        damaged.resize(damaged.size() - 10);
        ASSERT_TRUE(writeFileBytes(path, damaged));
        FileOps ops = *platformFileOps();
        gRealCreateNew = ops.createNew;
        if (refused)
            ops.createNew = refuseLongNames;
        Session session(path);
        ASSERT_TRUE(session.started);
        setFileOps(&ops);
        bool closed = session.close();
        setFileOps(nullptr);
        ASSERT_TRUE(closed);
        ASSERT_EQ(session.boxes.size(), 2u);
        if (refused) {
            EXPECT_EQ(session.boxes[1].text, L"Unable to save data!");
            EXPECT_EQ(fileBytes(path), damaged);
            EXPECT_FALSE(exists(kept));
        } else {
            EXPECT_EQ(fileBytes(path).size(), (size_t)kHeaderSize + kPersistentSize + 4);
            EXPECT_EQ(fileBytes(kept), damaged);
        }
        DeleteFileW(kept.c_str());
        DeleteFileW(path.c_str());
    }
    while (deep.size() > folder.size()) {
        RemoveDirectoryW(deep.c_str());
        deep = deep.substr(0, deep.rfind(L'\\'));
    }
}
