// The conversion loop of the complete rules: the file is read as PHP reads
// it (php_code.h), and only a name of the call table that PHP calls, or
// reads as a constant, goes to its rule; every other byte is copied. The
// seed's block loop (php_block.h) reads PHP by simpler rules of its own,
// which its output is defined by; this loop exists so that a name in a "#"
// comment, a heredoc or a method name is never taken for a call. It needs
// the whole file at hand, which corvexa-tree has.
#pragma once

#include <string_view>

#include "common/conversion_events.h"
#include "common/conversion_state.h"
#include "common/output_sink.h"
#include "scan/call_table.h"
#include "scan/php_code.h"

namespace corvexa {

// Converts the bytes `span` of state.code's text. The input of `state`
// holds exactly those bytes, at their offsets in the file.
void convert_code_span(conversion_state& state, code_span span);

// Converts the whole of `input` into `output` (not flushed), reporting to
// `events`.
void convert_code_exactly(std::string_view input, output_sink& output, event_sink& events,
                          const call_table& calls);

}  // namespace corvexa
