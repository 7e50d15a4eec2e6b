#include "docsave.h"

#include "commands.h"
#include "keptcopy.h"
#include "notefile.h"
#include "program.h"
#include "resource.h"
#include "treefill.h"
#include "usernotice.h"

#include <stdio.h>

// The caption of the program's messages: its title, as the rest loads it.
static const WCHAR* messageCaption(WCHAR* caption, int captionChars) {
    if (!LoadStringW(gProgram.instance, IDS_APP_TITLE, caption, captionChars))
        lstrcpynW(caption, L"Twigmark", captionChars);
    return caption;
}

int saveDocument(HWND tree, const WCHAR* path) {
    HTREEITEM selected = TreeView_GetSelection(tree);
    HTREEITEM root = TreeView_GetRoot(tree);
    // A store that runs short of memory leaves the item's note as it was;
    // the rest of the document is still worth saving.
    int stored = selected && selected != root ? storeNotePane(gProgram.mainWindow, selected) : 1;
    (void)stored;
    if (root)
        refreshCheckStates(tree, root);
    return writeNoteFile(&gList, path, &gOptions);
}

static void showOriginalKept(const WCHAR* kept) {
    WCHAR format[128], text[kPathChars + kKeptNameExtra + 128];
    if (!LoadStringW(gProgram.instance, IDS_ORIGINAL_KEPT, format, 128))
        lstrcpynW(format, L"The note file could not be read whole. Its original is kept as\n%s",
                  128);
    _snwprintf(text, sizeof text / sizeof text[0], format, kept);
    text[sizeof text / sizeof text[0] - 1] = 0;
    WCHAR caption[32];
    MessageBoxW(gProgram.mainWindow, text, messageCaption(caption, 32), MB_OK | MB_ICONINFORMATION);
}

int saveKeepingDamaged(HWND tree, const WCHAR* path, int* damaged) {
    if (damaged && *damaged == kFileUnread) {
        if (!gProgram.documentChanged)
            return 1;
        *damaged = kFileDamaged;
    }
    WCHAR kept[kPathChars + kKeptNameExtra];
    KeepResult keep = kKeepNothing;
    if (damaged && *damaged) {
        keep = keepOriginal(path, kept, kPathChars + kKeptNameExtra);
        if (keep == kKeepFailed)
            return 0;
        *damaged = 0;
    }
    int saved = saveDocument(tree, path);
    if (keep == kKeepDone)
        showOriginalKept(kept);
    return saved;
}

int loadNoteFile(HWND owner, const WCHAR* path) {
    LoadReport report;
    if (readNoteFileEx(&gList, path, &gOptions, &gCategories, kOpenCreate, &report))
        return kFileWhole;
    showLoadError(owner);
    return report.problem == kLoadCannotOpen ? kFileUnread : kFileDamaged;
}

static void showStringMessage(HWND owner, UINT textId, const char* fallback) {
    WCHAR text[128];
    if (!LoadStringW(gProgram.instance, textId, text, 128))
        MultiByteToWideChar(CP_ACP, 0, fallback, -1, text, 128);
    WCHAR caption[32];
    MessageBoxW(owner, text, messageCaption(caption, 32), MB_OK | MB_ICONSTOP);
}

void showSaveError(HWND owner) {
    showStringMessage(owner, IDS_SAVE_FAILED, userNoticeText(kNoticeSaveFailed));
}

void showLoadError(HWND owner) {
    showStringMessage(owner, IDS_LOAD_FAILED, userNoticeText(kNoticeLoadFailed));
}

static void showNotice(UserNotice notice) {
    switch (notice) {
    case kNoticeStorageFull: {
        WCHAR text[128];
        MultiByteToWideChar(CP_ACP, 0, userNoticeText(notice), -1, text, 128);
        WCHAR caption[32];
        MessageBoxW(nullptr, text, messageCaption(caption, 32), MB_OK | MB_ICONSTOP);
        break;
    }
    case kNoticeSaveFailed:
        showSaveError(nullptr);
        break;
    case kNoticeLoadFailed:
        showLoadError(nullptr);
        break;
    }
}

void installUserNotices() {
    setUserNoticeHandler(showNotice);
}
