#include "test_support.h"

#include "twk_commands.h"
#include "twk_run.h"

#include <algorithm>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

static uint32_t tick98765() {
    return 98765;
}

static Bytes sampleFile() {
    NoteItem a = makeItem(u"Shopping \"list\"");
    a.id = 1;
    memcpy(a.category, u"Home", 10);
    NoteItem b = makeItem(u"Milk", 2, 1);
    b.id = 2;
    b.checkState = kChecked;
    b.name[4] = 0xD83D; // a lone high surrogate after the name
    b.name[5] = 0;
    Bytes file;
    file.header210(3, kRootUnchecked, u"Mine", 0, 0, 1, 2)
        .record(a, u"line1\nline2")
        .record(b, u"");
    return file;
}

TEST(Twk, JsonShowsHeaderItemsAndEscapes) {
    TempDir dir;
    writeBytes(dir.path("a.twk"), sampleFile().data);
    TwkRun run = twk({"json", dir.path("a.twk")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("{\"version\":210,\"nextId\":3,\"rootState\":4096,\"title\":\"Mine\","
                           "\"viewMode\":0,\"hideChecked\":0,\"ascending\":1,\"arrangeKey\":2,"
                           "\"categories\":[\"Home\"],\"items\":["),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\"name\":\"Shopping \\\"list\\\"\""), std::string::npos);
    EXPECT_NE(run.out.find("\"note\":\"line1\\nline2\""), std::string::npos);
    EXPECT_NE(run.out.find("\"name\":\"Milk\\ud83d\""), std::string::npos);
    EXPECT_NE(run.out.find("\"dueDate\":[0,0,0,0,0,0,0,0],\"taskTime\":\"\",\"taskTimeUnit\":-1,"
                           "\"note\":null}"),
              std::string::npos);
}

TEST(Twk, ExitStatusesForDamageUsageAndMissingFiles) {
    TempDir dir;
    Bytes damaged = sampleFile();
    damaged.data.resize(damaged.data.size() - 10); // cut inside the second record
    writeBytes(dir.path("cut.twk"), damaged.data);
    TwkRun run = twk({"json", dir.path("cut.twk")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("\"Shopping"), std::string::npos); // what was loaded is shown
    EXPECT_NE(run.err.find("ends inside the record"), std::string::npos);

    // A short text file is no note file: its header would be cut short.
    const char* text = "Shopping list: bread, milk, eggs and butter.\n";
    writeBytes(dir.path("text.twk"), std::vector<uint8_t>(text, text + 45));
    run = twk({"json", dir.path("text.twk")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("ends inside its header"), std::string::npos) << run.err;

    writeBytes(dir.path("empty.twk"), {});
    run = twk({"json", dir.path("empty.twk")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("{\"version\":null,\"nextId\":1,", 0), 0u);

    EXPECT_EQ(twk({"json", dir.path("missing.twk")}).status, 2);
    EXPECT_TRUE(dir.entries().size() == 3u); // nothing was created
    EXPECT_EQ(twk({"json"}).status, 2);
    EXPECT_EQ(twk({"frobnicate", "x"}).status, 2);
}

TEST(Twk, ConvertWritesCurrentVersionAndNeverItsInput) {
    TempDir dir;
    Bytes old;
    old.word(100).word(0).word(1).chars(u"R").word(0).word(0).word(-1);
    old.word(1).word(1).chars(u"A").word(4).word(0x1000).word(0).word(0).field(u"", 64).word(0);
    writeBytes(dir.path("old.twk"), old.data);
    TwkRun run = twk({"convert", dir.path("old.twk"), dir.path("new.twk")});
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<uint8_t> converted = readBytes(dir.path("new.twk"));
    ASSERT_EQ(converted.size(), 156u + 380u);
    EXPECT_EQ(converted[0], 210);
    EXPECT_EQ(readBytes(dir.path("old.twk")), old.data);

    run = twk({"convert", dir.path("old.twk"), dir.path("old.twk")});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(readBytes(dir.path("old.twk")), old.data);
}

TEST(Twk, OutlineIndentsByDepthAndMarksCheckedItems) {
    TempDir dir;
    writeBytes(dir.path("a.twk"), sampleFile().data);
    TwkRun run = twk({"outline", dir.path("a.twk")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Mine\n  [ ] Shopping \"list\"\n    [x] Milk\xEF\xBF\xBD\n");
}

TEST(Twk, OutlineIndentationStopsAt64LevelsAndNamesTheDepth) {
    TempDir dir;
    Bytes file;
    file.header210(100, kRootUnchecked, u"Deep", 0, 0, 1, 2);
    for (uint32_t level = 1; level <= 66; ++level) {
        NoteItem item = makeItem(u"x", level, level - 1);
        item.id = level;
        file.record(item, u"");
    }
    writeBytes(dir.path("deep.twk"), file.data);
    TwkRun run = twk({"outline", dir.path("deep.twk")});
    EXPECT_EQ(run.status, 0);
    std::string cap(128, ' ');
    EXPECT_NE(run.out.find("\n" + std::string(126, ' ') + "[ ] x\n" + cap + "[ ] x\n" + cap +
                           "(65) [ ] x\n" + cap + "(66) [ ] x\n"),
              std::string::npos);
}

TEST(Twk, OpmlAndMarkdownCommandsShowWhatLoaded) {
    TempDir dir;
    writeBytes(dir.path("a.twk"), sampleFile().data);
    TwkRun run = twk({"opml", dir.path("a.twk")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(
        run.out.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"2.0\">", 0), 0u);
    EXPECT_NE(run.out.find("<title>Mine</title>"), std::string::npos);
    EXPECT_NE(run.out.find("text=\"Shopping &quot;list&quot;\" _note=\"line1&#10;line2\""),
              std::string::npos);
    EXPECT_NE(run.err.find("1 character(s) that XML cannot hold"), std::string::npos); // Milk's

    run = twk({"markdown", dir.path("a.twk")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "# Mine\n\n- [ ] Shopping \"list\" (P1, Home)\n  line1\n  line2\n"
                       "  - [x] Milk\xEF\xBF\xBD (P1)\n");

    Bytes damaged = sampleFile();
    damaged.data.resize(damaged.data.size() - 10);
    writeBytes(dir.path("cut.twk"), damaged.data);
    run = twk({"opml", dir.path("cut.twk")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Shopping"), std::string::npos);
    EXPECT_EQ(twk({"markdown", dir.path("missing.twk")}).status, 2);
}

TEST(Twk, ConvertTellsOpmlFromNoteFilesByContent) {
    TempDir dir;
    // OPML under a note file's name, and a note file under an OPML name.
    std::string opml = "<?xml version=\"1.0\"?><opml version=\"2.0\"><head><title>T</title>"
                       "</head><body><outline text=\"A\"><outline text=\"B\"/></outline>"
                       "</body></opml>";
    writeBytes(dir.path("in.twk"), std::vector<uint8_t>(opml.begin(), opml.end()));
    writeBytes(dir.path("in.opml"), sampleFile().data);
    TwkRun run = twk({"convert", dir.path("in.twk"), dir.path("a.twk")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(twk({"outline", dir.path("a.twk")}).out, "T\n  [ ] A\n    [ ] B\n");
    run = twk({"convert", dir.path("in.opml"), dir.path("b.twk")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readBytes(dir.path("b.twk")), readBytes(dir.path("in.opml")));

    // Damage: exit 1, one line, and what was read is still written.
    std::string cut = opml.substr(0, opml.find("</outline>"));
    writeBytes(dir.path("cut.opml"), std::vector<uint8_t>(cut.begin(), cut.end()));
    run = twk({"convert", dir.path("cut.opml"), dir.path("c.twk")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find("line 1"), std::string::npos);
    EXPECT_EQ(twk({"outline", dir.path("c.twk")}).out, "T\n  [ ] A\n    [ ] B\n");

    EXPECT_EQ(twk({"convert", dir.path("in.twk"), dir.path("in.twk")}).status, 2);
    EXPECT_EQ(readBytes(dir.path("in.twk")), std::vector<uint8_t>(opml.begin(), opml.end()));
    EXPECT_EQ(twk({"convert", dir.path("none.opml"), dir.path("d.twk")}).status, 2);
}

// Exit 2 for what is no file to read (a folder, a device), 0 for a healthy
// file through a pipe, 1 with one line on stderr for output that failed.
TEST(TwkExitStatus, PipesFoldersDevicesAndFailedOutput) {
    TempDir dir;
    Bytes big = sampleFile();
    NoteItem c = makeItem(u"Long");
    big.record(c, std::u16string(3000, u'x')); // far more than the first 512 bytes
    writeBytes(dir.path("big.twk"), big.data);
    for (const char* command : {"json", "outline", "opml", "markdown"}) {
        EXPECT_EQ(twk({command, dir.root}).status, 2) << command;
        EXPECT_EQ(twk({command, "/dev/zero"}).status, 2) << command;
        {
            Pipe pipe(dir.path("fifo"), big.data);
            TwkRun run = twk({command, pipe.path});
            EXPECT_EQ(run.status, 0) << command << run.err;
        }
        TwkRun run = twk({command, dir.path("big.twk")}, fopen("/dev/full", "w"));
        EXPECT_EQ(run.status, 1) << command;
        const std::string told = "twk: the output could not be written whole\n";
        EXPECT_EQ(run.err.find(told), run.err.size() - told.size()) << command << run.err;
        EXPECT_EQ(run.err.find(told), run.err.rfind(told)) << command; // said once
    }
    // convert reads its input once, from the stream it opened, and writes
    // nothing when there was nothing to read.
    {
        Pipe pipe(dir.path("fifo"), big.data);
        EXPECT_EQ(twk({"convert", pipe.path, dir.path("piped.twk")}).status, 0);
    }
    EXPECT_EQ(readBytes(dir.path("piped.twk")), big.data);
    EXPECT_EQ(twk({"convert", dir.root, dir.path("none.twk")}).status, 2);
    EXPECT_EQ(twk({"convert", "/dev/zero", dir.path("none.twk")}).status, 2);
    EXPECT_EQ(access(dir.path("none.twk").c_str(), F_OK), -1);
}

// The input of convert may carry the temporary file's name (what a crashed
// save leaves behind): it is read, and never written, renamed or deleted.
TEST(TwkExitStatus, ConvertNeverTouchesAnInputNamedLikeTheTemporaryFile) {
    TempDir dir;
    std::vector<uint8_t> left = sampleFile().data;
    writeBytes(dir.path("twg987.tmp"), left);
    FileOps ops = *platformFileOps();
    ops.tickCount = tick98765;
    setFileOps(&ops);
    TwkRun run = twk({"convert", dir.path("twg987.tmp"), dir.path("rescued.twk")});
    setFileOps(nullptr);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readBytes(dir.path("twg987.tmp")), left);
    EXPECT_EQ(readBytes(dir.path("rescued.twk")), left);
    EXPECT_EQ(dir.entries().size(), 2u);
}
