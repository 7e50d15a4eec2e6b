#include "uninstall.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return runUninstall(instance, GetCommandLineA());
}
