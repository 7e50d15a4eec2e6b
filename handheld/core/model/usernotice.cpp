#include "usernotice.h"

static UserNoticeHandler gHandler = nullptr;

void setUserNoticeHandler(UserNoticeHandler handler) {
    gHandler = handler;
}

void tellUser(UserNotice notice) {
    if (gHandler)
        gHandler(notice);
}

const char* userNoticeText(UserNotice notice) {
    switch (notice) {
    case kNoticeStorageFull:
        return "Storage is full.  Please free up some memory and try agin.";
    case kNoticeSaveFailed:
        return "Unable to save data!";
    case kNoticeLoadFailed:
        return "Unable to load data!";
    }
    return "";
}
