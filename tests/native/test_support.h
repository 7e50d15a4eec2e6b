// Helpers shared by the model tests: building items, a temporary folder,
// an allocator that fails on request, note-file bytes made by hand and a
// pipe that feeds bytes.
#pragma once

#include "notemodel.h"
#include "notetypes.h"

#include <stdint.h>
#include <string>
#include <thread>
#include <vector>

std::u16string text(const NoteItem& item);
NoteItem makeItem(const char16_t* name, uint32_t level = 1, uint32_t parentId = 0);

// Fails the allocation numbered failAt (0-based) and every one after it
// while installed; counts all allocations.
struct FailingAllocator {
    explicit FailingAllocator(long failAt);
    ~FailingAllocator();
    static long calls;
};

// A fresh folder under the system's temporary folder, removed at the end.
struct TempDir {
    TempDir();
    ~TempDir();
    std::string path(const char* name) const;
    std::vector<std::string> entries() const;
    std::string root;
};

// Writes bytes into a FIFO at path from another thread, as "<(...)" or a
// shell pipe gives them; the FIFO is removed at the end.
struct Pipe {
    Pipe(const std::string& path, std::vector<uint8_t> bytes);
    ~Pipe();
    std::string path;
    std::thread writer;
};

std::vector<uint8_t> readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Little-endian builders for hand-made files.
struct Bytes {
    std::vector<uint8_t> data;
    Bytes& word(int32_t value);
    Bytes& half(uint16_t value);
    Bytes& chars(const std::u16string& text);
    Bytes& field(const std::u16string& text, size_t chars); // zero-padded fixed field
    Bytes& raw(const void* p, size_t n);
    Bytes& header210(int32_t nextId, uint32_t rootState, const std::u16string& title,
                     int32_t viewMode, int32_t hideChecked, int32_t ascending, int32_t arrangeKey);
    Bytes& record(const NoteItem& item, const std::u16string& note);
};

// A whole document in memory, freed at the end.
struct Doc {
    Doc();
    ~Doc();
    NoteList list;
    ViewOptions options;
    CategoryList categories;
    std::vector<const NoteItem*> items() const;
};
