// OPML and Markdown: round trips keep every field, other outliners' files
// read well, escaping holds, and hostile documents are refused safely.
#include "test_support.h"

#include "exporttree.h"
#include "notefile.h"
#include "outliner.h"
#include "twk_run.h"
#include "viewplan.h"
#include "widetext.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static std::string exported(const NoteList* list, ExportResult (*write)(const NoteList*, FILE*),
                            ExportResult* result = nullptr) {
    FILE* f = tmpfile();
    ExportResult r = write(list, f);
    EXPECT_TRUE(r.ok);
    if (result)
        *result = r;
    return drain(f);
}

namespace {

struct Read {
    int ok;
    XmlProblem problem;
};

} // namespace

static Read readInto(Doc* doc, const std::string& xml) {
    MemoryBytes bytes = {xml.data(), xml.size(), 0};
    XmlSource source = {&bytes, readMemoryBytes};
    Read r;
    r.ok = readOpml(&source, &doc->list, &doc->categories, &r.problem);
    return r;
}

static NoteItem* add(Doc* doc, NoteItem item, const char16_t* note = nullptr) {
    std::u16string n = note ? note : u"";
    return appendLoaded(&doc->list, &item, n.empty() ? nullptr : n.c_str());
}

static std::u16string field(const WideChar* f, size_t cap) {
    return std::u16string(f, wideLength(f, cap));
}

namespace {

// Every field but the identifiers, and the tree: the parent's position in
// the export order stands in for its identifier.
struct Row {
    std::u16string name, category, taskTime, note;
    uint32_t level;
    uint16_t icon, priority, colour, checkState;
    SystemDate date;
    int32_t unit;
    int32_t parent;
};

} // namespace

static std::vector<Row> rows(const NoteList* list) {
    ExportTree tree;
    EXPECT_TRUE(planExport(list, &tree));
    std::vector<Row> all;
    std::vector<int32_t> position(tree.count, -1);
    int32_t depth = 1, closed = 0, n = 0;
    for (int32_t node = nextExportNode(&tree, -1, &depth, &closed); node != -1;
         node = nextExportNode(&tree, node, &depth, &closed)) {
        position[node] = n++;
        const NoteItem* it = tree.items[node];
        Row r;
        r.name = field(it->name, kNameChars);
        r.category = field(it->category, kCategoryChars);
        r.taskTime = field(it->taskTime, kTaskTimeChars);
        r.note = it->note ? std::u16string(it->note) : u"";
        r.level = (uint32_t)depth;
        r.icon = it->icon;
        r.priority = it->priority;
        r.colour = it->colour;
        r.checkState = it->checkState;
        r.date = it->dueDate;
        r.unit = it->taskTimeUnit;
        r.parent = tree.parent[node] == -1 ? -1 : position[tree.parent[node]];
        all.push_back(r);
    }
    freeExportTree(&tree);
    return all;
}

static void expectSameRows(const NoteList* a, const NoteList* b) {
    std::vector<Row> ra = rows(a), rb = rows(b);
    ASSERT_EQ(ra.size(), rb.size());
    for (size_t i = 0; i < ra.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(ra[i].name == rb[i].name);
        EXPECT_TRUE(ra[i].category == rb[i].category);
        EXPECT_TRUE(ra[i].taskTime == rb[i].taskTime);
        EXPECT_TRUE(ra[i].note == rb[i].note);
        EXPECT_EQ(ra[i].level, rb[i].level);
        EXPECT_EQ(ra[i].icon, rb[i].icon);
        EXPECT_EQ(ra[i].priority, rb[i].priority);
        EXPECT_EQ(ra[i].colour, rb[i].colour);
        EXPECT_EQ(ra[i].checkState, rb[i].checkState);
        EXPECT_EQ(memcmp(&ra[i].date, &rb[i].date, sizeof(SystemDate)), 0);
        EXPECT_EQ(ra[i].unit, rb[i].unit);
        EXPECT_EQ(ra[i].parent, rb[i].parent);
    }
}

static void roundTrip(const NoteList* list) {
    Doc back;
    Read r = readInto(&back, exported(list, writeOpml));
    ASSERT_TRUE(r.ok) << r.problem.reason;
    EXPECT_TRUE(field(back.list.title, kTitleChars) == field(list->title, kTitleChars));
    EXPECT_EQ(back.list.count, list->count);
    EXPECT_EQ(back.list.nextId, list->count + 1);
    expectSameRows(list, &back.list);
    // Identifiers follow document order, parents come from the nesting.
    uint32_t expectId = 1;
    for (const NoteItem* it = back.list.head; it; it = it->next, ++expectId)
        EXPECT_EQ(it->id, expectId);
}

// A document of n items with every field filled and awkward text.
static void generate(Doc* doc, int n, unsigned seed) {
    static const char16_t* names[] = {u"plain",
                                      u"a \"quoted\" & <tagged> name",
                                      u"tab\there",
                                      u"emoji \U0001F333 tree",
                                      u"caf\u00e9 \u2014 dash",
                                      u"*star* _under_ [x] `code` #1"};
    static const char16_t* notes[] = {
        nullptr,        u"one line", u"two\r\nlines", u"bare\nLF\rCR", u"\U0001F4D6 & <b>\"x\"</b>",
        u"trailing\r\n"};
    srand(seed);
    setTitle(&doc->list, u"Generated & <titled>");
    std::vector<NoteItem*> made;
    for (int i = 0; i < n; ++i) {
        NoteItem item = makeItem(names[rand() % 6]);
        item.id = (uint32_t)i + 1;
        if (!made.empty() && rand() % 3) {
            NoteItem* p = made[(size_t)rand() % made.size()];
            item.parentId = p->id;
            item.level = p->level + 1;
        }
        item.icon = (uint16_t)(4 + rand() % 16);
        item.priority = (uint16_t)(rand() % 10);
        item.colour = (uint16_t)(rand() % 8);
        item.checkState = rand() % 2 ? kChecked : kUnchecked;
        if (rand() % 2)
            copyWideField(item.category, kCategoryChars, u"Home & <Work>", SIZE_MAX);
        if (rand() % 2) {
            int y = 1990 + rand() % 60, m = 1 + rand() % 12, d = 1 + rand() % 28;
            item.dueDate = {
                (uint16_t)y, (uint16_t)m, (uint16_t)dayOfWeek(y, m, d), (uint16_t)d, 0, 0, 0, 0};
        }
        if (rand() % 2)
            copyWideField(item.taskTime, kTaskTimeChars, u"3 & <4>", SIZE_MAX);
        item.taskTimeUnit = rand() % 5 - 1;
        made.push_back(add(doc, item, notes[rand() % 6]));
    }
}

TEST(Opml, RoundTripsGeneratedDocumentsFieldForField) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        Doc doc;
        generate(&doc, 300, seed);
        roundTrip(&doc.list);
    }
    Doc empty;
    roundTrip(&empty.list);
}

TEST(Opml, RoundTripsTheThreeSampleLayouts) {
    for (const char* name : {"sample.twk", "short-header.twk", "version100.twk"}) {
        SCOPED_TRACE(name);
        Doc doc;
        LoadReport report;
        std::string path = std::string(TWIGMARK_SAMPLES) + "/" + name;
        ASSERT_TRUE(
            readNoteFileEx(&doc.list, path.c_str(), &doc.options, &doc.categories, 0, &report));
        roundTrip(&doc.list);
    }
}

TEST(Opml, DateRecordsThatDueAloneCannotCarryRideAlong) {
    Doc doc;
    NoteItem odd = makeItem(u"odd");
    odd.id = 1;
    odd.dueDate = {2026, 12, 4, 18, 9, 30, 15, 250}; // wrong weekday, a time of day
    add(&doc, odd);
    NoteItem plain = makeItem(u"plain");
    plain.id = 2;
    plain.dueDate = {2024, 2, 4, 29, 0, 0, 0, 0}; // a Thursday
    add(&doc, plain);
    std::string xml = exported(&doc.list, writeOpml);
    EXPECT_NE(xml.find("due=\"2026-12-18\" dueRecord=\"2026,12,4,18,9,30,15,250\""),
              std::string::npos);
    EXPECT_NE(xml.find("due=\"2024-02-29\"/>"), std::string::npos); // nothing more needed
    roundTrip(&doc.list);

    // Another program changed the day: the stale record is not used.
    Doc edited;
    ASSERT_TRUE(readInto(&edited, "<opml><body><outline text=\"x\" due=\"2026-12-19\" "
                                  "dueRecord=\"2026,12,4,18,9,30,15,250\"/></body></opml>")
                    .ok);
    SystemDate want = {2026, 12, 6, 19, 0, 0, 0, 0};
    EXPECT_EQ(memcmp(&edited.list.head->dueDate, &want, sizeof want), 0);
}

TEST(Opml, EscapesMarkupAndLeavesOutWhatXmlCannotHold) {
    Doc doc;
    NoteItem item = makeItem(u"");
    item.id = 1;
    const char16_t name[] = {'a', '"',    '&',    '<',    '>',    0xD83D,
                             'b', 0x0001, 0xFFFE, 0xD83C, 0xDF33, 0};
    copyWideField(item.name, kNameChars, name, SIZE_MAX);
    add(&doc, item, u"l1\r\nl2\tx");
    ExportResult result;
    std::string xml = exported(&doc.list, writeOpml, &result);
    EXPECT_NE(xml.find("text=\"a&quot;&amp;&lt;&gt;b\xF0\x9F\x8C\xB3\""), std::string::npos) << xml;
    EXPECT_NE(xml.find("_note=\"l1&#13;&#10;l2&#9;x\""), std::string::npos);
    EXPECT_EQ(result.droppedChars, 3); // the lone surrogate, U+0001 and U+FFFE
    Doc back;
    ASSERT_TRUE(readInto(&back, xml).ok);
    EXPECT_TRUE(field(back.list.head->name, kNameChars) == u"a\"&<>b\U0001F333");
    EXPECT_TRUE(std::u16string(back.list.head->note) == u"l1\r\nl2\tx");
}

TEST(Opml, ItemsTheTreeDoesNotShowGoToTheTopLevelWithTheirChildren) {
    Doc doc;
    NoteItem a = makeItem(u"shown");
    a.id = 1;
    add(&doc, a);
    NoteItem orphan = makeItem(u"orphan", 2, 99);
    orphan.id = 2;
    add(&doc, orphan);
    NoteItem child = makeItem(u"orphan's child", 3, 2);
    child.id = 3;
    add(&doc, child);
    NoteItem c1 = makeItem(u"cycle 1", 2, 5);
    c1.id = 4;
    add(&doc, c1);
    NoteItem c2 = makeItem(u"cycle 2", 2, 4);
    c2.id = 5;
    add(&doc, c2);
    ExportResult result;
    std::string md = exported(&doc.list, writeMarkdown, &result);
    EXPECT_EQ(result.leftOut, 4);
    EXPECT_EQ(md, "# Note Tree\n\n"
                  "- [ ] shown (P1)\n"
                  "- [ ] orphan (P1)\n"
                  "  - [ ] orphan's child (P1)\n"
                  "- [ ] cycle 1 (P1)\n"
                  "  - [ ] cycle 2 (P1)\n");
    Doc back;
    ASSERT_TRUE(readInto(&back, exported(&doc.list, writeOpml)).ok);
    EXPECT_EQ(back.list.count, 5);
}

TEST(Opml, ChainsDeeperThanTheTreeShowsRestartAtTheTopLevel) {
    Doc doc;
    const uint32_t n = kMaxViewDepth + 5;
    for (uint32_t i = 1; i <= n; ++i) {
        NoteItem item = makeItem(u"x", i, i - 1);
        item.id = i;
        add(&doc, item);
    }
    ExportTree tree;
    ASSERT_TRUE(planExport(&doc.list, &tree));
    EXPECT_EQ(tree.count, (int32_t)n);
    EXPECT_EQ(tree.leftOut, 5);
    int32_t depth = 1, closed = 0, deepest = 0, tops = 0;
    for (int32_t node = nextExportNode(&tree, -1, &depth, &closed); node != -1;
         node = nextExportNode(&tree, node, &depth, &closed)) {
        deepest = depth > deepest ? depth : deepest;
        tops += depth == 1;
    }
    EXPECT_EQ(deepest, kMaxViewDepth);
    EXPECT_EQ(tops, 2);
    freeExportTree(&tree);
    Doc back;
    Read r = readInto(&back, exported(&doc.list, writeOpml));
    ASSERT_TRUE(r.ok) << r.problem.reason;
    EXPECT_EQ(back.list.count, (int32_t)n);
}

TEST(Opml, ReadsWhatOtherOutlinersWrite) {
    Doc doc;
    Read r = readInto(&doc, "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                            "<!-- written elsewhere -->\n"
                            "<opml version=\"1.0\" xmlns:x=\"urn:x\"><head><title>Mine</title>"
                            "<dateCreated>Mon, 01 Jan 2024</dateCreated></head>\n<body>\n"
                            "  <outline text=\"Only text\">\n"
                            "    <outline text=\"Link\" type=\"link\" url=\"http://x\" x:y=\"1\" "
                            "_note=\"a&#13;&#10;b\"/>\n"
                            "  </outline>\n"
                            "  <outline text=\"Odd values\" priority=\"11\" icon=\"3\" "
                            "colour=\"8\" taskUnit=\"4\" due=\"2024-13-01\" checked=\"TRUE\"/>\n"
                            "  <outline text=\"Dated\" due=\"2024-05-01T10:00:00Z\" "
                            "priority=\" 7 \" checked=\"no\"/>\n"
                            "</body></opml>");
    ASSERT_TRUE(r.ok) << r.problem.reason;
    EXPECT_TRUE(field(doc.list.title, kTitleChars) == u"Mine");
    std::vector<const NoteItem*> items = doc.items();
    ASSERT_EQ(items.size(), 4u);
    const NoteItem* first = items[0];
    EXPECT_EQ(first->priority, 4); // the defaults of a new item
    EXPECT_EQ(first->icon, 4);
    EXPECT_EQ(first->colour, 0);
    EXPECT_EQ(first->checkState, kUnchecked);
    EXPECT_FALSE(hasDueDate(first));
    EXPECT_EQ(first->taskTimeUnit, -1);
    EXPECT_EQ(first->note, nullptr);
    EXPECT_EQ(items[1]->parentId, first->id);
    EXPECT_EQ(items[1]->level, 2u);
    EXPECT_TRUE(std::u16string(items[1]->note) == u"a\r\nb");
    EXPECT_EQ(items[2]->priority, 4); // out of range: defaults again
    EXPECT_EQ(items[2]->icon, 4);
    EXPECT_EQ(items[2]->colour, 0);
    EXPECT_EQ(items[2]->taskTimeUnit, -1);
    EXPECT_FALSE(hasDueDate(items[2]));
    EXPECT_EQ(items[2]->checkState, kChecked);
    EXPECT_EQ(items[2]->level, 1u);
    SystemDate may1 = {2024, 5, 3, 1, 0, 0, 0, 0};
    EXPECT_EQ(memcmp(&items[3]->dueDate, &may1, sizeof may1), 0);
    EXPECT_EQ(items[3]->priority, 6);
    EXPECT_EQ(items[3]->checkState, kUnchecked);

    Doc empty;
    ASSERT_TRUE(readInto(&empty, "<opml version=\"2.0\"><head/><body/></opml>").ok);
    EXPECT_EQ(empty.list.count, 0);
    EXPECT_TRUE(field(empty.list.title, kTitleChars) == u"Note Tree"); // no title given
}

TEST(Opml, LongTextIsCutWithoutSplittingAPair) {
    std::string tree = "\xF0\x9F\x8C\xB3"; // one pair, two UTF-16 units
    std::string title, name, category, task;
    for (int i = 0; i < 62; ++i)
        title += "t";
    title += tree; // the pair would be characters 63 and 64
    for (int i = 0; i < 94; ++i)
        name += "n";
    name += tree;
    for (int i = 0; i < 70; ++i)
        category += "c";
    task = "123456" + tree;
    std::string note(100000, 'x');
    Doc doc;
    ASSERT_TRUE(readInto(&doc, "<opml><head><title>" + title +
                                   "</title></head><body><outline text=\"" + name +
                                   "\" category=\"" + category + "\" taskTime=\"" + task +
                                   "\" _note=\"" + note + "\"/></body></opml>")
                    .ok);
    EXPECT_EQ(field(doc.list.title, kTitleChars).size(), 62u);
    const NoteItem* item = doc.list.head;
    EXPECT_EQ(field(item->name, kNameChars).size(), 94u);
    EXPECT_EQ(field(item->category, kCategoryChars).size(), 63u);
    EXPECT_EQ(field(item->taskTime, kTaskTimeChars).size(), 6u);
    EXPECT_EQ(noteLength(item), 100000u); // the note is kept whole
}

TEST(Opml, RefusesDoctypesEntitiesAndBrokenDocuments) {
    struct Case {
        const char* xml;
        const char* reason;
        int items;
    };
    const Case cases[] = {
        {"<?xml version=\"1.0\"?><!DOCTYPE opml [<!ENTITY a \"aaaaaaaa\"><!ENTITY b "
         "\"&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;\">]>"
         "<opml><body><outline text=\"&c;\"/></body></opml>",
         "DOCTYPE", 0},
        {"<!DOCTYPE opml [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
         "<opml><body><outline text=\"&x;\"/></body></opml>",
         "DOCTYPE", 0},
        {"<!DOCTYPE opml SYSTEM \"http://example.invalid/opml.dtd\"><opml/>", "DOCTYPE", 0},
        {"<opml><body><outline text=\"&nbsp;\"/></body></opml>", "undefined entity", 0},
        {"<opml><body><outline text=\"a\"/><outline text=\"b\xC3\x28\"/></body></opml>",
         "invalid token", 1},
        {"<opml><body><outline text=\"a\"><outline text=\"b\"/>", "no element found", 2},
        {"<opml><body><outline text=\"a\"></body></opml>", "mismatched tag", 1},
        {"<html><body><outline text=\"a\"/></body></html>", "not an OPML document", 0},
        {"", "no element found", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xml);
        Doc doc;
        Read r = readInto(&doc, c.xml);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(strstr(r.problem.reason, c.reason), nullptr) << r.problem.reason;
        EXPECT_EQ(doc.list.count, c.items); // what was read before stays
    }
}

TEST(Markdown, SmallDocumentLineByLine) {
    Doc doc;
    setTitle(&doc.list, u"Week #12");
    NoteItem a = makeItem(u"Shopping *now* [soon]");
    a.id = 1;
    a.priority = 2;
    copyWideField(a.category, kCategoryChars, u"Home_Life", SIZE_MAX);
    a.dueDate = {2026, 12, 5, 18, 0, 0, 0, 0};
    add(&doc, a, u"Milk\r\n\r\nBread\r\n");
    NoteItem b = makeItem(u"Done <b>", 2, 1);
    b.id = 2;
    b.checkState = kChecked;
    b.priority = 9;
    add(&doc, b);
    NoteItem c = makeItem(u"Line\nbreak & more", 3, 2);
    c.id = 3;
    add(&doc, c, u"deep note");
    NoteItem d = makeItem(u"Second");
    d.id = 4;
    add(&doc, d);
    std::string md = exported(&doc.list, writeMarkdown);
    const char* expected[] = {
        "# Week \\#12",
        "",
        "- [ ] Shopping \\*now\\* \\[soon\\] (P3, Home\\_Life, due 2026-12-18)",
        "  Milk",
        "",
        "  Bread",
        "  - [x] Done \\<b\\> (P10)",
        "    - [ ] Line break \\& more (P1)",
        "      deep note",
        "- [ ] Second (P1)",
    };
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = md.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(md.substr(start, end - start));
    EXPECT_EQ(start, md.size()); // ends with a line break
    ASSERT_EQ(lines.size(), sizeof expected / sizeof *expected) << md;
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
}

TEST(Opml, KindIsToldByContent) {
    const char* xml[] = {"<?xml version=\"1.0\"?>", "\xEF\xBB\xBF<opml>", "  \r\n<opml>",
                         "\xFF\xFE<\0?\0", "<!-- x -->"};
    for (const char* head : xml)
        EXPECT_TRUE(looksLikeXml((const uint8_t*)head, strlen(head) + (head[0] == '\xFF' ? 4 : 0)))
            << head;
    const uint8_t note[] = {210, 0, 0, 0, 3, 0, 0, 0};
    EXPECT_FALSE(looksLikeXml(note, sizeof note));
    EXPECT_FALSE(looksLikeXml(note, 0));
    const uint8_t v100[] = {100, 0, 0, 0};
    EXPECT_FALSE(looksLikeXml(v100, sizeof v100));
}
