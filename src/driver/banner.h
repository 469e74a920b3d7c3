// The banner printed at the start of every run.
#pragma once

#include "common/output_sink.h"

namespace corvexa {

void print_banner(output_sink& console);

}  // namespace corvexa
