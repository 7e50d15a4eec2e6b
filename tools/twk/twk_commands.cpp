// twk reads a note file on any computer: as JSON, as an outline, or
// converted to the current version. It never creates or changes the file it
// reads.
#include "twk_commands.h"

#include "notefile.h"
#include "notemodel.h"
#include "outliner.h"
#include "utf8out.h"
#include "viewplan.h"
#include "widetext.h"

#include <string.h>

void putPath(FILE* out, const PathChar* path) {
#ifdef _WIN32
    putUtf8(out, (const WideChar*)path, pathLength(path));
#else
    fputs(path, out);
#endif
}

static bool isWord(const PathChar* arg, const char* word) {
    size_t i = 0;
    for (; word[i]; ++i)
        if (arg[i] != (PathChar)(unsigned char)word[i])
            return false;
    return arg[i] == 0;
}

static int usage(FILE* err) {
    fputs("usage: twk json FILE        print the note file as JSON\n"
          "       twk outline FILE     print the tree as an indented outline\n"
          "       twk opml FILE        print the document as OPML 2.0\n"
          "       twk markdown FILE    print the document as a Markdown task list\n"
          "       twk convert IN OUT   write IN (a note file or OPML) as a current note file OUT\n",
          err);
    return kTwkUsage;
}

static void cannotOpen(const PathChar* path, FILE* err) {
    fputs("twk: cannot open ", err);
    putPath(err, path);
    fputs(" (a missing file, a directory or a device)\n", err);
}

static int explainLoad(const PathChar* path, Document* doc, FILE* err) {
    if (doc->loaded)
        return kTwkOk;
    if (doc->report.problem == kLoadCannotOpen) {
        cannotOpen(path, err);
        return kTwkUsage;
    }
    char why[200];
    describeLoadReport(&doc->report, why, sizeof why);
    fputs("twk: ", err);
    putPath(err, path);
    fprintf(err, ": %s\n", why);
    return kTwkLoadFailed;
}

static void startDocument(Document* doc) {
    memset(doc, 0, sizeof *doc);
    initList(&doc->list);
    setTitle(&doc->list, kDefaultTitle);
}

int loadDocument(const PathChar* path, Document* doc, FILE* err) {
    startDocument(doc);
    doc->loaded = readNoteFileEx(&doc->list, path, &doc->options, &doc->categories, kOpenStreams,
                                 &doc->report);
    return explainLoad(path, doc, err);
}

int loadDocumentFrom(const PathChar* path, InputStream* input, Document* doc, FILE* err) {
    startDocument(doc);
    doc->loaded = readNoteHandle(&doc->list, input->file, input->head, input->headSize,
                                 &doc->options, &doc->categories, &doc->report);
    input->headTaken = input->headSize;
    if (doc->report.problem == kLoadReadError)
        input->readFailed = 1;
    return explainLoad(path, doc, err);
}

static void cannotRead(const PathChar* path, FILE* err) {
    fputs("twk: cannot read ", err);
    putPath(err, path);
    fputs("; nothing was written\n", err);
}

int openInput(const PathChar* path, InputStream* input, FILE* err) {
    memset(input, 0, sizeof *input);
    input->ops = currentFileOps();
    input->file = input->ops->openRead(path, kOpenStreams);
    if (!input->file) {
        cannotOpen(path, err);
        return kTwkUsage;
    }
    while (input->headSize < sizeof input->head) {
        long n = input->ops->read(input->file, input->head + input->headSize,
                                  sizeof input->head - input->headSize);
        if (n < 0) {
            cannotRead(path, err);
            closeInput(input);
            return kTwkLoadFailed;
        }
        if (n == 0)
            break;
        input->headSize += (size_t)n;
    }
    return kTwkOk;
}

void closeInput(InputStream* input) {
    if (input->file)
        input->ops->close(input->file);
    input->file = nullptr;
}

long readInput(void* context, void* buffer, size_t bytes) {
    InputStream* input = (InputStream*)context;
    if (input->headTaken < input->headSize) {
        size_t n = input->headSize - input->headTaken;
        if (n > bytes)
            n = bytes;
        memcpy(buffer, input->head + input->headTaken, n);
        input->headTaken += n;
        return (long)n;
    }
    long n = input->ops->read(input->file, buffer, bytes);
    if (n < 0)
        input->readFailed = 1;
    return n;
}

void freeDocument(Document* doc) {
    clearList(&doc->list);
    clearCategories(&doc->categories);
}

static void putField(FILE* out, const WideChar* field, size_t chars) {
    putJsonString(out, field, wideLength(field, chars));
}

static void putItem(FILE* out, const NoteItem* item) {
    fputs("{\"name\":", out);
    putField(out, item->name, kNameChars);
    fprintf(out, ",\"id\":%lu,\"parentId\":%lu,\"level\":%lu", (unsigned long)item->id,
            (unsigned long)item->parentId, (unsigned long)item->level);
    fprintf(out, ",\"icon\":%u,\"priority\":%u,\"colour\":%u,\"checkState\":%u", item->icon,
            item->priority, item->colour, item->checkState);
    fputs(",\"category\":", out);
    putField(out, item->category, kCategoryChars);
    const SystemDate& d = item->dueDate;
    fprintf(out, ",\"dueDate\":[%u,%u,%u,%u,%u,%u,%u,%u]", d.year, d.month, d.dayOfWeek, d.day,
            d.hour, d.minute, d.second, d.milliseconds);
    fputs(",\"taskTime\":", out);
    putField(out, item->taskTime, kTaskTimeChars);
    fprintf(out, ",\"taskTimeUnit\":%ld,\"note\":", (long)item->taskTimeUnit);
    if (item->note)
        putJsonString(out, item->note, noteLength(item));
    else
        fputs("null", out);
    fputs("}", out);
}

static int commandJson(const PathChar* path, FILE* out, FILE* err) {
    Document doc;
    int status = loadDocument(path, &doc, err);
    if (status == kTwkUsage)
        return status;
    fputs("{\"version\":", out);
    if (doc.report.hasVersion)
        fprintf(out, "%ld", (long)doc.report.version);
    else
        fputs("null", out);
    fprintf(out, ",\"nextId\":%ld,\"rootState\":%lu,\"title\":", (long)doc.list.nextId,
            (unsigned long)doc.list.rootState);
    putField(out, doc.list.title, kTitleChars);
    const ViewOptions& o = doc.options;
    fprintf(out, ",\"viewMode\":%ld,\"hideChecked\":%ld,\"ascending\":%ld,\"arrangeKey\":%ld",
            (long)o.viewMode, (long)o.hideChecked, (long)o.ascending, (long)o.arrangeKey);
    fputs(",\"categories\":[", out);
    for (int32_t i = 0; i < doc.categories.count; ++i) {
        if (i)
            fputs(",", out);
        putField(out, doc.categories.names[i], kCategoryChars);
    }
    fputs("],\"items\":[", out);
    for (const NoteItem* item = doc.list.head; item; item = item->next) {
        putItem(out, item);
        if (item->next)
            fputs(",\n", out);
    }
    fputs("]}\n", out);
    freeDocument(&doc);
    return status;
}

namespace {

// Indentation stops growing here: a crafted chain of a million levels would
// otherwise print terabytes of blanks. Deeper lines say their depth instead.
enum { kOutlineIndentCap = 64 };

} // namespace

static void putOutlineLine(FILE* out, const NoteItem* item, int32_t depth) {
    int32_t indent = depth < kOutlineIndentCap ? depth : kOutlineIndentCap;
    for (int32_t i = 0; i < indent; ++i)
        fputs("  ", out);
    if (depth > kOutlineIndentCap)
        fprintf(out, "(%d) ", (int)depth);
    fputs(item->checkState == kChecked ? "[x] " : "[ ] ", out);
    putUtf8(out, item->name, wideLength(item->name, kNameChars));
    fputs("\n", out);
}

static int commandOutline(const PathChar* path, FILE* out, FILE* err) {
    Document doc;
    int status = loadDocument(path, &doc, err);
    if (status == kTwkUsage)
        return status;
    putUtf8(out, doc.list.title, wideLength(doc.list.title, kTitleChars));
    fputs("\n", out);
    // Every item is listed, checked ones too, so that the marks show.
    ViewPlan plan;
    if (!planDefaultView(&doc.list, 0, &plan)) {
        fputs("twk: out of memory\n", err);
        freeDocument(&doc);
        return kTwkLoadFailed;
    }
    // Walk the plan depth-first without recursion: a chain may be deep.
    int32_t node = planFirstChild(&plan, kPlanRoot);
    int32_t depth = 1;
    while (node != -1) {
        putOutlineLine(out, plan.nodes[node].item, depth);
        int32_t child = planFirstChild(&plan, node);
        if (child != -1) {
            node = child;
            ++depth;
            continue;
        }
        while (node != -1 && plan.nextSibling[node] == -1) {
            node = plan.nodes[node].parent;
            --depth;
        }
        if (node != -1)
            node = plan.nextSibling[node];
    }
    int32_t hidden = doc.list.count - plan.count;
    if (hidden > 0)
        fprintf(out, "(%ld items not shown: their parent is missing or they nest too deep)\n",
                (long)hidden);
    freeViewPlan(&plan);
    freeDocument(&doc);
    return status;
}

static int commandConvert(const PathChar* in, const PathChar* outPath, FILE* err) {
    if (sameFile(in, outPath)) {
        fputs("twk: convert never replaces the file it reads; name another OUT\n", err);
        return kTwkUsage;
    }
    InputStream input;
    int status = openInput(in, &input, err);
    if (status != kTwkOk)
        return status;
    if (looksLikeXml(input.head, input.headSize)) {
        status = convertOpml(in, &input, outPath, err);
        closeInput(&input);
        return status;
    }
    Document doc;
    status = loadDocumentFrom(in, &input, &doc, err);
    closeInput(&input);
    // What could be read is written even after a failed load, to rescue it;
    // after a read error the input is no longer trusted to be what it was.
    if (input.readFailed) {
        cannotRead(in, err);
        status = kTwkLoadFailed;
    } else if (!writeNoteFile(&doc.list, outPath, &doc.options)) {
        fputs("twk: cannot write ", err);
        putPath(err, outPath);
        fputs("\n", err);
        status = kTwkLoadFailed;
    }
    freeDocument(&doc);
    return status;
}

static int runCommand(int argc, PathChar** argv, FILE* out, FILE* err) {
    if (argc == 3 && isWord(argv[1], "json"))
        return commandJson(argv[2], out, err);
    if (argc == 3 && isWord(argv[1], "outline"))
        return commandOutline(argv[2], out, err);
    if (argc == 3 && isWord(argv[1], "opml"))
        return commandOpml(argv[2], out, err);
    if (argc == 3 && isWord(argv[1], "markdown"))
        return commandMarkdown(argv[2], out, err);
    if (argc == 4 && isWord(argv[1], "convert"))
        return commandConvert(argv[2], argv[3], err);
    return usage(err);
}

// Output that did not reach its place (a full disk, a closed pipe) is a
// failure, whatever the command printed before: what stands there is cut.
int twkMain(int argc, PathChar** argv, FILE* out, FILE* err) {
    int status = runCommand(argc, argv, out, err);
    bool written = fflush(out) == 0 && !ferror(out);
    if (!written && status != kTwkUsage) {
        fputs("twk: the output could not be written whole\n", err);
        return kTwkLoadFailed;
    }
    return status;
}
