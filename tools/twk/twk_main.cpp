#include "twk_commands.h"
#include "usernotice.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

static void printNotice(UserNotice notice) {
    fprintf(stderr, "twk: %s\n", userNoticeText(notice));
}

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    setUserNoticeHandler(printNotice);
    return twkMain(argc, argv, stdout, stderr);
}
#else
int main(int argc, char** argv) {
    setUserNoticeHandler(printNotice);
    return twkMain(argc, argv, stdout, stderr);
}
#endif
