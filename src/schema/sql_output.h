// Where the converted SQL goes: statements closed with ";" and a line
// break, and comments, each line of which starts with "-- " so that no
// byte of a commented-out statement can reach PostgreSQL or psql (a line
// starting with a backslash would be a psql command).
#pragma once

#include <string_view>

#include "common/output_sink.h"

namespace corvexa::schema {

class sql_output {
 public:
  explicit sql_output(output_sink& sink) : sink_(sink) {}

  void statement(std::string_view text) {
    sink_.write(text);
    sink_.write(";\n");
  }
  // Writes `text` as "-- " lines; zero bytes and carriage returns are
  // dropped.
  void comment(std::string_view text);
  void raw(std::string_view text) { sink_.write(text); }

 private:
  output_sink& sink_;
};

}  // namespace corvexa::schema
