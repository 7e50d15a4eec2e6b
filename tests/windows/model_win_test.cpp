#include "file_bytes.h"
#include "notefile.h"
#include "notemodel.h"
#include "usernotice.h"
#include "widetext.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>

namespace {

struct Document {
    Document() {
        memset(&list, 0, sizeof list);
        initList(&list);
        setTitle(&list, kDefaultTitle);
    }
    ~Document() {
        clearList(&list);
        clearCategories(&categories);
    }
    NoteList list;
    ViewOptions options = {0, 0, 0, 0, 0};
    CategoryList categories = {};
};

} // namespace

static void addItem(Document& doc, const char16_t* name, const char16_t* category,
                    const char16_t* note) {
    NoteItem item;
    memset(&item, 0, sizeof item);
    copyWideField(item.name, kNameChars, name, SIZE_MAX);
    copyWideField(item.category, kCategoryChars, category, SIZE_MAX);
    item.level = 1;
    item.checkState = kUnchecked;
    item.note = note ? copyNote(note, wideLength(note, SIZE_MAX)) : nullptr;
    appendNew(&doc.list, &item);
}

static std::vector<UserNotice> gNotices;
static void recordNotice(UserNotice notice) {
    gNotices.push_back(notice);
}
static long gFailWrite = -1;
static long gWrites = 0;
static int diskFullWrite(FileHandle* f, const void* d, size_t n) {
    if (gWrites++ == gFailWrite) {
        SetLastError(ERROR_DISK_FULL);
        return 0;
    }
    return platformFileOps()->write(f, d, n);
}

TEST(WindowsNoteFile, SavesThroughATemporaryFileBesideTheTargetAndLoadsBack) {
    TempFolder folder;
    std::wstring target = folder.file(L"Notes with blanks \u00e9.twk");
    Document doc;
    doc.options = {2, 4, 1, 0, 1};
    addItem(doc, u"First", u"Work", u"A note\r\nwith two lines");
    addItem(doc, u"Second", u"work", nullptr);
    ASSERT_EQ(writeNoteFile(&doc.list, target.c_str(), &doc.options), 1);
    EXPECT_EQ(folder.entries().size(), 1u);
    EXPECT_EQ(fileBytes(target).size(), 156u + 380u + 2 * 22u + 380u);

    Document back;
    ASSERT_EQ(readNoteFile(&back.list, target.c_str(), &back.options, &back.categories), 1);
    EXPECT_EQ(back.list.count, 2);
    EXPECT_EQ(back.options.arrangeKey, 4);
    EXPECT_EQ(back.categories.count, 1); // "work" is "Work" in the user's locale
    EXPECT_EQ(std::u16string(back.list.head->note), u"A note\r\nwith two lines");

    // Saving again replaces the file in place.
    addItem(doc, u"Third", u"", nullptr);
    ASSERT_EQ(writeNoteFile(&doc.list, target.c_str(), &doc.options), 1);
    EXPECT_EQ(fileBytes(target).size(), 156u + 380u + 44u + 380u + 380u);
    EXPECT_EQ(folder.entries().size(), 1u);
}

TEST(WindowsNoteFile, FullDiskIsToldAndTheOldFileStays) {
    TempFolder folder;
    std::wstring target = folder.file(L"notes.twk");
    Document doc;
    addItem(doc, u"Only", u"", u"text");
    ASSERT_EQ(writeNoteFile(&doc.list, target.c_str(), &doc.options), 1);
    std::vector<char> before = fileBytes(target);

    FileOps ops = *platformFileOps();
    ops.write = diskFullWrite;
    setFileOps(&ops);
    setUserNoticeHandler(recordNotice);
    gWrites = 0;
    gFailWrite = 0;
    addItem(doc, u"More", u"", nullptr);
    int saved = writeNoteFile(&doc.list, target.c_str(), &doc.options);
    setFileOps(nullptr);
    setUserNoticeHandler(nullptr);
    EXPECT_EQ(saved, 0);
    ASSERT_EQ(gNotices.size(), 1u);
    EXPECT_EQ(gNotices[0], kNoticeStorageFull);
    EXPECT_EQ(fileBytes(target), before);
    EXPECT_EQ(folder.entries().size(), 1u);
}

TEST(WindowsNoteFile, TemporaryNameRule) {
    wchar_t out[64];
    ASSERT_EQ(makeTempFileName(L"notes.twk", 98765, out, 64), 1);
    EXPECT_STREQ(out, L".\\twg987.tmp");
    ASSERT_EQ(makeTempFileName(L"C:\\My Documents\\n.twk", 42, out, 64), 1);
    EXPECT_STREQ(out, L"C:\\My Documents\\twg42.tmp");
    ASSERT_EQ(makeTempFileName(L"D:n.twk", 1234, out, 64), 1);
    EXPECT_STREQ(out, L"D:twg123.tmp");
}

TEST(WindowsNoteFile, MissingFileIsCreatedEmptyAndLoadsAsEmpty) {
    TempFolder folder;
    std::wstring path = folder.file(L"Note Tree.twk");
    Document doc;
    doc.options = {1, 2, 1, 0, 0};
    ASSERT_EQ(readNoteFile(&doc.list, path.c_str(), &doc.options, &doc.categories), 1);
    EXPECT_EQ(GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES, true);
    EXPECT_EQ(doc.options.viewMode, 1);
    EXPECT_EQ(doc.list.count, 0);
}

TEST(WindowsText, CaseInsensitiveNamesInTheUserLocale) {
    EXPECT_TRUE(sameTextIgnoreCase(u"\u00c9cole", 5, u"\u00e9COLE", 5));
    EXPECT_FALSE(sameTextIgnoreCase(u"Work", 4, u"Work ", 5));
    EXPECT_TRUE(sameTextIgnoreCase(u"", 0, u"", 0));
}
