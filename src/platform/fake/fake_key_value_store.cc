#include "platform/fake/fake_key_value_store.h"

#include <algorithm>
#include <cctype>

namespace om::fake {

namespace {

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool NameLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

// "A\\B\\C" as its parts; empty parts (a leading, doubled or trailing
// backslash) are skipped.
std::vector<std::string_view> SplitKey(std::string_view key) {
  std::vector<std::string_view> parts;
  while (!key.empty()) {
    const auto slash = key.find('\\');
    const std::string_view part = key.substr(0, slash);
    if (!part.empty()) parts.push_back(part);
    if (slash == std::string_view::npos) break;
    key.remove_prefix(slash + 1);
  }
  return parts;
}

}  // namespace

struct FakeKeyValueStore::Node {
  struct Value {
    std::string name;
    std::optional<std::string> text;  // nullopt: a value that is not a string
  };
  std::string name;
  std::vector<Value> values;
  std::vector<std::unique_ptr<Node>> children;

  Node* Child(std::string_view child_name) {
    for (auto& child : children)
      if (SameName(child->name, child_name)) return child.get();
    return nullptr;
  }
  Value* FindValue(std::string_view value_name) {
    for (auto& value : values)
      if (SameName(value.name, value_name)) return &value;
    return nullptr;
  }
};

FakeKeyValueStore::FakeKeyValueStore() : root_(std::make_unique<Node>()) {}
FakeKeyValueStore::~FakeKeyValueStore() = default;

FakeKeyValueStore::Node* FakeKeyValueStore::Find(std::string_view key) {
  Node* node = root_.get();
  for (std::string_view part : SplitKey(key)) {
    node = node->Child(part);
    if (!node) return nullptr;
  }
  return node;
}

FakeKeyValueStore::Node* FakeKeyValueStore::FindOrCreate(std::string_view key) {
  Node* node = root_.get();
  for (std::string_view part : SplitKey(key)) {
    Node* child = node->Child(part);
    if (!child) {
      node->children.push_back(std::make_unique<Node>());
      child = node->children.back().get();
      child->name = std::string(part);
    }
    node = child;
  }
  return node;
}

std::optional<std::string> FakeKeyValueStore::ReadString(std::string_view key, std::string_view name) {
  Node* node = Find(key);
  if (!node) return std::nullopt;
  Node::Value* value = node->FindValue(name);
  if (!value) return std::nullopt;
  return value->text;
}

bool FakeKeyValueStore::Write(std::string_view key, std::string_view name, std::optional<std::string> text) {
  if (read_only_) return false;
  Node* node = FindOrCreate(key);
  if (Node::Value* value = node->FindValue(name)) {
    value->text = std::move(text);
  } else {
    node->values.push_back({std::string(name), std::move(text)});
  }
  return true;
}

bool FakeKeyValueStore::WriteString(std::string_view key, std::string_view name, std::string_view value) {
  return Write(key, name, std::string(value));
}

bool FakeKeyValueStore::WriteDword(std::string_view key, std::string_view name, std::uint32_t /*value*/) {
  return Write(key, name, std::nullopt);
}

bool FakeKeyValueStore::KeyExists(std::string_view key) { return Find(key) != nullptr; }

bool FakeKeyValueStore::CreateKey(std::string_view key) {
  if (Find(key)) return true;
  if (read_only_) return false;
  FindOrCreate(key);
  return true;
}

std::vector<std::string> FakeKeyValueStore::ValueNames(std::string_view key) {
  std::vector<std::string> names;
  if (Node* node = Find(key))
    for (const auto& value : node->values) names.push_back(value.name);
  return names;
}

std::vector<std::string> FakeKeyValueStore::SubKeyNames(std::string_view key) {
  std::vector<std::string> names;
  if (Node* node = Find(key))
    for (const auto& child : node->children) names.push_back(child->name);
  std::sort(names.begin(), names.end(), NameLess);
  return names;
}

bool FakeKeyValueStore::DeleteValue(std::string_view key, std::string_view name) {
  Node* node = Find(key);
  if (!node || !node->FindValue(name)) return true;
  if (read_only_) return false;
  std::erase_if(node->values, [name](const Node::Value& v) { return SameName(v.name, name); });
  return true;
}

bool FakeKeyValueStore::DeleteTree(std::string_view key) {
  const auto parts = SplitKey(key);
  Node* node = Find(key);
  if (!node) return true;
  if (read_only_) return false;
  if (parts.empty()) {  // the root itself stays; everything in it goes
    node->values.clear();
    node->children.clear();
    return true;
  }
  Node* parent = root_.get();
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) parent = parent->Child(parts[i]);
  std::erase_if(parent->children, [node](const std::unique_ptr<Node>& child) { return child.get() == node; });
  return true;
}

}  // namespace om::fake
