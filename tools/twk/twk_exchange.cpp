// twk's exchange with other outliners: OPML and Markdown out, OPML in.
#include "twk_commands.h"

#include "notemodel.h"
#include "outliner.h"

#include <string.h>

namespace {

struct FileSource {
    const FileOps* ops;
    FileHandle* file;
};

long readFromFile(void* context, void* buffer, size_t bytes) {
    FileSource* source = (FileSource*)context;
    return source->ops->read(source->file, buffer, bytes);
}

void reportExport(const ExportResult& result, FILE* err) {
    if (result.droppedChars)
        fprintf(err, "twk: %ld character(s) that XML cannot hold were left out\n",
                result.droppedChars);
    if (result.leftOut)
        fprintf(err,
                "twk: %ld item(s) the tree does not show (parent missing, in a cycle or too "
                "deep) were written at the top level\n",
                (long)result.leftOut);
}

typedef ExportResult (*Exporter)(const NoteList* list, FILE* out);

int exportDocument(const PathChar* path, Exporter write, FILE* out, FILE* err) {
    Document doc;
    int status = loadDocument(path, &doc, err);
    if (status == kTwkUsage)
        return status;
    ExportResult result = write(&doc.list, out);
    if (!result.ok) {
        fputs("twk: out of memory, or the output could not be written\n", err);
        status = kTwkLoadFailed;
    }
    reportExport(result, err);
    freeDocument(&doc);
    return status;
}

} // namespace

int commandOpml(const PathChar* path, FILE* out, FILE* err) {
    return exportDocument(path, writeOpml, out, err);
}

int commandMarkdown(const PathChar* path, FILE* out, FILE* err) {
    return exportDocument(path, writeMarkdown, out, err);
}

int inputKind(const PathChar* path) {
    const FileOps* ops = currentFileOps();
    FileHandle* file = ops->openRead(path, 0);
    if (!file)
        return kInputMissing;
    uint8_t head[512];
    size_t got = 0;
    while (got < sizeof head) {
        long n = ops->read(file, head + got, sizeof head - got);
        if (n <= 0)
            break;
        got += (size_t)n;
    }
    ops->close(file);
    return looksLikeXml(head, got) ? kInputXml : kInputNoteFile;
}

int convertOpml(const PathChar* in, const PathChar* outPath, FILE* err) {
    FileSource source = {currentFileOps(), nullptr};
    source.file = source.ops->openRead(in, 0);
    if (!source.file) {
        fputs("twk: cannot open ", err);
        putPath(err, in);
        fputs("\n", err);
        return kTwkUsage;
    }
    NoteList list;
    memset(&list, 0, sizeof list);
    initList(&list);
    setTitle(&list, kDefaultTitle);
    list.rootState = kRootUnchecked;
    CategoryList categories = {0, nullptr};
    ViewOptions options;
    memset(&options, 0, sizeof options);
    options.ascending = 1;
    XmlSource xml = {&source, readFromFile};
    XmlProblem problem;
    int status = kTwkOk;
    if (!readOpml(&xml, &list, &categories, &problem)) {
        fputs("twk: ", err);
        putPath(err, in);
        if (problem.line)
            fprintf(err, ": line %ld, column %ld", problem.line, problem.column);
        fprintf(err, ": %s\n", problem.reason);
        status = kTwkLoadFailed;
    } else if (!xmlKeepsLineBreaks()) {
        // After a failure the reason stays the only line.
        fputs("twk: warning: this system's XML reader turns line breaks in notes into spaces\n",
              err);
    }
    source.ops->close(source.file);
    // What could be read is written even after a failure, to rescue it.
    if (!writeNoteFile(&list, outPath, &options)) {
        fputs("twk: cannot write ", err);
        putPath(err, outPath);
        fputs("\n", err);
        status = kTwkLoadFailed;
    }
    clearList(&list);
    clearCategories(&categories);
    return status;
}
