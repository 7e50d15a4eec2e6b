// OPML out. Every item is one outline element; the walk is a loop over the
// export tree, so a chain a million deep needs no stack, and indentation
// stops growing after a few dozen levels so the output stays linear.
#include "outliner.h"

#include "exporttree.h"
#include "textout.h"
#include "widetext.h"

#include "notemodel.h"

#include <stdlib.h>
#include <string.h>

namespace {

enum { kMaxIndent = 32 };

struct OpmlOut {
    TextOut text;
    long dropped;
};

} // namespace

static bool allowedInXml(uint32_t c) {
    if (c < 0x20)
        return c == 0x9 || c == 0xA || c == 0xD;
    return c <= 0xD7FF || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Escaped for an attribute value or element content: the markup characters,
// and tab and line breaks as references, which attribute-value
// normalisation would otherwise turn into spaces.
static void putEscaped(OpmlOut* out, const WideChar* text, size_t length) {
    for (size_t i = 0; i < length;) {
        bool lone;
        uint32_t c = nextCodePoint(text, length, &i, &lone);
        if (lone || !allowedInXml(c)) {
            ++out->dropped;
            continue;
        }
        switch (c) {
        case '&':
            putText(&out->text, "&amp;");
            break;
        case '<':
            putText(&out->text, "&lt;");
            break;
        case '>':
            putText(&out->text, "&gt;");
            break;
        case '"':
            putText(&out->text, "&quot;");
            break;
        case '\t':
            putText(&out->text, "&#9;");
            break;
        case '\n':
            putText(&out->text, "&#10;");
            break;
        case '\r':
            putText(&out->text, "&#13;");
            break;
        default:
            putCodePoint(&out->text, c);
        }
    }
}

static void putIndent(OpmlOut* out, int32_t depth) {
    int32_t n = depth < kMaxIndent ? depth : kMaxIndent;
    for (int32_t i = 0; i < n; ++i)
        putBytes(&out->text, "  ", 2);
}

static void putNumberAttribute(OpmlOut* out, const char* name, long value) {
    putText(&out->text, name);
    putBytes(&out->text, "=\"", 2);
    putNumber(&out->text, value);
    putBytes(&out->text, "\"", 1);
}

static void putTextAttribute(OpmlOut* out, const char* name, const WideChar* text, size_t length) {
    putText(&out->text, name);
    putBytes(&out->text, "=\"", 2);
    putEscaped(out, text, length);
    putBytes(&out->text, "\"", 1);
}

// True when the date record is what "due" alone gives back.
static bool plainDate(const SystemDate& d) {
    return d.hour == 0 && d.minute == 0 && d.second == 0 && d.milliseconds == 0 && d.month >= 1 &&
           d.month <= 12 && d.day >= 1 && d.day <= 31 &&
           d.dayOfWeek == dayOfWeek(d.year, d.month, d.day);
}

static void putDate(OpmlOut* out, const SystemDate& d) {
    char text[96];
    snprintf(text, sizeof text, " due=\"%04u-%02u-%02u\"", (unsigned)d.year, (unsigned)d.month,
             (unsigned)d.day);
    putText(&out->text, text);
    // Other outliners know only the day; the whole record rides along so
    // that a round trip keeps it.
    if (!plainDate(d)) {
        snprintf(text, sizeof text, " dueRecord=\"%u,%u,%u,%u,%u,%u,%u,%u\"", (unsigned)d.year,
                 (unsigned)d.month, (unsigned)d.dayOfWeek, (unsigned)d.day, (unsigned)d.hour,
                 (unsigned)d.minute, (unsigned)d.second, (unsigned)d.milliseconds);
        putText(&out->text, text);
    }
}

static void putOutline(OpmlOut* out, const NoteItem* item, int32_t depth, bool hasChildren) {
    putIndent(out, depth + 1);
    putText(&out->text, "<outline ");
    putTextAttribute(out, "text", item->name, wideLength(item->name, kNameChars));
    if (item->note) {
        putBytes(&out->text, " ", 1);
        putTextAttribute(out, "_note", item->note, noteLength(item));
    }
    putBytes(&out->text, " ", 1);
    putNumberAttribute(out, "priority", (long)item->priority + 1);
    size_t categoryLength = wideLength(item->category, kCategoryChars);
    if (categoryLength) {
        putBytes(&out->text, " ", 1);
        putTextAttribute(out, "category", item->category, categoryLength);
    }
    if (item->checkState == kChecked)
        putText(&out->text, " checked=\"true\"");
    putBytes(&out->text, " ", 1);
    putNumberAttribute(out, "icon", item->icon);
    putBytes(&out->text, " ", 1);
    putNumberAttribute(out, "colour", item->colour);
    if (hasDueDate(item))
        putDate(out, item->dueDate);
    size_t taskLength = wideLength(item->taskTime, kTaskTimeChars);
    if (taskLength) {
        putBytes(&out->text, " ", 1);
        putTextAttribute(out, "taskTime", item->taskTime, taskLength);
    }
    if (item->taskTimeUnit != -1) {
        putBytes(&out->text, " ", 1);
        putNumberAttribute(out, "taskUnit", item->taskTimeUnit);
    }
    putText(&out->text, hasChildren ? ">\n" : "/>\n");
}

ExportResult writeOpml(const NoteList* list, FILE* file) {
    ExportResult result = {0, 0, 0};
    ExportTree tree;
    if (!planExport(list, &tree))
        return result;
    OpmlOut* out = (OpmlOut*)malloc(sizeof(OpmlOut)); // its 64 KB buffer stays off the stack
    if (!out) {
        freeExportTree(&tree);
        return result;
    }
    out->dropped = 0;
    beginTextOut(&out->text, file);
    putText(&out->text, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"2.0\">\n"
                        "  <head>\n    <title>");
    putEscaped(out, list->title, wideLength(list->title, kTitleChars));
    putText(&out->text, "</title>\n  </head>\n  <body>\n");
    int32_t depth = 1, closed = 0;
    int32_t node = nextExportNode(&tree, -1, &depth, &closed);
    while (node != -1) {
        int32_t nodeDepth = depth;
        putOutline(out, tree.items[node], nodeDepth, tree.firstChild[node] != -1);
        node = nextExportNode(&tree, node, &depth, &closed);
        // A leaf closed itself; each further subtree that ends needs its tag.
        for (int32_t k = 1; k < closed; ++k) {
            putIndent(out, nodeDepth - k + 1);
            putText(&out->text, "</outline>\n");
        }
    }
    putText(&out->text, "  </body>\n</opml>\n");
    result.ok = endTextOut(&out->text);
    result.droppedChars = out->dropped;
    result.leftOut = tree.leftOut;
    free(out);
    freeExportTree(&tree);
    return result;
}
