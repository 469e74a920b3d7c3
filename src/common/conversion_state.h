// The record of one conversion run. The driver creates it, the scanner and
// the call rules share it by reference, and it lives for the whole run. It
// ties together the input, the output, the console and the few texts that
// outlive a single call: the database name of the run and the variable that
// remembering calls store for later calls to use as their default link.
#pragma once

#include <string>

#include "common/input_buffer.h"
#include "common/output_sink.h"
#include "common/shared_text.h"

namespace corvexa {

class call_table;

struct conversion_state {
  conversion_state(input_buffer& input, output_sink& output,
                   output_sink& console_sink, const call_table& calls)
      : input_stream(input),
        output_stream(output),
        console(console_sink),
        call_names(calls) {}

  input_buffer& input_stream;
  output_sink& output_stream;
  // Messages for the user: warnings, parse errors and advice.
  output_sink& console;
  // The calls the block loop hands to rules; empty for a plain copy.
  const call_table& call_names;

  // The PostgreSQL database the converted code connects to.
  std::string database_name = "default";
  // The last variable read before the latest remembering call; empty
  // until such a call is met. Shared with the block loop's last variable
  // rather than copied from it.
  shared_text remembered_variable;
  std::string input_path;
  std::string output_path;
};

}  // namespace corvexa
