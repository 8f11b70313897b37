#include "json/node.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <unordered_set>

namespace tarvelo::json::detail {

namespace {

constexpr size_t kSmallestChunk = 1024;
constexpr size_t kLargestGrowth = size_t{4} << 20;
// Chunks this large are aligned to and sized in multiples of this size and marked
// for transparent huge pages: a large document touches much fresh memory, and one
// page fault per 2 MB instead of one per 4 KB keeps parse time per byte flat.
constexpr size_t kHugePage = size_t{2} << 20;
// Objects with fewer members are searched linearly; larger ones get a hash index.
constexpr uint32_t kIndexThreshold = 12;

uint32_t HashName(std::string_view name) {
  uint32_t hash = 2166136261u;  // FNV-1a
  for (unsigned char c : name) hash = (hash ^ c) * 16777619u;
  return hash;
}

uint32_t IndexCapacityFor(uint32_t members) {
  uint32_t capacity = 32;
  while (capacity < members * 2) capacity *= 2;
  return capacity;
}

// Inserts member `position` unless an earlier member has the same name: lookup
// finds the first of duplicate names.
void IndexMember(HashIndex& index, const Slot* slots, uint32_t position) {
  const std::string_view name = slots[position].name;
  const uint32_t hash = HashName(name);
  for (uint32_t i = hash & index.mask;; i = (i + 1) & index.mask) {
    HashEntry& entry = index.entries[i];
    if (entry.position == 0) {
      entry = {hash, position + 1};
      return;
    }
    if (entry.hash == hash && slots[entry.position - 1].name == name) return;
  }
}

void BuildIndex(Container* object) {
  Arena& arena = *object->arena;
  const uint32_t capacity = IndexCapacityFor(object->size);
  auto* index = arena.AllocateArray<HashIndex>(1);
  index->mask = capacity - 1;
  index->entries = arena.AllocateArray<HashEntry>(capacity);
  std::memset(static_cast<void*>(index->entries), 0, capacity * sizeof(HashEntry));
  for (uint32_t i = 0; i < object->size; ++i) IndexMember(*index, object->members, i);
  object->index = index;
}

void CopyScalar(Node* to, const Node* from) {
  switch (from->kind) {
    case Kind::Boolean: to->boolean = from->boolean; break;
    case Kind::Double: to->real = from->real; break;
    case Kind::Currency:
    case Kind::Integer: to->integer = from->integer; break;
    default: break;
  }
}

uint32_t GrownCapacity(uint32_t capacity) { return capacity < 4 ? 4 : capacity * 2; }

template <class T>
T* GrowArray(Arena& arena, T* old, uint32_t size, uint32_t new_capacity) {
  T* grown = arena.AllocateArray<T>(new_capacity);
  if (size != 0) std::memcpy(static_cast<void*>(grown), old, size * sizeof(T));
  return grown;
}

}  // namespace

Arena::Arena(size_t first_chunk)
    : cursor_(inline_), limit_(inline_ + kInlineBytes), next_chunk_size_(std::max(first_chunk, kSmallestChunk)) {}

Arena::~Arena() {
  while (chunks_ != nullptr) {
    Chunk* next = chunks_->next;
    FreeChunk(chunks_);
    chunks_ = next;
  }
}

Arena::Chunk* Arena::NewChunk(size_t bytes) {
  if (bytes < kHugePage) {
    auto* chunk = static_cast<Chunk*>(::operator new(bytes));
    chunk->huge_bytes = 0;
    return chunk;
  }
  if (bytes > std::numeric_limits<size_t>::max() / 2) throw std::bad_alloc();
  const size_t size = (bytes + kHugePage - 1) & ~(kHugePage - 1);
  void* memory = ::operator new(size, std::align_val_t{kHugePage});
  ::madvise(memory, size, MADV_HUGEPAGE);  // a hint: without it the chunk still works
  auto* chunk = static_cast<Chunk*>(memory);
  chunk->huge_bytes = size;
  return chunk;
}

void Arena::FreeChunk(Chunk* chunk) {
  if (chunk->huge_bytes == 0) {
    ::operator delete(chunk);
  } else {
    ::operator delete(chunk, std::align_val_t{kHugePage});
  }
}

void* Arena::AllocateSlow(size_t bytes) {
  const size_t wanted = std::max(next_chunk_size_, bytes + sizeof(Chunk));
  Chunk* chunk = NewChunk(wanted);
  const size_t chunk_size = std::max(wanted, chunk->huge_bytes);
  chunk->next = chunks_;
  chunks_ = chunk;
  cursor_ = reinterpret_cast<char*>(chunk) + sizeof(Chunk);
  limit_ = reinterpret_cast<char*>(chunk) + chunk_size;
  next_chunk_size_ = std::min(next_chunk_size_ * 2, std::max(next_chunk_size_, kLargestGrowth));
  void* result = cursor_;
  cursor_ += bytes;
  return result;
}

void Arena::KeepAlive(const Arena* other) {
  if (other == this) return;
  if (!kept_.empty() && kept_.back().get() == other) return;
  kept_.push_back(other->shared_from_this());
}

bool Arena::KeepsAlive(const Arena* other) const {
  std::vector<const Arena*> pending = {this};
  std::unordered_set<const Arena*> seen = {this};
  while (!pending.empty()) {
    const Arena* next = pending.back();
    pending.pop_back();
    if (next == other) return true;
    for (const auto& kept : next->kept_) {
      if (seen.insert(kept.get()).second) pending.push_back(kept.get());
    }
  }
  return false;
}

Node* NewString(Arena& arena, std::string_view text) {
  Node* node = NewNode(arena, Kind::String);
  const std::string_view copy = arena.Copy(text);
  node->chars = copy.data();
  node->size = static_cast<uint32_t>(copy.size());
  return node;
}

Slot* FindMember(Node* node, std::string_view name) {
  Slot* slots = node->members;
  if (node->size < kIndexThreshold) {
    for (uint32_t i = 0; i < node->size; ++i) {
      if (slots[i].name == name) return &slots[i];
    }
    return nullptr;
  }
  Container* object = AsContainer(node);
  if (object->index == nullptr) BuildIndex(object);
  const HashIndex& index = *object->index;
  const uint32_t hash = HashName(name);
  for (uint32_t i = hash & index.mask;; i = (i + 1) & index.mask) {
    const HashEntry& entry = index.entries[i];
    if (entry.position == 0) return nullptr;
    if (entry.hash == hash && slots[entry.position - 1].name == name) return &slots[entry.position - 1];
  }
}

void AppendMember(Node* node, std::string_view name, Node* value) {
  Container* object = AsContainer(node);
  Arena& arena = *object->arena;
  if (object->size == object->capacity) {
    object->capacity = GrownCapacity(object->capacity);
    object->members = GrowArray(arena, object->members, object->size, object->capacity);
  }
  const uint32_t position = object->size++;
  object->members[position] = {arena.Copy(name), value};
  if (object->index == nullptr) return;
  if (object->size * 2 > object->index->mask + 1) {
    object->index = nullptr;  // rebuilt larger on the next lookup
  } else {
    IndexMember(*object->index, object->members, position);
  }
}

void RemoveMemberAt(Node* node, size_t position) {
  Container* object = AsContainer(node);
  Slot* slots = object->members;
  std::memmove(static_cast<void*>(slots + position), slots + position + 1,
               (object->size - position - 1) * sizeof(Slot));
  --object->size;
  object->index = nullptr;
}

void AppendItem(Node* node, Node* value) {
  Container* array = AsContainer(node);
  if (array->size == array->capacity) {
    array->capacity = GrownCapacity(array->capacity);
    array->items = GrowArray(*array->arena, array->items, array->size, array->capacity);
  }
  array->items[array->size++] = value;
}

void RemoveItemAt(Node* array, size_t position) {
  Node** items = array->items;
  std::memmove(items + position, items + position + 1, (array->size - position - 1) * sizeof(Node*));
  --array->size;
}

Node* Adopt(Arena& target, Node* value) {
  switch (value->kind) {
    case Kind::Object:
    case Kind::Array:
    {
      Arena& owner = ArenaOf(value);
      if (&owner == &target) return value;
      if (owner.KeepsAlive(&target)) return CopyTree(target, value);
      target.KeepAlive(&owner);
      return value;
    }
    case Kind::String:
      return NewString(target, value->string());
    default: {
      Node* copy = NewNode(target, value->kind);
      CopyScalar(copy, value);
      return copy;
    }
  }
}

bool Contains(const Node* tree, const Node* node) {
  if (tree == node) return true;
  if (tree->kind != Kind::Object && tree->kind != Kind::Array) return false;
  std::vector<const Node*> pending = {tree};
  std::unordered_set<const Node*> seen;  // a subtree may be linked in several places
  const auto visit = [&](const Node* child) {
    if (child == node) return true;
    if ((child->kind == Kind::Object || child->kind == Kind::Array) && seen.insert(child).second) {
      pending.push_back(child);
    }
    return false;
  };
  while (!pending.empty()) {
    const Node* next = pending.back();
    pending.pop_back();
    for (uint32_t i = 0; i < next->size; ++i) {
      if (next->kind == Kind::Object ? visit(next->members[i].value) : visit(next->items[i])) return true;
    }
  }
  return false;
}

Node* CopyTree(Arena& arena, const Node* node) {
  switch (node->kind) {
    case Kind::Object: {
      Node* copy = NewNode(arena, Kind::Object);
      copy->size = AsContainer(copy)->capacity = node->size;
      copy->members = arena.AllocateArray<Slot>(node->size);
      for (uint32_t i = 0; i < node->size; ++i) {
        copy->members[i] = {arena.Copy(node->members[i].name), CopyTree(arena, node->members[i].value)};
      }
      return copy;
    }
    case Kind::Array: {
      Node* copy = NewNode(arena, Kind::Array);
      copy->size = AsContainer(copy)->capacity = node->size;
      copy->items = arena.AllocateArray<Node*>(node->size);
      for (uint32_t i = 0; i < node->size; ++i) copy->items[i] = CopyTree(arena, node->items[i]);
      return copy;
    }
    case Kind::String:
      return NewString(arena, node->string());
    default: {
      Node* copy = NewNode(arena, node->kind);
      CopyScalar(copy, node);
      return copy;
    }
  }
}

}  // namespace tarvelo::json::detail
