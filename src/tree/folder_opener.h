// The folders beneath one root folder (the source or the output folder of a
// run), reached by descriptor only. A folder is opened from its parent's
// descriptor one name at a time without following a link, or in one
// openat2 call that resolves beneath the root through no link where the
// kernel has it; so a name swapped for a link during the run can never lead
// a read or a write outside the root. Each folder keeps the identity
// (device and inode) it had when first opened or made: found to be another
// folder later, it was moved or replaced, and is refused. Only a bounded
// number of descriptors stays open, the most recently used, so that a deep
// or wide tree cannot use up the process's descriptors; a folder whose
// descriptor was closed is opened again from its nearest open ancestor.
// Safe to use from several threads.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>

#include "common/descriptor.h"

namespace corvexa {

// A folder's descriptor, kept open while anyone holds it.
using shared_folder = std::shared_ptr<const descriptor>;

// Why a folder that the run had opened or made cannot be used any more:
// for what is inside it, and for the folder itself.
inline constexpr const char* folder_moved = "its folder was moved or replaced during the run";
inline constexpr const char* this_folder_moved = "it was moved or replaced during the run";

// Opens the folder at `path`, as the user named it (a link in that name is
// followed: the user chose it). Returns why it could not, empty if it could.
std::string open_root_folder(const std::string& path, descriptor& folder);

// How many folder descriptors each of a run's two trees may keep open: a
// share of the process's limit.
std::size_t folders_kept_open();

class folder_opener {
 public:
  folder_opener(descriptor root, std::size_t most_open);

  // The folder at `relative` (names joined by "/"; empty for the root).
  // Returns why it could not be opened (folder_moved for a folder seen
  // before), empty if it was.
  std::string open(const std::string& relative, shared_folder& folder);

  // Makes the folder `relative` in its parent, or takes the real folder
  // already there, writable by this run either way (--force into a
  // read-only folder). Returns why it could not, empty if it could.
  std::string make(const std::string& relative);

  // Closes every descriptor kept, so that each folder opened from now on
  // is looked up afresh and checked to be where it was.
  void close_all();

 private:
  struct identity {
    dev_t device;
    ino_t inode;
    bool operator==(const identity&) const = default;
  };
  struct kept {
    shared_folder folder;
    std::list<std::string>::iterator place;  // in recent_
  };

  // The rest of the following, called with lock_ held.
  shared_folder nearest_open(const std::string& relative, std::size_t& names_done);
  std::string open_in_one_call(const shared_folder& from, const std::string& relative,
                               std::size_t names_done, shared_folder& folder);
  std::string open_name_by_name(shared_folder from, const std::string& relative,
                                std::size_t names_done, shared_folder& folder);
  std::string keep(const std::string& relative, descriptor opened, shared_folder& folder);
  std::string failed_open(const std::string& relative, int error) const;

  std::mutex lock_;
  shared_folder root_;
  std::size_t most_open_;
  std::unordered_map<std::string, kept> open_;
  std::list<std::string> recent_;  // paths in open_, most recently used first
  std::unordered_map<std::string, identity> identities_;
};

}  // namespace corvexa
