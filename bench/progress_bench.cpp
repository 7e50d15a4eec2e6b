// Ferrywell's progress dialog on a script of 65,533 entries (the most the
// bar counts): the time of the whole copy loop and the longest wait of a
// message sent to the dialog's thread meanwhile, which is what the user feels
// as the dialog answering. Prints figures; asserts nothing.
#include "install.h"

#include <chrono>
#include <commctrl.h>
#include <stdio.h>
#include <string>

static double gLongestGap = 0;
static std::chrono::steady_clock::time_point gLastTick;

static void CALLBACK onTick(HWND, UINT, UINT_PTR, DWORD) {
    auto now = std::chrono::steady_clock::now();
    double gap = std::chrono::duration<double>(now - gLastTick).count();
    if (gap > gLongestGap)
        gLongestGap = gap;
    gLastTick = now;
}

int main(int argc, char** argv) {
    long count = argc > 1 ? atol(argv[1]) : 65533;
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    std::string package = std::string(base) + "twigmark-progress-bench";
    std::string target = package + "-target";
    CreateDirectoryA(package.c_str(), nullptr);
    CreateDirectoryA(target.c_str(), nullptr);
    std::string script =
        "[App]\r\nTitle=Bench\r\n[Files]\r\nCount=" + std::to_string(count) + "\r\n";
    for (long n = 1; n <= count; ++n)
        script += "File" + std::to_string(n) + "=missing" + std::to_string(n) + ".txt\r\n";
    FILE* f = fopen((package + "\\Setup.ini").c_str(), "wb");
    fwrite(script.data(), 1, script.size(), f);
    fclose(f);
    SetCurrentDirectoryA(package.c_str());

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    InstallRun run = {};
    run.instance = GetModuleHandleA(nullptr);
    openScriptHere(&run.script);
    snprintf(run.directory, sizeof run.directory, "%s", target.c_str());
    UINT_PTR timer = SetTimer(nullptr, 0, 20, onTick);
    gLastTick = std::chrono::steady_clock::now();
    auto start = gLastTick;
    runCopyDialog(&run);
    double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    KillTimer(nullptr, timer);
    printf("progress dialog, %ld entries: %.1f s in all, longest wait for a message %.0f ms\n",
           count, total, gLongestGap * 1e3);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE,
                  "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Bench");
    DeleteFileA((package + "\\Setup.ini").c_str());
    SetCurrentDirectoryA(base);
    RemoveDirectoryA(package.c_str());
    RemoveDirectoryA(target.c_str());
    return 0;
}
