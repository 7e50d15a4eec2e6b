// The whole content of a file, for tests that compare what was written.
#pragma once

#include <string>
#include <vector>

// Empty when the file cannot be opened.
std::vector<char> fileBytes(const std::wstring& path);
// Replaces the file's content; false when it cannot be written.
bool writeFileBytes(const std::wstring& path, const std::vector<char>& bytes);
