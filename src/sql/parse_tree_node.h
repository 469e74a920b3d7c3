// libpg_query's parse tree, read from its JSON into a read-only tree of our
// own: every node in one array, strings viewed in a copy of the text (decoded
// in place where they hold an escape). The reading builds no map and no
// string per member, which a general JSON library does for each of the many
// small objects of a parse tree.
//
// A node answers what the walkers ask of nlohmann::json, with the same
// answers: the same text is accepted and rejected (a rejected one gives a
// discarded root), numbers are told apart the same way (unsigned, signed,
// float), and an object is iterated in the byte order of its keys, the last
// of duplicate keys kept, as nlohmann's std::map does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace corvexa::sql::parse_tree {

struct member;

// Asking a node for a type it does not hold, as nlohmann's type_error.
class node_type_error : public std::domain_error {
 public:
  using std::domain_error::domain_error;
};

class node {
 public:
  enum class kind : std::uint8_t {
    null,
    boolean,
    number_integer,   // written with a '-'
    number_unsigned,  // written without
    number_float,
    string,
    array,
    object,
    discarded,  // the text was not JSON
  };

  class const_iterator {
   public:
    using value_type = node;
    using reference = const node&;
    using pointer = const node*;
    using difference_type = std::ptrdiff_t;
    using iterator_category = std::forward_iterator_tag;

    const_iterator() = default;
    reference operator*() const { return value(); }
    pointer operator->() const { return &value(); }
    const_iterator& operator++();
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++*this;
      return before;
    }
    bool operator==(const const_iterator&) const = default;
    // The member's key; empty for an array's element.
    std::string_view key() const;
    const node& value() const;

   private:
    friend class node;
    const_iterator(const member* at, const node* lone) : at_(at), lone_(lone) {}
    const member* at_ = nullptr;
    // A string, number or boolean iterates over itself, once.
    const node* lone_ = nullptr;
  };
  using iterator = const_iterator;

  node() = default;

  kind type() const { return kind_; }
  bool is_null() const { return kind_ == kind::null; }
  bool is_boolean() const { return kind_ == kind::boolean; }
  bool is_number_integer() const {
    return kind_ == kind::number_integer || kind_ == kind::number_unsigned;
  }
  bool is_number_unsigned() const { return kind_ == kind::number_unsigned; }
  bool is_number_float() const { return kind_ == kind::number_float; }
  bool is_number() const { return is_number_integer() || is_number_float(); }
  bool is_string() const { return kind_ == kind::string; }
  bool is_array() const { return kind_ == kind::array; }
  bool is_object() const { return kind_ == kind::object; }
  bool is_structured() const { return is_array() || is_object(); }
  bool is_primitive() const { return !is_structured() && !is_discarded(); }
  bool is_discarded() const { return kind_ == kind::discarded; }

  // Null is empty and of size 0; any other value but an array or object is
  // of size 1.
  bool empty() const { return size() == 0; }
  std::size_t size() const;

  const_iterator begin() const;
  const_iterator end() const;
  const node& front() const { return *begin(); }
  const node& back() const;

  // An array's element, unchecked as nlohmann's const operator[].
  const node& operator[](std::size_t index) const;
  // An array's element or an object's member, or std::out_of_range.
  const node& at(std::size_t index) const;
  const node& at(std::string_view key) const;

  // An object's member, or end(); end() for any other node.
  const_iterator find(std::string_view key) const;
  bool contains(std::string_view key) const { return find(key) != end(); }

  // The string's bytes, valid as long as the document; empty for a node
  // that is not a string.
  std::string_view string_view() const {
    return is_string() ? std::string_view(data_.text.data, data_.text.size) : std::string_view();
  }

  // The value as T (std::string, bool, an integer or a floating-point
  // type), converted from any number (or a boolean, for a number) as
  // static_cast does; a node of another type throws node_type_error.
  template <typename T>
  T get() const;

  // An object's member `key` as T, or `fallback` when absent; a node that
  // is not an object throws.
  template <typename T, typename = std::enable_if_t<!std::is_array_v<T>>>
  T value(std::string_view key, const T& fallback) const {
    if (!is_object()) throw node_type_error("value() of a node that is not an object");
    const_iterator found = find(key);
    return found != end() ? found->get<T>() : fallback;
  }
  std::string value(std::string_view key, const char* fallback) const {
    return value<std::string>(key, std::string(fallback));
  }

  // The compact JSON form of the node, as nlohmann's dump(): keys in their
  // order, strings escaped the same way, a float laid out the same way
  // from the shortest digits that read back to it (where nlohmann's Grisu2
  // can, rarely, give more digits).
  std::string dump() const;

 private:
  friend class document;
  friend class tree_builder;

  union payload {
    std::int64_t integer;
    std::uint64_t unsigned_integer;
    double floating;
    bool boolean;
    struct {
      const char* data;
      std::size_t size;
    } text;
    struct {
      const member* first;  // the elements (keys empty) or the members, in order
      std::size_t count;
    } items;
    struct {
      std::size_t first;  // while building: the index of the first item
      std::size_t count;
    } pending;
  };

  const member* items() const { return data_.items.first; }
  void dump_to(std::string& out) const;

  payload data_{.integer = 0};
  kind kind_ = kind::null;
};

struct member {
  std::string_view key;
  node value;
};

// A parsed text and its tree. Movable: the nodes and their strings keep
// their places.
class document {
 public:
  // Reads `json`, which the document copies; text that is not JSON
  // gives a discarded root, as does nesting deeper than max_depth.
  explicit document(std::string_view json);

  const node& root() const { return items_.back().value; }

  // Far deeper than any tree libpg_query writes, whose nesting its
  // parser's own stack limits bound; the reading keeps its own stack, so
  // this limit only bounds the memory that a hostile text may take.
  static constexpr std::size_t max_depth = 1u << 20;

 private:
  friend class tree_builder;
  std::unique_ptr<char[]> text_;
  // Every container's items, each container's in one run, then the root.
  std::vector<member> items_;
};

template <>
std::string node::get<std::string>() const;
template <>
bool node::get<bool>() const;
template <>
std::int64_t node::get<std::int64_t>() const;
template <>
std::uint64_t node::get<std::uint64_t>() const;
template <>
double node::get<double>() const;

template <typename T>
T node::get() const {
  if constexpr (std::is_floating_point_v<T>) {
    return static_cast<T>(get<double>());
  } else if constexpr (std::is_signed_v<T>) {
    return static_cast<T>(get<std::int64_t>());
  } else {
    return static_cast<T>(get<std::uint64_t>());
  }
}

inline node::const_iterator& node::const_iterator::operator++() {
  if (lone_ != nullptr)
    lone_ = nullptr;
  else
    ++at_;
  return *this;
}

inline std::string_view node::const_iterator::key() const {
  return lone_ != nullptr ? std::string_view() : at_->key;
}

inline const node& node::const_iterator::value() const {
  return lone_ != nullptr ? *lone_ : at_->value;
}

inline std::size_t node::size() const {
  switch (kind_) {
    case kind::null: return 0;
    case kind::array:
    case kind::object: return data_.items.count;
    default: return 1;
  }
}

inline node::const_iterator node::begin() const {
  if (is_structured()) return const_iterator(items(), nullptr);
  return const_iterator(nullptr, is_null() ? nullptr : this);
}

inline node::const_iterator node::end() const {
  if (is_structured()) return const_iterator(items() + data_.items.count, nullptr);
  return const_iterator(nullptr, nullptr);
}

inline const node& node::operator[](std::size_t index) const { return items()[index].value; }

inline node::const_iterator node::find(std::string_view key) const {
  if (!is_object()) return end();
  const member* first = items();
  const member* last = first + data_.items.count;
  for (const member* m = first; m != last; ++m) {
    if (m->key == key) return const_iterator(m, nullptr);
  }
  return end();
}

}  // namespace corvexa::sql::parse_tree
