// Paths compared as the file system sees them: real paths (every link and
// "." or ".." resolved), real paths of folders that do not exist yet, and
// folders compared by device and inode, which a bind mount cannot disguise.
// The checks made before a run writes anything use them.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>

namespace corvexa {

// A file's device and inode.
using file_identity = std::pair<dev_t, ino_t>;

// The real path of `path`, which must exist; false if it cannot be had.
bool real_path(const std::string& path, std::string& resolved);

// The real path `path` would have once created as `mkdir -p` creates it:
// names are taken left to right, each one that exists is resolved by
// realpath (links included), a missing one is appended as it is, and ".."
// after a missing name returns to the folder before it, as it would once
// that name had been created.
bool future_real_path(const std::string& path, std::string& resolved);

// The device and inode of `path`, links followed; false if it cannot be
// read.
bool identity_of(const std::string& path, file_identity& identity);

// True if `folder` or one of its ancestors is the folder `target` by
// device and inode: a bind mount shows the same folder under another real
// path. Ancestors that do not exist yet are skipped.
bool within_by_identity(std::string folder, const file_identity& target);

// True if the real path `inner` is `outer` or lies inside it.
bool within(const std::string& inner, const std::string& outer);

}  // namespace corvexa
