// Stands in for the Application Manager: records the arguments it was given
// in a file beside itself, named after the program with ".arg" appended.
#include <stdio.h>
#include <string.h>
#include <windows.h>

int main() {
    const char* line = GetCommandLineA();
    if (*line == '"') {
        line = strchr(line + 1, '"');
        line = line ? line + 1 : "";
    } else {
        while ((unsigned char)*line > ' ')
            ++line;
    }
    while (*line == ' ' || *line == '\t')
        ++line;
    char path[MAX_PATH + 8];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    strcat(path, ".arg");
    FILE* out = fopen(path, "wb");
    if (!out)
        return 1;
    fputs(line, out);
    fclose(out);
    return 0;
}
