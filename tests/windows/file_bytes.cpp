#include "file_bytes.h"

#include <stdio.h>
#include <wchar.h>
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

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH], name[32];
    GetTempPathW(MAX_PATH, base);
    wsprintfW(name, L"twigmark-test-%lu", GetCurrentProcessId());
    path = std::wstring(base) + name;
    CreateDirectoryW(path.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    for (const std::wstring& name : entries())
        DeleteFileW((path + L"\\" + name).c_str());
    RemoveDirectoryW(path.c_str());
}

std::vector<std::wstring> TempFolder::entries() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (wcscmp(data.cFileName, L".") && wcscmp(data.cFileName, L".."))
            names.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

void TempFolder::write(const wchar_t* name, const std::string& bytes) const {
    FILE* f = _wfopen(file(name).c_str(), L"wb");
    if (!f)
        return;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}
