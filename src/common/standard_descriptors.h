// Started with standard input, output or error closed, a program's first
// opened files would take those numbers, and its messages would land in
// them. Holding the three open keeps every message off the files a run
// writes: standard input on /dev/null, which reads as empty, and standard
// output and error on /dev/full, where every write fails, so that a
// program that had somewhere to write and could not does not report
// success.
#pragma once

namespace corvexa {

// Opens a stand-in for each of descriptors 0, 1 and 2 that is closed.
// Exits with status 1 if that is impossible: nothing could be reported.
void hold_standard_descriptors_open();

}  // namespace corvexa
