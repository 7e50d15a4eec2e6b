#include "file_bytes.h"

#include <windows.h>

std::vector<char> fileBytes(const std::wstring& path) {
    std::vector<char> bytes;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[4096];
    DWORD got;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    CloseHandle(h);
    return bytes;
}

bool writeFileBytes(const std::wstring& path, const std::vector<char>& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = bytes.empty() || WriteFile(h, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(h);
    return ok && written == bytes.size();
}
