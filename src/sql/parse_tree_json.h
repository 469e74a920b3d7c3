// Reading libpg_query's parse tree, given as JSON: the few lookups every
// walk of it makes, each tolerant of a node of another shape (a missing or
// mistyped member reads as absent, never as an error).
#pragma once

#include <cstdint>
#include <string>

#include "sql/parse_tree_node.h"

namespace corvexa::sql::parse_tree {

using json = node;

// The member `key` of an object node, or null.
inline const json* member(const json& node, const char* key) {
  if (!node.is_object()) return nullptr;
  auto found = node.find(key);
  return found != node.end() ? &*found : nullptr;
}

// The member `key` if it is an array, or null.
inline const json* list(const json& node, const char* key) {
  const json* found = member(node, key);
  return found != nullptr && found->is_array() ? found : nullptr;
}

// The member `key` if it is a string, or empty.
inline std::string text_of(const json& node, const char* key) {
  const json* found = member(node, key);
  return found != nullptr && found->is_string() ? found->get<std::string>() : std::string();
}

// The byte offset a node gives as its "location" in the parsed text, or 0.
inline std::uint64_t location_of(const json& node) {
  const json* found = member(node, "location");
  if (found == nullptr || !found->is_number_integer() || found->get<long long>() < 0) return 0;
  return found->get<std::uint64_t>();
}

// {"String": {"sval": "..."}}, or empty for anything else (such as A_Star).
inline std::string string_field(const json& node) {
  const json* s = member(node, "String");
  return s != nullptr ? text_of(*s, "sval") : std::string();
}

}  // namespace corvexa::sql::parse_tree
