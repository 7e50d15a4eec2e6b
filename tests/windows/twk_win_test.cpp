// twk on Windows does what it does on the host: the same OPML and Markdown
// bytes for the sample files, OPML read back through XmlLite, hostile
// documents refused, a million-deep document read and written, and twk.exe
// itself started as a user would.
#include "file_bytes.h"
#include "outliner.h"
#include "twk_run.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string>
#include <vector>
#include <windows.h>

static std::wstring gTwkExe; // the path of twk.exe, from the command line

static std::wstring source(const wchar_t* relative) {
    std::wstring path = TWIGMARK_SOURCE_DIR;
    return path + L"/" + relative;
}

static std::string text(const std::vector<char>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

static const wchar_t* kSamples[] = {L"sample", L"short-header", L"version100"};

// What Wine's XmlLite gives for a note's line breaks: spaces.
static std::string asThisReaderReadsIt(std::string opml) {
    if (xmlKeepsLineBreaks())
        return opml;
    for (size_t at; (at = opml.find("&#13;&#10;")) != std::string::npos;)
        opml.replace(at, 10, "  ");
    return opml;
}

TEST(TwkOnWindows, ExportsTheSamplesByteForByteAsOnTheHost) {
    for (const wchar_t* name : kSamples) {
        SCOPED_TRACE(std::string(name, name + wcslen(name)));
        std::wstring file = source((std::wstring(L"samples/") + name + L".twk").c_str());
        TwkRun run = twk({L"opml", file});
        EXPECT_EQ(run.status, 0) << run.err;
        std::wstring expected = source((std::wstring(L"tests/native/expected/") + name).c_str());
        EXPECT_EQ(run.out, text(fileBytes(expected + L".opml")));
        run = twk({L"markdown", file});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, text(fileBytes(expected + L".md")));
    }
}

TEST(TwkOnWindows, OpmlConvertsBackToTheSameDocument) {
    TempFolder folder;
    for (const wchar_t* name : kSamples) {
        SCOPED_TRACE(std::string(name, name + wcslen(name)));
        std::wstring expected = source((std::wstring(L"tests/native/expected/") + name).c_str());
        std::wstring back = folder.file((std::wstring(name) + L".twk").c_str());
        TwkRun run = twk({L"convert", expected + L".opml", back});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err.find("line breaks") != std::string::npos, !xmlKeepsLineBreaks());
        run = twk({L"opml", back});
        EXPECT_EQ(run.out, asThisReaderReadsIt(text(fileBytes(expected + L".opml"))));
    }
}

TEST(TwkOnWindows, ReadsOtherOutlinersFilesAndTellsKindByContent) {
    TempFolder folder;
    folder.write(L"elsewhere.twk",
                 "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<opml version=\"1.0\">"
                 "<head><title>Caf\xC3\xA9 &amp; co</title></head><body>\r\n"
                 "<outline text=\"A\" type=\"link\" url=\"http://x\"><outline text=\"B "
                 "\xF0\x9F\x8C\xB3\" priority=\"3\" checked=\"true\" due=\"2024-05-01\"/>"
                 "</outline><outline text=\"C\"/></body></opml>");
    TwkRun run = twk({L"convert", folder.file(L"elsewhere.twk"), folder.file(L"out.twk")});
    EXPECT_EQ(run.status, 0) << run.err;
    run = twk({L"markdown", folder.file(L"out.twk")});
    EXPECT_EQ(run.out, "# Caf\xC3\xA9 \\& co\n\n- [ ] A (P5)\n"
                       "  - [x] B \xF0\x9F\x8C\xB3 (P3, due 2024-05-01)\n- [ ] C (P5)\n");
    folder.write(L"empty.opml", "<opml version=\"2.0\"><head/><body/></opml>");
    EXPECT_EQ(twk({L"convert", folder.file(L"empty.opml"), folder.file(L"e.twk")}).status, 0);
    EXPECT_EQ(fileBytes(folder.file(L"e.twk")).size(), 156u);
}

TEST(TwkOnWindows, RefusesHostileDocumentsWithOneLine) {
    TempFolder folder;
    struct Case {
        const wchar_t* name;
        const char* xml;
        const char* reason;
        size_t size; // of the note file written from what was read
    };
    const Case cases[] = {
        {L"laughs.opml",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE opml [<!ENTITY a \"aaaaaaaa\"><!ENTITY b "
         "\"&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;\">]>\n"
         "<opml><body><outline text=\"&c;\"/></body></opml>",
         "DOCTYPE", 156},
        {L"external.opml",
         "<!DOCTYPE opml [<!ENTITY x SYSTEM \"file:///c:/windows/win.ini\">]>"
         "<opml><body><outline text=\"&x;\"/></body></opml>",
         "DOCTYPE", 156},
        {L"badutf8.opml", "<opml><body><outline text=\"a\xC3\x28\"/></body></opml>", "UTF-8", 156},
        {L"cut.opml", "<opml><body><outline text=\"a\"><outline text=\"b\"/>", "", 156 + 2 * 380},
        {L"mismatch.opml", "<opml><body><outline text=\"a\"></body></opml>", "mismatched",
         156 + 380},
        {L"entity.opml", "<opml><body><outline text=\"&nbsp;\"/></body></opml>", "entity", 156},
    };
    // Malformed UTF-8 far beyond the first bytes the reader takes in.
    std::string late = "<opml><body><outline text=\"a\"/>" + std::string(20000, ' ') +
                       "<outline text=\"\xE2\x82\"/></body></opml>";
    std::vector<Case> all(cases, cases + sizeof cases / sizeof *cases);
    all.push_back({L"late.opml", late.c_str(), "UTF-8", 0});
    for (const Case& c : all) {
        SCOPED_TRACE(std::string(c.xml).substr(0, 80));
        folder.write(c.name, c.xml);
        DeleteFileW(folder.file(L"out.twk").c_str());
        TwkRun run = twk({L"convert", folder.file(c.name), folder.file(L"out.twk")});
        EXPECT_EQ(run.status, 1);
        const std::string& err = run.err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_NE(err.find(c.reason), std::string::npos) << err;
        if (c.size)
            EXPECT_EQ(fileBytes(folder.file(L"out.twk")).size(), c.size);
    }
}

TEST(TwkOnWindows, AMillionLevelsDeepNeedNoStack) {
    TempFolder folder;
    const int depth = 1000000;
    std::string xml = "<opml version=\"2.0\"><body>";
    xml.reserve((size_t)depth * 30);
    for (int i = 0; i < depth; ++i)
        xml += "<outline text=\"x\">";
    for (int i = 0; i < depth; ++i)
        xml += "</outline>";
    xml += "</body></opml>";
    folder.write(L"deep.opml", xml);
    TwkRun run = twk({L"convert", folder.file(L"deep.opml"), folder.file(L"deep.twk")});
    EXPECT_EQ(run.status, 0) << run.err;
    // Its size alone: reading 380 MB back would ask the 32-bit test process
    // for more than it can hold at once.
    WIN32_FILE_ATTRIBUTE_DATA written = {};
    ASSERT_TRUE(
        GetFileAttributesExW(folder.file(L"deep.twk").c_str(), GetFileExInfoStandard, &written));
    EXPECT_EQ(written.nFileSizeLow, 156u + 380u * depth);
    run = twk({L"opml", folder.file(L"deep.twk")});
    EXPECT_EQ(run.status, 0);
    size_t outlines = 0;
    for (size_t at = 0; (at = run.out.find("<outline ", at)) != std::string::npos; ++at)
        ++outlines;
    EXPECT_EQ(outlines, (size_t)depth);
}

TEST(TwkOnWindows, TheExecutableWritesOpmlToItsStandardOutput) {
    ASSERT_FALSE(gTwkExe.empty());
    TempFolder folder;
    std::wstring outPath = folder.file(L"stdout.opml");
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out =
        CreateFileW(outPath.c_str(), GENERIC_WRITE, 0, &inherit, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(out, INVALID_HANDLE_VALUE);
    STARTUPINFOW start = {};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdOutput = out;
    start.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::wstring command = L"\"" + gTwkExe + L"\" opml \"" + source(L"samples/sample.twk") + L"\"";
    PROCESS_INFORMATION process;
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                               &start, &process));
    CloseHandle(out);
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 99;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(text(fileBytes(outPath)),
              text(fileBytes(source(L"tests/native/expected/sample.opml"))));
}

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc > 1)
        gTwkExe = argv[1];
    return RUN_ALL_TESTS();
}
