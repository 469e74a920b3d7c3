// One conversion run over files: checks and opens the input and the output,
// converts, closes both and reports. Every outcome is a console message and
// an exit status; the input file is only ever opened for reading, and the
// output is opened (created or truncated) only once the input is open and
// known not to be the same file.
#pragma once

#include "common/output_sink.h"
#include "driver/command_line.h"
#include "scan/call_table.h"

namespace corvexa {

// Returns the exit status: 0 after a completed conversion, 1 otherwise.
int run_conversion(const command_line& command, const call_table& calls, output_sink& console);

}  // namespace corvexa
