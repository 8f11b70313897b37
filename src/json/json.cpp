// The public face of JSON documents: handles, path getters and setters, arrays,
// member enumeration. The node tree itself is in node.h.
#include "json/json.h"

#include <charconv>
#include <cmath>
#include <exception>
#include <limits>
#include <vector>

#include "json/node.h"
#include "json/path.h"

namespace tarvelo::json {

using detail::Arena;
using detail::Node;
using detail::PathReader;
using detail::PathStep;
using detail::Slot;

namespace {

// A handle to `node` that keeps alive what `owner` keeps alive.
Value Alias(const Value& owner, Node* node) {
  if (node == owner.node()) return owner;
  return Value(std::shared_ptr<Node>(owner.shared_node(), node));
}

Value NewDocument(Kind kind, const auto& fill) {
  auto arena = std::make_shared<Arena>();
  Node* node = detail::NewNode(*arena, kind);
  fill(*arena, node);
  return Value(std::shared_ptr<Node>(std::move(arena), node));
}

Node* Child(Node* node, const PathStep& step) {
  if (step.is_index) {
    return node->kind == Kind::Array && step.index < node->size ? node->items[step.index] : nullptr;
  }
  if (node->kind != Kind::Object) return nullptr;
  const Slot* slot = detail::FindMember(node, step.name);
  return slot != nullptr ? slot->value : nullptr;
}

Node* Walk(Node* node, std::string_view path) {
  PathReader reader(path);
  PathStep step;
  while (node != nullptr && reader.Next(step)) node = Child(node, step);
  return reader.malformed() ? nullptr : node;
}

int64_t ClampToInteger(double d) {
  constexpr double kTwoTo63 = 9223372036854775808.0;
  if (d >= kTwoTo63) return std::numeric_limits<int64_t>::max();
  if (d < -kTwoTo63) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(d);
}

int64_t RoundHalfToEven(double d) {
  if (std::isnan(d)) return 0;
  double whole = std::floor(d);
  const double fraction = d - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0)) whole += 1;
  return ClampToInteger(whole);
}

int64_t DivideRoundHalfToEven(int64_t n, int64_t divisor) {
  int64_t quotient = n / divisor;
  const int64_t remainder = n % divisor;  // has the sign of n
  const int64_t twice = remainder * 2;
  const bool odd = quotient % 2 != 0;
  if (twice > divisor || (twice == divisor && odd)) ++quotient;
  if (twice < -divisor || (twice == -divisor && odd)) --quotient;
  return quotient;
}

// from_chars takes no "+"; allow one before a digit or point.
std::string_view WithoutPlusSign(std::string_view s) {
  if (s.size() > 1 && s[0] == '+' && s[1] != '-' && s[1] != '+') s.remove_prefix(1);
  return s;
}

// The value of `s` if the whole of it is a decimal integer, else 0.
int64_t WholeInteger(std::string_view s) {
  s = WithoutPlusSign(s);
  int64_t n = 0;
  const auto [stop, error] = std::from_chars(s.data(), s.data() + s.size(), n);
  return error == std::errc() && stop == s.data() + s.size() ? n : 0;
}

// The value of `s` if the whole of it is a decimal number with "." as the
// decimal separator (whatever the locale), else 0.
double WholeReal(std::string_view s) {
  if (s.find_first_not_of("0123456789.eE+-") != std::string_view::npos) return 0;
  s = WithoutPlusSign(s);
  double d = 0;
  const auto [stop, error] = std::from_chars(s.data(), s.data() + s.size(), d);
  return error == std::errc() && stop == s.data() + s.size() ? d : 0;
}

int64_t ToInteger(const Node& node) {
  switch (node.kind) {
    case Kind::Boolean: return node.boolean ? 1 : 0;
    case Kind::Double: return RoundHalfToEven(node.real);
    case Kind::Currency: return DivideRoundHalfToEven(node.integer, 10000);
    case Kind::Integer: return node.integer;
    case Kind::String: return WholeInteger(node.string());
    default: return 0;
  }
}

double ToReal(const Node& node) {
  switch (node.kind) {
    case Kind::Boolean: return node.boolean ? 1 : 0;
    case Kind::Double: return node.real;
    case Kind::Currency: return static_cast<double>(node.integer) / 10000;
    case Kind::Integer: return static_cast<double>(node.integer);
    case Kind::String: return WholeReal(node.string());
    default: return 0;
  }
}

bool ToBoolean(const Node& node) {
  switch (node.kind) {
    case Kind::Null: return false;
    case Kind::Boolean: return node.boolean;
    case Kind::Double: return node.real != 0;
    case Kind::Currency:
    case Kind::Integer: return node.integer != 0;
    case Kind::String: return node.size != 0;
    default: return true;
  }
}

std::vector<PathStep> SplitPath(std::string_view path, bool& malformed) {
  std::vector<PathStep> steps;
  PathReader reader(path);
  PathStep step;
  while (reader.Next(step)) steps.push_back(step);
  malformed = reader.malformed();
  return steps;
}

bool AnyIndexStep(const std::vector<PathStep>& steps, size_t from) {
  for (size_t i = from; i < steps.size(); ++i) {
    if (steps[i].is_index) return true;
  }
  return false;
}

// Follows the existing part of `steps` (never the last step). Returns the
// deepest node reached and sets `reached` to the number of steps taken.
Node* FollowExisting(Node* node, const std::vector<PathStep>& steps, size_t& reached) {
  reached = 0;
  while (reached + 1 < steps.size()) {
    Node* next = Child(node, steps[reached]);
    if (next == nullptr) break;
    node = next;
    ++reached;
  }
  return node;
}

// True when the last step can be applied to `container`.
bool AcceptsLastStep(const Node* container, const PathStep& last) {
  if (last.is_index) return container->kind == Kind::Array && last.index < container->size;
  return container->kind == Kind::Object;
}

void Place(Node* container, const PathStep& last, Node* node) {
  if (last.is_index) {
    container->items[last.index] = node;
  } else if (Slot* slot = detail::FindMember(container, last.name)) {
    slot->value = node;
  } else {
    detail::AppendMember(container, last.name, node);
  }
}

// Puts the node `make(existing)` at `path`, creating missing intermediate
// objects; `existing` is the deepest node of the path that already exists.
// `make` allocates in the arena of `existing`, or gives nullptr to refuse, in
// which case nothing changes.
template <class MakeNode>
bool Assign(const Value& v, std::string_view path, const MakeNode& make) {
  if (!v) return false;
  bool malformed = false;
  const std::vector<PathStep> steps = SplitPath(path, malformed);
  if (malformed || steps.empty()) return false;
  size_t reached = 0;
  Node* existing = FollowExisting(v.node(), steps, reached);
  const bool complete = reached + 1 == steps.size();
  // Objects created on the way cannot be indexed into.
  if (complete ? !AcceptsLastStep(existing, steps.back())
               : existing->kind != Kind::Object || AnyIndexStep(steps, reached)) {
    return false;
  }
  Node* node = make(existing);
  if (node == nullptr) return false;
  Node* container = existing;
  for (size_t i = reached; i + 1 < steps.size(); ++i) {
    Node* created = detail::NewNode(detail::ArenaOf(container), Kind::Object);
    detail::AppendMember(container, steps[i].name, created);
    container = created;
  }
  Place(container, steps.back(), node);
  return true;
}

// `value` ready to be linked below `container`, or nullptr when `value` holds
// `container`: a tree that contained itself could never be printed or copied.
Node* AdoptUnlessCycle(Node* container, Node* value) {
  if (detail::Contains(value, container)) return nullptr;
  return detail::Adopt(detail::ArenaOf(container), value);
}

// The members of an object as `Member`s, owned by the range that lists them.
struct MemberList {
  std::vector<Member> members;
};

}  // namespace

Value Value::null() {
  return NewDocument(Kind::Null, [](Arena&, Node*) {});
}
Value Value::boolean(bool b) {
  return NewDocument(Kind::Boolean, [b](Arena&, Node* node) { node->boolean = b; });
}
Value Value::real(double d) {
  return NewDocument(Kind::Double, [d](Arena&, Node* node) { node->real = d; });
}
Value Value::currency(int64_t ten_thousandths) {
  return NewDocument(Kind::Currency, [ten_thousandths](Arena&, Node* node) { node->integer = ten_thousandths; });
}
Value Value::integer(int64_t n) {
  return NewDocument(Kind::Integer, [n](Arena&, Node* node) { node->integer = n; });
}
Value Value::string(std::string_view utf8) {
  return NewDocument(Kind::String, [utf8](Arena& arena, Node* node) {
    const std::string_view copy = arena.Copy(utf8);
    node->chars = copy.data();
    node->size = static_cast<uint32_t>(copy.size());
  });
}
Value Value::object() {
  return NewDocument(Kind::Object, [](Arena&, Node*) {});
}
Value Value::array() {
  return NewDocument(Kind::Array, [](Arena&, Node*) {});
}

Kind Value::kind() const { return node_ ? node_->kind : Kind::Null; }

namespace {

Value ParseWith(std::string_view text, const ItemPruning* pruning) {
  try {
    auto arena = std::make_shared<Arena>(text.size() * 2);
    Node* root = detail::ParseDocument(text, *arena, pruning);
    if (root == nullptr) return {};
    return Value(std::shared_ptr<Node>(std::move(arena), root));
  } catch (const std::exception&) {  // out of memory
    return {};
  }
}

}  // namespace

Value parse(std::string_view text) { return ParseWith(text, nullptr); }

Value parse(std::string_view text, const ItemPruning& pruning) { return ParseWith(text, &pruning); }

Value at(const Value& v, std::string_view path) {
  if (!v) return {};
  Node* node = Walk(v.node(), path);
  return node != nullptr ? Alias(v, node) : Value();
}

int64_t integer(const Value& v, std::string_view path) {
  const Node* node = Walk(v.node(), path);
  return node != nullptr ? ToInteger(*node) : 0;
}

double real(const Value& v, std::string_view path) {
  const Node* node = Walk(v.node(), path);
  return node != nullptr ? ToReal(*node) : 0;
}

std::string text(const Value& v, std::string_view path) {
  const Node* node = Walk(v.node(), path);
  if (node == nullptr) return {};
  if (node->kind == Kind::String) return std::string(node->string());
  std::string out;
  detail::PrintTo(node, out);
  return out;
}

bool boolean(const Value& v, std::string_view path) {
  const Node* node = Walk(v.node(), path);
  return node != nullptr && ToBoolean(*node);
}

Value object(const Value& v, std::string_view path) {
  Value found = at(v, path);
  return found.kind() == Kind::Object ? found : Value();
}

Value array(const Value& v, std::string_view path) {
  Value found = at(v, path);
  return found.kind() == Kind::Array ? found : Value();
}

bool set(Value& v, std::string_view path, Value value) {
  if (!value) return false;
  return Assign(v, path, [&value](Node* container) { return AdoptUnlessCycle(container, value.node()); });
}

bool set_object(Value& v, std::string_view path, Value value) { return set(v, path, std::move(value)); }

bool set_integer(Value& v, std::string_view path, int64_t n) {
  return Assign(v, path, [n](Node* container) {
    Node* node = detail::NewNode(detail::ArenaOf(container), Kind::Integer);
    node->integer = n;
    return node;
  });
}

bool set_real(Value& v, std::string_view path, double d) {
  return Assign(v, path, [d](Node* container) {
    Node* node = detail::NewNode(detail::ArenaOf(container), Kind::Double);
    node->real = d;
    return node;
  });
}

bool set_text(Value& v, std::string_view path, std::string_view s) {
  return Assign(v, path, [s](Node* container) { return detail::NewString(detail::ArenaOf(container), s); });
}

bool remove(Value& v, std::string_view path) {
  if (!v) return false;
  bool malformed = false;
  const std::vector<PathStep> steps = SplitPath(path, malformed);
  if (malformed || steps.empty()) return false;
  size_t reached = 0;
  Node* container = FollowExisting(v.node(), steps, reached);
  const PathStep& last = steps.back();
  if (reached + 1 != steps.size() || !AcceptsLastStep(container, last)) return false;
  if (last.is_index) {
    detail::RemoveItemAt(container, last.index);
    return true;
  }
  const Slot* slot = detail::FindMember(container, last.name);
  if (slot == nullptr) return false;
  detail::RemoveMemberAt(container, static_cast<size_t>(slot - container->members));
  return true;
}

size_t length(const Value& array) { return array.kind() == Kind::Array ? array.node()->size : 0; }

Value item(const Value& array, size_t i) {
  if (array.kind() != Kind::Array || i >= array.node()->size) return {};
  return Alias(array, array.node()->items[i]);
}

std::string item_text(const Value& array, size_t i) { return text(item(array, i)); }

bool append(Value& array, Value value) {
  if (array.kind() != Kind::Array || !value) return false;
  Node* target = array.node();
  if (target->size == std::numeric_limits<uint32_t>::max()) return false;
  Node* node = AdoptUnlessCycle(target, value.node());
  if (node == nullptr) return false;
  detail::AppendItem(target, node);
  return true;
}

MemberRange::MemberRange(const Value& v) {
  if (v.kind() != Kind::Object || v.node()->size == 0) return;
  const Node* object = v.node();
  auto list = std::make_shared<MemberList>();
  list->members.reserve(object->size);
  for (uint32_t i = 0; i < object->size; ++i) {
    const Slot& slot = object->members[i];
    list->members.push_back(Member{std::string(slot.name), Alias(v, slot.value)});
  }
  begin_ = list->members.data();
  end_ = begin_ + list->members.size();
  keep_ = Value(std::shared_ptr<Node>(std::move(list), v.node()));
}

size_t member_count(const Value& object) { return object.kind() == Kind::Object ? object.node()->size : 0; }

std::string print(const Value& v) {
  std::string out;
  if (v) detail::PrintTo(v.node(), out);
  return out;
}

Value clone(const Value& v) {
  if (!v) return {};
  auto arena = std::make_shared<Arena>();
  Node* root = detail::CopyTree(*arena, v.node());
  return Value(std::shared_ptr<Node>(std::move(arena), root));
}

}  // namespace tarvelo::json
