// twk's exchange with other outliners: OPML and Markdown out, OPML in.
#include "twk_commands.h"

#include "notemodel.h"
#include "outliner.h"

#include <string.h>

static void reportExport(const ExportResult& result, FILE* err) {
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

static int exportDocument(const PathChar* path, Exporter write, FILE* out, FILE* err) {
    Document doc;
    int status = loadDocument(path, &doc, err);
    if (status == kTwkUsage)
        return status;
    ExportResult result = write(&doc.list, out);
    // Output that failed is told once, by twkMain.
    if (!result.ok && !ferror(out)) {
        fputs("twk: out of memory\n", err);
        status = kTwkLoadFailed;
    }
    reportExport(result, err);
    freeDocument(&doc);
    return status;
}

int commandOpml(const PathChar* path, FILE* out, FILE* err) {
    return exportDocument(path, writeOpml, out, err);
}

int commandMarkdown(const PathChar* path, FILE* out, FILE* err) {
    return exportDocument(path, writeMarkdown, out, err);
}

int convertOpml(const PathChar* in, InputStream* input, const PathChar* outPath, FILE* err) {
    NoteList list;
    memset(&list, 0, sizeof list);
    initList(&list);
    setTitle(&list, kDefaultTitle);
    list.rootState = kRootUnchecked;
    CategoryList categories;
    memset(&categories, 0, sizeof categories);
    ViewOptions options;
    memset(&options, 0, sizeof options);
    options.ascending = 1;
    XmlSource xml = {input, readInput};
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
    // What could be read is written even after a failure, to rescue it,
    // unless the input itself failed.
    if (input->readFailed) {
        fputs("twk: cannot read ", err);
        putPath(err, in);
        fputs("; nothing was written\n", err);
        status = kTwkLoadFailed;
    } else if (!writeNoteFile(&list, outPath, &options)) {
        fputs("twk: cannot write ", err);
        putPath(err, outPath);
        fputs("\n", err);
        status = kTwkLoadFailed;
    }
    clearList(&list);
    clearCategories(&categories);
    return status;
}
