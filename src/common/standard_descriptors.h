// Started with standard input, output or error closed, a program's first
// opened files would take those numbers, and its messages would land in
// them. Holding the three open on /dev/null keeps every message off the
// files a run writes.
#pragma once

namespace corvexa {

// Opens /dev/null for each of descriptors 0, 1 and 2 that is closed. Exits
// with status 1 if that is impossible: nothing could be reported anyway.
void hold_standard_descriptors_open();

}  // namespace corvexa
