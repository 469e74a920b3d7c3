// Where the converted SQL goes: statements closed with ";" and a line
// break, and comments, each line of which starts with "-- " so that no
// byte of a commented-out statement can reach PostgreSQL or psql (a line
// starting with a backslash would be a psql command).
#pragma once

#include <string>
#include <string_view>

#include "common/output_sink.h"
#include "schema/text_match.h"

namespace corvexa::schema {

class sql_output {
 public:
  explicit sql_output(output_sink& sink) : sink_(sink) {}

  void statement(std::string_view text) {
    sink_.write(text);
    sink_.write(";\n");
    if (tap_ != nullptr) tap_->output(text);
  }
  // The statement that makes the database have extension `name`.
  void create_extension(std::string_view name) {
    statement("CREATE EXTENSION IF NOT EXISTS " + std::string(name));
  }
  // Writes `text` as "-- " lines; zero bytes and carriage returns are
  // dropped.
  void comment(std::string_view text);
  void raw(std::string_view text) {
    sink_.write(text);
    if (tap_ != nullptr) tap_->output(text);
  }
  // Hands what is written to `tap` until untap().
  void tap(text_match& tap) { tap_ = &tap; }
  void untap() { tap_ = nullptr; }

 private:
  output_sink& sink_;
  text_match* tap_ = nullptr;
};

}  // namespace corvexa::schema
