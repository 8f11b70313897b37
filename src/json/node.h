// Internal representation of JSON values.
//
// Every node lives in an `Arena`: a bump allocator owned by a shared_ptr. A `Value`
// handle is an aliasing shared_ptr that points at a node and owns the arena holding
// it (or an arena that keeps that one alive), so freeing a document is freeing its
// arena's chunks, and no node has a destructor to run.
//
// Children are linked by raw pointers. When a node from another arena is linked into
// this one (a setter or `append` with a value built elsewhere), the target arena
// keeps the other arena alive. Scalars are immutable, so they are copied instead,
// and so is a container whose arena already keeps the target arena alive: two
// arenas keeping each other alive would never be freed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "json/json.h"

namespace tarvelo::json::detail {

inline constexpr int kMaxDepth = 30;  // nesting levels of objects and arrays

class Arena : public std::enable_shared_from_this<Arena> {
 public:
  // `first_chunk` is a size hint for the first heap chunk (parsers know the input
  // size); small values live in the arena's own inline buffer.
  explicit Arena(size_t first_chunk = 0);
  ~Arena();
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;

  // 8-byte aligned, uninitialised.
  void* Allocate(size_t bytes) {
    bytes = (bytes + 7) & ~size_t{7};
    if (static_cast<size_t>(limit_ - cursor_) < bytes) return AllocateSlow(bytes);
    void* result = cursor_;
    cursor_ += bytes;
    return result;
  }
  template <class T>
  T* AllocateArray(size_t count) {
    return static_cast<T*>(Allocate(count * sizeof(T)));
  }
  // A copy of `s` in the arena (not NUL-terminated).
  std::string_view Copy(std::string_view s) {
    if (s.empty()) return {};
    char* bytes = AllocateArray<char>(s.size());
    std::memcpy(bytes, s.data(), s.size());
    return {bytes, s.size()};
  }
  // Keeps `other` alive as long as this arena lives.
  void KeepAlive(const Arena* other);
  // True when this arena is `other` or keeps it alive, directly or through others.
  bool KeepsAlive(const Arena* other) const;

 private:
  void* AllocateSlow(size_t bytes);

  static constexpr size_t kInlineBytes = 192;
  struct Chunk {
    Chunk* next;
    size_t huge_bytes;  // size of a huge-page-aligned chunk, 0 for a plain one
  };
  static Chunk* NewChunk(size_t bytes);
  static void FreeChunk(Chunk* chunk);
  Chunk* chunks_ = nullptr;
  char* cursor_;
  char* limit_;
  size_t next_chunk_size_;
  std::vector<std::shared_ptr<const Arena>> kept_;
  alignas(8) char inline_[kInlineBytes];
};

struct Node;

struct Slot {
  std::string_view name;
  Node* value;
};

struct HashEntry {
  uint32_t hash;
  uint32_t position;  // index into the member slots + 1; 0 = empty
};

struct HashIndex {
  uint32_t mask;  // capacity - 1, capacity a power of two
  HashEntry* entries;
};

// Scalars carry only the first 16 bytes; objects and arrays are `Container`s,
// which add what growing and sharing them needs. A parsed document is mostly
// scalars, so keeping them small keeps the document small.
struct Node {
  Kind kind;
  uint32_t size;  // bytes of a string, members of an object, items of an array
  union {
    bool boolean;
    double real;
    int64_t integer;   // Integer, and Currency in 1/10000 units
    const char* chars;  // String
    Slot* members;      // Object
    Node** items;       // Array
  };

  std::string_view string() const { return {chars, size}; }
};

struct Container : Node {
  uint32_t capacity;  // allocated member or item slots
  Arena* arena;
  HashIndex* index;  // Object only, built on demand for large objects
};

inline bool IsContainer(Kind kind) { return kind == Kind::Object || kind == Kind::Array; }

// An object or array node.
inline Container* AsContainer(Node* node) { return static_cast<Container*>(node); }
inline const Container* AsContainer(const Node* node) { return static_cast<const Container*>(node); }
inline Arena& ArenaOf(Node* container) { return *AsContainer(container)->arena; }

inline Node* NewNode(Arena& arena, Kind kind) {
  if (IsContainer(kind)) {
    Container* node = arena.AllocateArray<Container>(1);
    node->kind = kind;
    node->size = 0;
    node->integer = 0;
    node->capacity = 0;
    node->arena = &arena;
    node->index = nullptr;
    return node;
  }
  Node* node = arena.AllocateArray<Node>(1);
  node->kind = kind;
  node->size = 0;
  node->integer = 0;
  return node;
}

Node* NewString(Arena& arena, std::string_view text);

// Object members. `FindMember` is constant time on average for large objects.
Slot* FindMember(Node* object, std::string_view name);
void AppendMember(Node* object, std::string_view name, Node* value);  // name not yet present
void RemoveMemberAt(Node* object, size_t position);

void AppendItem(Node* array, Node* value);
void RemoveItemAt(Node* array, size_t position);

// The node to link below a node of `target`: containers are shared and their
// arena kept alive by `target`; scalars, and containers whose arena keeps
// `target` alive, are copied into `target`.
Node* Adopt(Arena& target, Node* value);

// True when `node` is `tree` or lies anywhere below it.
bool Contains(const Node* tree, const Node* node);

// Deep copy of `node` into `arena`.
Node* CopyTree(Arena& arena, const Node* node);

// Parses text into `arena`, leaving out what `pruning` (if any) names; nullptr
// when the text is not a JSON document.
Node* ParseDocument(std::string_view text, Arena& arena, const ItemPruning* pruning = nullptr);

void PrintTo(const Node* node, std::string& out);

}  // namespace tarvelo::json::detail
