// Whether the PostgreSQL text written for a statement is its MySQL text,
// spacing aside: a statement that comes out as it went in needs nothing
// done, one that changed needs converting. Both texts arrive in pieces, in
// any order (an INSERT streams row by row), and are compared as they come;
// memory holds only what one side is ahead by. Outside quotes, whitespace
// and ';' do not count.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvexa::schema {

class text_match {
 public:
  void input(std::string_view bytes) { add(bytes, from_input_); }
  void output(std::string_view bytes) { add(bytes, from_output_); }
  // The output has something the input cannot have (a comment).
  void mark_different() { differs_ = true; }
  // True when the texts differ; what one side is still ahead by counts.
  bool differs() const { return differs_ || ahead_ < pending_.size(); }
  void reset();

 private:
  struct side {
    bool is_input = false;
    bool in_quote = false;
  };
  void add(std::string_view bytes, side& from);
  void take(char c, bool is_input);

  side from_input_{true, false};
  side from_output_{false, false};
  std::string pending_;    // bytes of the side that is ahead
  std::size_t ahead_ = 0;  // where they start in pending_
  bool pending_is_input_ = false;
  bool differs_ = false;
};

}  // namespace corvexa::schema
