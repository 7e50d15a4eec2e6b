#include "program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int showCommand) {
    return runTwigmark(instance, commandLine, showCommand);
}
