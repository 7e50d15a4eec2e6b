// The one way model code tells the user something. The Windows program
// installs a handler that shows the message box; tools print the text.
#pragma once

enum UserNotice {
    kNoticeStorageFull, // "Storage is full.  Please free up some memory and try agin."
    kNoticeSaveFailed,  // string 107 "Unable to save data!"
    kNoticeLoadFailed,  // string 108 "Unable to load data!"
};

typedef void (*UserNoticeHandler)(UserNotice notice);

void setUserNoticeHandler(UserNoticeHandler handler);
void tellUser(UserNotice notice);
const char* userNoticeText(UserNotice notice);
