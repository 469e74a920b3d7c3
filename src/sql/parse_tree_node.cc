// The reading keeps its own stack of open containers, so that no nesting
// of the text can overflow the thread's stack. An item is first pushed on a
// stack of pending items; when its container closes, the container's items
// move, in one run, to the document's array, and the container becomes a
// pending item of its own parent. Once the root is read, the array grows no
// more and each container's index becomes a pointer.
#include "sql/parse_tree_node.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace corvexa::sql::parse_tree {

namespace {

// A byte that a string holds as it is, with no closer look: printable
// ASCII but the quote and the backslash.
constexpr std::array<bool, 256> plain_bytes = [] {
  std::array<bool, 256> plain{};
  for (int c = 0x20; c < 0x80; ++c) plain[c] = c != '"' && c != '\\';
  return plain;
}();

// Keys mostly differ in their first byte.
bool key_less(std::string_view a, std::string_view b) {
  if (!a.empty() && !b.empty() && a[0] != b[0])
    return static_cast<unsigned char>(a[0]) < static_cast<unsigned char>(b[0]);
  return a < b;
}

}  // namespace

class tree_builder {
 public:
  struct frame {
    std::size_t first;     // its first item in the pending items
    std::string_view key;  // its own key in its parent
    bool object;
  };
  // The stacks of a reading, kept by each thread for its next one.
  struct stacks {
    std::vector<member> pending;
    std::vector<frame> frames;
  };

  tree_builder(char* text, std::size_t size, std::vector<member>& out, stacks& scratch)
      : p_(text), end_(text + size), out_(out), pending_(scratch.pending), frames_(scratch.frames) {
    pending_.clear();
    frames_.clear();
  }

  // Fills `out` with every container's items and, last, the root; false
  // when the text is not JSON.
  bool run() {
    // A byte order mark is skipped; a byte that only begins one fails.
    if (p_ != end_ && static_cast<unsigned char>(*p_) == 0xEF) {
      if (end_ - p_ < 3 || static_cast<unsigned char>(p_[1]) != 0xBB ||
          static_cast<unsigned char>(p_[2]) != 0xBF)
        return false;
      p_ += 3;
    }
    std::string_view key;
    for (;;) {
      skip_space();
      if (p_ == end_) return false;
      node value;
      if (*p_ == '{' || *p_ == '[') {
        bool object = *p_ == '{';
        ++p_;
        if (frames_.size() >= document::max_depth) return false;
        frames_.push_back(frame{pending_.size(), key, object});
        skip_space();
        if (p_ != end_ && *p_ == (object ? '}' : ']')) {
          ++p_;
          value = close(key);
        } else {
          if (!next_key(object, key)) return false;
          continue;
        }
      } else if (!read_scalar(value)) {
        return false;
      }
      // Place the value, then close what the text closes until a comma
      // asks for the next value.
      for (;;) {
        if (frames_.empty()) return finish(value);
        pending_.push_back(member{key, value});
        skip_space();
        if (p_ == end_) return false;
        bool object = frames_.back().object;
        if (*p_ == ',') {
          ++p_;
          if (!next_key(object, key)) return false;
          break;
        }
        if (*p_ != (object ? '}' : ']')) return false;
        ++p_;
        value = close(key);
      }
    }
  }

 private:
  void skip_space() {
    while (p_ != end_ && (*p_ == ' ' || *p_ == '\n' || *p_ == '\r' || *p_ == '\t')) ++p_;
  }

  // Ends the innermost container: its items move to the document, and
  // `key` becomes the container's own key.
  node close(std::string_view& key) {
    frame f = frames_.back();
    frames_.pop_back();
    member* first = pending_.data() + f.first;
    member* last = pending_.data() + pending_.size();
    if (f.object) last = sorted_members(first, last);
    node container;
    container.kind_ = f.object ? node::kind::object : node::kind::array;
    container.data_.pending = {out_.size(), static_cast<std::size_t>(last - first)};
    out_.insert(out_.end(), first, last);
    pending_.resize(f.first);
    key = f.key;
    return container;
  }

  // Sorts an object's members by key, keeping only the last of equal keys;
  // returns the new end. Objects are small: an insertion sort, stable.
  static member* sorted_members(member* first, member* last) {
    for (member* m = first + 1; m < last; ++m) {
      if (!key_less(m->key, (m - 1)->key)) continue;
      member moved = *m;
      member* at = m;
      do {
        *at = *(at - 1);
        --at;
      } while (at != first && key_less(moved.key, (at - 1)->key));
      *at = moved;
    }
    member* kept = first;
    for (member* m = first; m < last; ++m) {
      if (m + 1 < last && m[1].key == m->key) continue;
      *kept++ = *m;
    }
    return kept;
  }

  bool finish(const node& root) {
    skip_space();
    if (p_ != end_) return false;
    out_.push_back(member{{}, root});
    for (member& m : out_) {
      if (!m.value.is_structured()) continue;
      std::size_t first = m.value.data_.pending.first, count = m.value.data_.pending.count;
      m.value.data_.items = {out_.data() + first, count};
    }
    return true;
  }

  // An object's next item is led by its key; an array's has none.
  bool next_key(bool object, std::string_view& key) {
    key = {};
    return !object || read_key(key);
  }

  bool read_key(std::string_view& key) {
    skip_space();
    if (p_ == end_ || *p_ != '"' || !read_string(key)) return false;
    skip_space();
    if (p_ == end_ || *p_ != ':') return false;
    ++p_;
    return true;
  }

  bool read_scalar(node& value) {
    switch (*p_) {
      case '"': {
        std::string_view text;
        if (!read_string(text)) return false;
        value.kind_ = node::kind::string;
        value.data_.text = {text.data(), text.size()};
        return true;
      }
      case 't':
        if (!read_word("true", node::kind::boolean, value)) return false;
        value.data_.boolean = true;
        return true;
      case 'f': return read_word("false", node::kind::boolean, value);
      case 'n': return read_word("null", node::kind::null, value);
      default: return read_number(value);
    }
  }

  bool read_word(std::string_view word, node::kind kind, node& value) {
    if (static_cast<std::size_t>(end_ - p_) < word.size() ||
        std::string_view(p_, word.size()) != word)
      return false;
    p_ += word.size();
    value.kind_ = kind;
    value.data_.boolean = false;
    return true;
  }

  bool digits() {
    const char* start = p_;
    while (p_ != end_ && *p_ >= '0' && *p_ <= '9') ++p_;
    return p_ != start;
  }

  // -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)? An integer beyond 64
  // bits is read as a float, and a float beyond double fails.
  bool read_number(node& value) {
    const char* start = p_;
    if (*p_ == '-') ++p_;
    if (p_ == end_ || *p_ < '0' || *p_ > '9') return false;
    if (*p_ == '0')
      ++p_;
    else
      digits();
    bool integral = true;
    if (p_ != end_ && *p_ == '.') {
      ++p_;
      if (!digits()) return false;
      integral = false;
    }
    if (p_ != end_ && (*p_ == 'e' || *p_ == 'E')) {
      ++p_;
      if (p_ != end_ && (*p_ == '+' || *p_ == '-')) ++p_;
      if (!digits()) return false;
      integral = false;
    }
    if (integral && *start == '-') {
      auto [at, error] = std::from_chars(start, p_, value.data_.integer);
      if (error == std::errc()) return (value.kind_ = node::kind::number_integer), true;
    } else if (integral) {
      auto [at, error] = std::from_chars(start, p_, value.data_.unsigned_integer);
      if (error == std::errc()) return (value.kind_ = node::kind::number_unsigned), true;
    }
    // strtod, as the C library rounds and underflows; the text is copied
    // for its terminating NUL.
    double number = std::strtod(std::string(start, static_cast<const char*>(p_)).c_str(), nullptr);
    if (!std::isfinite(number)) return false;
    value.kind_ = node::kind::number_float;
    value.data_.floating = number;
    return true;
  }

  // The bytes of a well-formed UTF-8 sequence that starts at p_, or 0.
  std::size_t utf8_length() const {
    auto byte = [&](std::size_t i) {
      return p_ + i < end_ ? static_cast<unsigned char>(p_[i]) : 0u;
    };
    auto in = [](unsigned b, unsigned low, unsigned high) { return b >= low && b <= high; };
    unsigned lead = byte(0);
    if (in(lead, 0xC2, 0xDF)) return in(byte(1), 0x80, 0xBF) ? 2 : 0;
    if (in(lead, 0xE0, 0xEF)) {
      unsigned low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
      return in(byte(1), low, high) && in(byte(2), 0x80, 0xBF) ? 3 : 0;
    }
    if (in(lead, 0xF0, 0xF4)) {
      unsigned low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
      return in(byte(1), low, high) && in(byte(2), 0x80, 0xBF) && in(byte(3), 0x80, 0xBF) ? 4 : 0;
    }
    return 0;
  }

  // A string from the quote at p_. Its bytes stay where they are unless
  // it has an escape: then it is decoded in place, never longer than its
  // escaped form.
  bool read_string(std::string_view& text) {
    char* start = ++p_;
    // Most strings are plain ASCII: scanned with a local pointer, which
    // the writes of the decoding below would make the compiler reload.
    const char* scan = start;
    while (scan != end_ && plain_bytes[static_cast<unsigned char>(*scan)]) ++scan;
    p_ += scan - start;
    if (p_ != end_ && *p_ == '"') {
      text = std::string_view(start, p_ - start);
      ++p_;
      return true;
    }
    char* write = nullptr;
    for (;;) {
      if (p_ == end_) return false;
      unsigned char c = static_cast<unsigned char>(*p_);
      if (c == '"') {
        text = std::string_view(start, (write != nullptr ? write : p_) - start);
        ++p_;
        return true;
      }
      if (c == '\\') {
        if (write == nullptr) write = p_;
        ++p_;
        if (!read_escape(write)) return false;
        continue;
      }
      if (c < 0x20) return false;
      std::size_t n = c < 0x80 ? 1 : utf8_length();
      if (n == 0) return false;
      if (write != nullptr) {
        std::memmove(write, p_, n);
        write += n;
      }
      p_ += n;
    }
  }

  bool read_escape(char*& write) {
    if (p_ == end_) return false;
    char escaped = *p_++;
    switch (escaped) {
      case '"':
      case '\\':
      case '/': *write++ = escaped; return true;
      case 'b': *write++ = '\b'; return true;
      case 'f': *write++ = '\f'; return true;
      case 'n': *write++ = '\n'; return true;
      case 'r': *write++ = '\r'; return true;
      case 't': *write++ = '\t'; return true;
      case 'u': break;
      default: return false;
    }
    long code = hex4();
    if (code < 0 || (code >= 0xDC00 && code <= 0xDFFF)) return false;
    if (code >= 0xD800 && code <= 0xDBFF) {
      if (end_ - p_ < 2 || p_[0] != '\\' || p_[1] != 'u') return false;
      p_ += 2;
      long low = hex4();
      if (low < 0xDC00 || low > 0xDFFF) return false;
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    }
    write_utf8(static_cast<std::uint32_t>(code), write);
    return true;
  }

  // Four hex digits, or -1.
  long hex4() {
    if (end_ - p_ < 4) return -1;
    long code = 0;
    for (int i = 0; i < 4; ++i) {
      char c = *p_++;
      int digit = c >= '0' && c <= '9'   ? c - '0'
                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                         : -1;
      if (digit < 0) return -1;
      code = code * 16 + digit;
    }
    return code;
  }

  static void write_utf8(std::uint32_t code, char*& write) {
    auto put = [&](std::uint32_t byte) { *write++ = static_cast<char>(byte); };
    if (code < 0x80) {
      put(code);
    } else if (code < 0x800) {
      put(0xC0 | (code >> 6));
      put(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      put(0xE0 | (code >> 12));
      put(0x80 | ((code >> 6) & 0x3F));
      put(0x80 | (code & 0x3F));
    } else {
      put(0xF0 | (code >> 18));
      put(0x80 | ((code >> 12) & 0x3F));
      put(0x80 | ((code >> 6) & 0x3F));
      put(0x80 | (code & 0x3F));
    }
  }

  char* p_;
  char* end_;
  std::vector<member>& out_;
  std::vector<member>& pending_;
  std::vector<frame>& frames_;
};

document::document(std::string_view json) : text_(new char[json.size()]) {
  std::memcpy(text_.get(), json.data(), json.size());
  // About one item for each 10 bytes of libpg_query's JSON.
  items_.reserve(json.size() / 8 + 1);
  thread_local tree_builder::stacks scratch;
  bool read = tree_builder(text_.get(), json.size(), items_, scratch).run();
  // A hostile text's stacks are not kept.
  if (scratch.pending.capacity() + scratch.frames.capacity() > 1u << 16) scratch = {};
  if (!read) {
    items_.clear();
    node discarded;
    discarded.kind_ = node::kind::discarded;
    items_.push_back(member{{}, discarded});
  }
}

const node& node::back() const {
  if (is_structured()) return items()[data_.items.count - 1].value;
  return front();
}

const node& node::at(std::size_t index) const {
  if (!is_array()) throw node_type_error("at() with an index of a node that is not an array");
  if (index >= data_.items.count) throw std::out_of_range("array index out of range");
  return items()[index].value;
}

const node& node::at(std::string_view key) const {
  if (!is_object()) throw node_type_error("at() with a key of a node that is not an object");
  const_iterator found = find(key);
  if (found == end()) throw std::out_of_range("key not found: " + std::string(key));
  return *found;
}

template <>
std::string node::get<std::string>() const {
  if (!is_string()) throw node_type_error("not a string");
  return std::string(string_view());
}

template <>
bool node::get<bool>() const {
  if (!is_boolean()) throw node_type_error("not a boolean");
  return data_.boolean;
}

template <>
std::int64_t node::get<std::int64_t>() const {
  switch (kind_) {
    case kind::number_integer: return data_.integer;
    case kind::number_unsigned: return static_cast<std::int64_t>(data_.unsigned_integer);
    case kind::number_float: return static_cast<std::int64_t>(data_.floating);
    case kind::boolean: return data_.boolean ? 1 : 0;
    default: throw node_type_error("not a number");
  }
}

template <>
std::uint64_t node::get<std::uint64_t>() const {
  switch (kind_) {
    case kind::number_integer: return static_cast<std::uint64_t>(data_.integer);
    case kind::number_unsigned: return data_.unsigned_integer;
    case kind::number_float: return static_cast<std::uint64_t>(data_.floating);
    case kind::boolean: return data_.boolean ? 1 : 0;
    default: throw node_type_error("not a number");
  }
}

template <>
double node::get<double>() const {
  switch (kind_) {
    case kind::number_integer: return static_cast<double>(data_.integer);
    case kind::number_unsigned: return static_cast<double>(data_.unsigned_integer);
    case kind::number_float: return data_.floating;
    case kind::boolean: return data_.boolean ? 1 : 0;
    default: throw node_type_error("not a number");
  }
}

namespace {

void dump_string(std::string_view text, std::string& out) {
  static constexpr char hex[] = "0123456789abcdef";
  out += '"';
  for (char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          out += "\\u00";
          out += hex[(c >> 4) & 0xF];
          out += hex[c & 0xF];
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

// As nlohmann writes a double: its shortest digits, in plain decimals for
// a decimal exponent from -4 to 15, else as d.ddde+XX; ".0" ends a whole
// number.
void dump_float(double number, std::string& out) {
  if (number == 0) {
    out += std::signbit(number) ? "-0.0" : "0.0";
    return;
  }
  char buffer[40];
  auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::scientific);
  std::string_view text(buffer, error == std::errc() ? end - buffer : 0);
  if (!text.empty() && text.front() == '-') {
    out += '-';
    text.remove_prefix(1);
  }
  std::size_t e = text.find('e');
  if (e == std::string_view::npos) return;
  std::string digits;
  for (char c : text.substr(0, e)) {
    if (c != '.') digits += c;
  }
  int exponent = 0;
  std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(),
                  exponent);
  int k = static_cast<int>(digits.size()), n = exponent + 1;
  if (k <= n && n <= 15) {
    out.append(digits).append(n - k, '0').append(".0");
  } else if (0 < n && n <= 15) {
    out.append(digits, 0, n).append(1, '.').append(digits, n);
  } else if (-4 < n && n <= 0) {
    out.append("0.").append(-n, '0').append(digits);
  } else {
    out.append(1, digits[0]);
    if (k > 1) out.append(1, '.').append(digits, 1);
    int shown = n - 1;
    out.append(shown < 0 ? "e-" : "e+");
    shown = std::abs(shown);
    if (shown < 10) out.append(1, '0');
    out.append(std::to_string(shown));
  }
}

}  // namespace

void node::dump_to(std::string& out) const {
  switch (kind_) {
    case kind::null: out += "null"; return;
    case kind::boolean: out += data_.boolean ? "true" : "false"; return;
    case kind::number_integer: out += std::to_string(data_.integer); return;
    case kind::number_unsigned: out += std::to_string(data_.unsigned_integer); return;
    case kind::number_float: dump_float(data_.floating, out); return;
    case kind::string: dump_string(string_view(), out); return;
    case kind::discarded: out += "<discarded>"; return;
    case kind::array:
    case kind::object: break;
  }
  out += is_object() ? '{' : '[';
  for (const_iterator it = begin(); it != end(); ++it) {
    if (it != begin()) out += ',';
    if (is_object()) {
      dump_string(it.key(), out);
      out += ':';
    }
    it->dump_to(out);
  }
  out += is_object() ? '}' : ']';
}

std::string node::dump() const {
  std::string out;
  dump_to(out);
  return out;
}

}  // namespace corvexa::sql::parse_tree
