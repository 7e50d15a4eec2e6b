// The whole content of a file, for tests that compare what was written, and
// a folder of the temporary files of one test.
#pragma once

#include <string>
#include <vector>

// Empty when the file cannot be opened.
std::vector<char> fileBytes(const std::wstring& path);
// Replaces the file's content; false when it cannot be written.
bool writeFileBytes(const std::wstring& path, const std::vector<char>& bytes);

// A fresh folder in the temporary folder, named after the test process so
// that test programs running side by side keep apart; removed with its files.
struct TempFolder {
    TempFolder();
    ~TempFolder();
    std::wstring file(const wchar_t* name) const { return path + L"\\" + name; }
    // The names of the files in the folder.
    std::vector<std::wstring> entries() const;
    // Writes the bytes as the file of this name.
    void write(const wchar_t* name, const std::string& bytes) const;
    std::wstring path;
};
