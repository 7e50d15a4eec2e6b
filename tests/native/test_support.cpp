#include "test_support.h"

#include "document_builder.h"
#include "widetext.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

std::u16string text(const NoteItem& item) {
    return std::u16string(item.name, wideLength(item.name, kNameChars));
}

NoteItem makeItem(const char16_t* name, uint32_t level, uint32_t parentId) {
    NoteItem item = blankItem();
    copyWideField(item.name, kNameChars, name, SIZE_MAX);
    item.level = level;
    item.parentId = parentId;
    return item;
}

long FailingAllocator::calls = 0;
static long gFailAt = -1;

static void* failingAlloc(size_t bytes) {
    long n = FailingAllocator::calls++;
    if (gFailAt >= 0 && n >= gFailAt)
        return nullptr;
    return calloc(1, bytes ? bytes : 1);
}

static const ModelAllocator kFailing = {failingAlloc, free};

FailingAllocator::FailingAllocator(long failAt) {
    calls = 0;
    gFailAt = failAt;
    setModelAllocator(&kFailing);
}

FailingAllocator::~FailingAllocator() {
    setModelAllocator(nullptr);
}

TempDir::TempDir() {
    char pattern[] = "/tmp/twigmark-test-XXXXXX";
    root = mkdtemp(pattern);
}

TempDir::~TempDir() {
    for (const std::string& name : entries())
        unlink((root + "/" + name).c_str());
    rmdir(root.c_str());
}

std::string TempDir::path(const char* name) const {
    return root + "/" + name;
}

std::vector<std::string> TempDir::entries() const {
    std::vector<std::string> names;
    DIR* dir = opendir(root.c_str());
    if (!dir)
        return names;
    while (dirent* e = readdir(dir))
        if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0)
            names.push_back(e->d_name);
    closedir(dir);
    return names;
}

Pipe::Pipe(const std::string& path, std::vector<uint8_t> bytes) : path(path) {
    mkfifo(path.c_str(), 0600);
    writer = std::thread([path, bytes] {
        int fd = open(path.c_str(), O_WRONLY);
        for (size_t done = 0; fd >= 0 && done < bytes.size();) {
            ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0)
                break;
            done += (size_t)n;
        }
        if (fd >= 0)
            close(fd);
    });
}

Pipe::~Pipe() {
    writer.join();
    unlink(path.c_str());
}

std::vector<uint8_t> readBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    uint8_t buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    fclose(f);
    return bytes;
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!bytes.empty())
        fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

Bytes& Bytes::word(int32_t value) {
    for (int i = 0; i < 4; ++i)
        data.push_back((uint8_t)((uint32_t)value >> (8 * i)));
    return *this;
}

Bytes& Bytes::half(uint16_t value) {
    data.push_back((uint8_t)value);
    data.push_back((uint8_t)(value >> 8));
    return *this;
}

Bytes& Bytes::chars(const std::u16string& text) {
    for (char16_t c : text)
        half(c);
    return *this;
}

Bytes& Bytes::field(const std::u16string& text, size_t chars) {
    for (size_t i = 0; i < chars; ++i)
        half(i < text.size() ? text[i] : 0);
    return *this;
}

Bytes& Bytes::raw(const void* p, size_t n) {
    data.insert(data.end(), (const uint8_t*)p, (const uint8_t*)p + n);
    return *this;
}

Bytes& Bytes::header210(int32_t nextId, uint32_t rootState, const std::u16string& title,
                        int32_t viewMode, int32_t hideChecked, int32_t ascending,
                        int32_t arrangeKey) {
    word(210).word(nextId).word((int32_t)rootState).field(title, kTitleChars);
    return word(viewMode).word(hideChecked).word(ascending).word(arrangeKey);
}

Bytes& Bytes::record(const NoteItem& item, const std::u16string& note) {
    raw(&item, kPersistentSize).word((int32_t)note.size());
    return chars(note);
}

Doc::Doc() {
    memset(this, 0, sizeof *this);
    initList(&list);
    setTitle(&list, kDefaultTitle);
}

Doc::~Doc() {
    clearList(&list);
    clearCategories(&categories);
}

std::vector<const NoteItem*> Doc::items() const {
    std::vector<const NoteItem*> all;
    for (const NoteItem* it = list.head; it; it = it->next)
        all.push_back(it);
    return all;
}
