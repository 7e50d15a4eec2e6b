// What the build ships: the directory dialog's icon as the resource holds it,
// and the package folder's two .ini files.
#include "driver.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <vector>

static const WORD* skipText(const WORD* p) {
    if (*p == 0xFFFF)
        return p + 2;
    while (*p)
        ++p;
    return p + 1;
}

static const WORD* alignToDword(const WORD* p) {
    return (const WORD*)(((ULONG_PTR)p + 3) & ~(ULONG_PTR)3);
}

// The icon control of dialog 4001 keeps its 21 x 20 dialog units.
TEST(Package, DirectoryDialogIconKeepsItsSize) {
    HMODULE program = LoadLibraryExA(gFerrywell.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(program);
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(4001), (LPCSTR)RT_DIALOG);
    ASSERT_TRUE(found);
    const DLGTEMPLATE* dialog = (const DLGTEMPLATE*)LockResource(LoadResource(program, found));
    ASSERT_TRUE(dialog);
    ASSERT_NE(((const WORD*)dialog)[1], 0xFFFF) << "expected a classic template";
    const WORD* p = (const WORD*)(dialog + 1);
    p = skipText(skipText(skipText(p))); // menu, class, caption
    if (dialog->style & DS_SETFONT)
        p = skipText(p + 1);
    bool seen = false;
    for (int i = 0; i < dialog->cdit; ++i) {
        const DLGITEMTEMPLATE* item = (const DLGITEMTEMPLATE*)alignToDword(p);
        p = (const WORD*)(item + 1);
        const WORD* className = p;
        p = skipText(p);
        const WORD* text = p;
        p = skipText(p);
        p = (const WORD*)((const BYTE*)(p + 1) + *p); // creation data
        if (item->id != 1011)
            continue;
        seen = true;
        EXPECT_EQ(item->x, 4);
        EXPECT_EQ(item->y, 4);
        EXPECT_EQ(item->cx, 21);
        EXPECT_EQ(item->cy, 20);
        EXPECT_EQ(item->style & SS_TYPEMASK, (DWORD)SS_ICON);
        // The class by its number or by name.
        if (className[0] == 0xFFFF) {
            EXPECT_EQ(className[1], 0x0082);
        } else {
            char name[16] = "";
            WideCharToMultiByte(CP_ACP, 0, (const WCHAR*)className, -1, name, sizeof name, nullptr,
                                nullptr);
            EXPECT_EQ(lstrcmpiA(name, "Static"), 0) << name;
        }
        EXPECT_EQ(text[0], 0xFFFF);
        EXPECT_EQ(text[1], 1); // icon 1
    }
    EXPECT_TRUE(seen);
    FreeLibrary(program);
}

static std::vector<std::string> lines(const std::string& bytes) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        out.push_back(bytes.substr(start, end - start + 1));
        start = end + 1;
    }
    return out;
}

static std::string profileValue(const std::string& file, const char* section, const char* key) {
    char value[1024];
    GetPrivateProfileStringA(section, key, "", value, sizeof value, file.c_str());
    return value;
}

// Every line ends in CR LF, every listed file is in the package, the script
// is listed last, and the Application Manager file names only listed files.
TEST(Package, ScriptListsWhatTheFolderShips) {
    std::string script = gPackage + "\\Setup.ini";
    std::string manager = gPackage + "\\Twigmark.ini";
    for (const std::string& file : {script, manager}) {
        std::string bytes = readFile(file);
        ASSERT_FALSE(bytes.empty()) << file;
        for (const std::string& line : lines(bytes))
            EXPECT_TRUE(line.size() >= 2 && line.substr(line.size() - 2) == "\r\n")
                << file << ": [" << line << "]";
    }
    long count = atol(profileValue(script, "Files", "Count").c_str());
    ASSERT_GT(count, 0);
    std::vector<std::string> listed;
    for (long n = 1; n <= count; ++n) {
        std::string entry = profileValue(script, "Files", ("File" + std::to_string(n)).c_str());
        EXPECT_TRUE(fileExists(gPackage + "\\" + entry)) << entry;
        listed.push_back(entry);
    }
    EXPECT_EQ(listed.back(), "Setup.ini");
    std::string appMgrIni = profileValue(script, "App", "AppMgrIni");
    EXPECT_NE(std::find(listed.begin(), listed.end(), appMgrIni), listed.end());
    std::string component = profileValue(manager, "CEAppManager", "Component");
    std::string cabinets = profileValue(manager, component.c_str(), "CabFiles");
    size_t start = 0;
    while (start < cabinets.size()) {
        size_t end = cabinets.find(',', start);
        if (end == std::string::npos)
            end = cabinets.size();
        std::string name = cabinets.substr(start, end - start);
        EXPECT_NE(std::find(listed.begin(), listed.end(), name), listed.end()) << name;
        start = end + 1;
    }
}
