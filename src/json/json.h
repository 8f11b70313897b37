// JSON documents: a tree of shared values with forgiving path access.
//
// A `Value` is a cheap handle to a reference-counted JSON value. An empty handle
// means "no value" (a missing member, a failed parse); a JSON `null` is a present
// value of kind Null. Handles share: a member taken out of a document stays valid
// after every handle to the document is gone, and a setter on a shared value is
// seen through every handle to it.
//
// Paths are member names separated by "."; a segment may end in "[n]" to index an
// array ("data[0].name", "data.12345.statistics.all.battles"). Digit-only names are
// ordinary member names. An empty path names the value itself.
//
// Getters never fail: whatever goes wrong along a path gives the default of the
// kind asked for. Text is UTF-8 throughout.
//
// Objects keep their members in document order. When a name occurs more than once,
// lookups and setters use the first. Lookup by name in a large object takes
// constant time (an index is built on the first lookup), so a document must not
// be used from several threads at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace tarvelo::json {

enum class Kind { Null = 0, Boolean = 1, Double = 2, Currency = 3, Integer = 4, Object = 5, Array = 6, String = 7 };

namespace detail {
struct Node;
}

class Value {
 public:
  Value() = default;

  static Value null();
  static Value boolean(bool b);
  static Value real(double d);
  static Value currency(int64_t ten_thousandths);  // fixed point, 1/10000 units
  static Value integer(int64_t n);
  static Value string(std::string_view utf8);
  static Value object();  // empty object
  static Value array();   // empty array

  explicit operator bool() const { return node_ != nullptr; }
  bool present() const { return node_ != nullptr; }
  Kind kind() const;  // Null for an empty handle

  // True when both handles name the very same value.
  bool same(const Value& other) const { return node_ == other.node_; }

  // Internal: the tree node behind the handle.
  explicit Value(std::shared_ptr<detail::Node> node) : node_(std::move(node)) {}
  detail::Node* node() const { return node_.get(); }
  const std::shared_ptr<detail::Node>& shared_node() const { return node_; }

 private:
  std::shared_ptr<detail::Node> node_;
};

// Parses one JSON value from the start of `text` (leading white space allowed);
// whatever follows the first complete value is ignored. Besides RFC 8259 it accepts
// a comma before "}" or "]", single-quoted names and strings, unquoted member
// names, and a value that starts with no JSON value (".53"): inside an object or
// array such a value runs to the next ",", "}" or "]" and reads as the number it
// spells (0.53) or else as null; as the whole document it is malformed. Escaped
// lone surrogates become U+FFFD. More than 30 nested levels, or malformed text,
// give an empty Value. Never throws.
Value parse(std::string_view text);

// What a pruned parse leaves out of a document: in each object that is an item
// of the array at `array_path` (member names from the root, "." between them;
// a path with an index prunes nothing), every member whose name `keep` refuses. For a reader that needs a few members
// of a long list's items.
struct ItemPruning {
  std::string_view array_path;
  std::function<bool(std::string_view name)> keep;
};
// parse(text) without the members `pruning` leaves out. Those are read all the
// same, only not kept: the text is refused exactly when parse(text) refuses it.
Value parse(std::string_view text, const ItemPruning& pruning);

// The value at `path` below `v`, or an empty Value.
Value at(const Value& v, std::string_view path = {});

// Forgiving getters.
int64_t integer(const Value& v, std::string_view path = {});
double real(const Value& v, std::string_view path = {});
std::string text(const Value& v, std::string_view path = {});
bool boolean(const Value& v, std::string_view path = {});
Value object(const Value& v, std::string_view path = {});  // empty unless an object
Value array(const Value& v, std::string_view path = {});   // empty unless an array

// Setters replace the member named by the last path segment, creating it if absent;
// missing intermediate members are created as objects. An empty path or a path
// through a non-object does nothing, and so does putting a value inside itself.
// Returns false when nothing was set.
bool set(Value& v, std::string_view path, Value value);
bool set_object(Value& v, std::string_view path, Value value);
bool set_integer(Value& v, std::string_view path, int64_t n);
bool set_real(Value& v, std::string_view path, double d);
bool set_text(Value& v, std::string_view path, std::string_view s);
// Removes the member named by the last path segment; false when there was none.
bool remove(Value& v, std::string_view path);

// Arrays. `length` of anything but an array is 0; `item` out of range is empty.
size_t length(const Value& array);
Value item(const Value& array, size_t i);
std::string item_text(const Value& array, size_t i);
bool append(Value& array, Value value);

// Member enumeration in document order: for (auto& [name, value] : members(v)).
// Anything but an object enumerates nothing. The range is valid while `v` is
// alive and not modified.
struct Member {
  std::string name;
  Value value;
};
class MemberRange {
 public:
  explicit MemberRange(const Value& v);
  const Member* begin() const { return begin_; }
  const Member* end() const { return end_; }
  size_t size() const { return static_cast<size_t>(end_ - begin_); }
  bool empty() const { return begin_ == end_; }

 private:
  Value keep_;
  const Member* begin_ = nullptr;
  const Member* end_ = nullptr;
};
inline MemberRange members(const Value& v) { return MemberRange(v); }
size_t member_count(const Value& object);

// Compact JSON: no white space, non-ASCII written as is, doubles with 15
// significant digits in the shorter of plain and exponent form. An empty Value
// prints as "". (`text` is the getter that gives a string's bare text.)
std::string print(const Value& v);

// A deep copy that shares nothing with `v`.
Value clone(const Value& v);

}  // namespace tarvelo::json
