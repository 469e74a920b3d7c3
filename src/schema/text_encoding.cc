// UTF-8 checking and MySQL's latin1 (Windows-1252) to UTF-8.
#include "schema/text_encoding.h"

#include "schema/byte_runs.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace corvexa::schema {
namespace {

constexpr charset_info charsets[] = {
    {"utf8mb4", text_handling::utf8, "UTF8"},
    {"utf8mb3", text_handling::utf8, "UTF8"},
    {"utf8", text_handling::utf8, "UTF8"},
    {"ascii", text_handling::utf8, "UTF8"},
    {"binary", text_handling::utf8, "UTF8"},
    {"latin1", text_handling::latin1, "UTF8"},
    {"latin2", text_handling::passthrough, "LATIN2"},
    {"latin5", text_handling::passthrough, "LATIN5"},
    {"latin7", text_handling::passthrough, "LATIN7"},
    {"cp1250", text_handling::passthrough, "WIN1250"},
    {"cp1251", text_handling::passthrough, "WIN1251"},
    {"cp1256", text_handling::passthrough, "WIN1256"},
    {"cp1257", text_handling::passthrough, "WIN1257"},
    {"cp866", text_handling::passthrough, "WIN866"},
    {"koi8r", text_handling::passthrough, "KOI8R"},
    {"koi8u", text_handling::passthrough, "KOI8U"},
    {"greek", text_handling::passthrough, "ISO_8859_7"},
    {"hebrew", text_handling::passthrough, "ISO_8859_8"},
    {"ujis", text_handling::passthrough, "EUC_JP"},
    {"eucjpms", text_handling::passthrough, "EUC_JP"},
    {"euckr", text_handling::passthrough, "EUC_KR"},
    {"gb2312", text_handling::passthrough, "EUC_CN"},
    {"sjis", text_handling::passthrough, "SJIS", true},
    {"cp932", text_handling::passthrough, "SJIS", true},
    {"gbk", text_handling::passthrough, "GBK", true},
    {"gb18030", text_handling::passthrough, "GB18030", true},
    {"big5", text_handling::passthrough, "BIG5", true},
};

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char c = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
    if (c != b[i]) return false;
  }
  return true;
}

// Windows-1252's characters for 0x80-0x9F; MySQL maps the five bytes that
// Windows leaves undefined to the C1 control of the same number.
constexpr std::array<char16_t, 32> cp1252_high = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void append_latin1_byte(std::string& out, unsigned char byte) {
  char32_t code = byte >= 0x80 && byte < 0xA0 ? cp1252_high[byte - 0x80] : byte;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

const charset_info* find_charset(std::string_view mysql_name) {
  for (const charset_info& info : charsets) {
    if (same_name(mysql_name, info.mysql_name)) return &info;
  }
  return nullptr;
}

const charset_info& utf8_charset() { return charsets[0]; }

void append_plain_text(std::string& out, std::string_view bytes, text_handling handling,
                       text_problems& problems) {
  if (handling == text_handling::passthrough) {
    out.append(bytes);
    return;
  }
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t size = bytes.size();
  std::size_t start = 0;  // of the valid bytes not yet appended
  std::size_t i = 0;
  while (i < size) {
    // Eight bytes at a time: text runs between non-ASCII characters are short.
    while (i + 8 <= size) {
      std::uint64_t word;
      std::memcpy(&word, s + i, 8);
      if ((word & 0x8080808080808080u) != 0) break;
      i += 8;
    }
    while (i < size && s[i] < 0x80) ++i;
    if (i == size) break;
    std::size_t length =
        handling == text_handling::utf8 ? utf8_character_length(s + i, size - i) : 0;
    if (length > 0) {
      i += length;
      continue;
    }
    out.append(bytes.data() + start, i - start);
    if (handling == text_handling::utf8) problems.invalid_utf8 = true;
    append_latin1_byte(out, s[i]);
    start = ++i;
  }
  out.append(bytes.data() + start, size - start);
}

std::size_t unchanged_text_run(const char* p, std::size_t n, text_handling handling) {
  if (handling == text_handling::passthrough) return special_run(p, n, '\'');
  const auto* s = reinterpret_cast<const unsigned char*>(p);
  std::size_t i = 0;
  for (;;) {
    i += plain_run(p + i, n - i, '\'');
    if (i == n || s[i] < 0x80 || handling != text_handling::utf8) return i;
    std::size_t length = utf8_character_length(s + i, n - i);
    if (length == 0) return i;
    i += length;
  }
}

void append_text(std::string& out, std::string_view bytes, text_handling handling,
                 text_problems& problems, char quote) {
  // special_run stops at a backslash too, which is plain here.
  char stop = quote != 0 ? quote : '\\';
  std::size_t i = 0;
  while (i < bytes.size()) {
    std::size_t run = i + special_run(bytes.data() + i, bytes.size() - i, stop);
    while (run < bytes.size() && bytes[run] == '\\') {
      run += 1 + special_run(bytes.data() + run + 1, bytes.size() - run - 1, stop);
    }
    append_plain_text(out, bytes.substr(i, run - i), handling, problems);
    if (run == bytes.size()) break;
    if (bytes[run] == '\0') {
      problems.zero_byte = true;
    } else {
      out += quote;
      out += quote;
    }
    i = run + 1;
  }
}

std::size_t character_count(std::string_view utf8) {
  std::size_t count = 0;
  for (char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

}  // namespace corvexa::schema
