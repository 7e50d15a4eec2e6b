// The one way model code tells the user something. The Windows program
// installs a handler that shows the message box; tools print the text.
#pragma once

enum UserNotice {
    kNoticeStorageFull, // "Storage is full.  Please free up some memory and try agin."
    kNoticeSaveFailed,  // IDS_SAVE_FAILED "Unable to save data!"
    kNoticeLoadFailed,  // IDS_LOAD_FAILED "Unable to load data!"
};

typedef void (*UserNoticeHandler)(UserNotice notice);

void setUserNoticeHandler(UserNoticeHandler handler);
void tellUser(UserNotice notice);
const char* userNoticeText(UserNotice notice);
