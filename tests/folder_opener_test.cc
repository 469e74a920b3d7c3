// Reading and writing through folder descriptors: a folder that the run
// opened can be renamed away and its name swapped for a link, and still no
// byte is read or written through the link; the next lookup of the name
// says that the folder was moved or replaced. The swaps happen between the
// steps of the test, so each case is deterministic.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "run_corvexa.h"
#include "tree/file_io.h"
#include "tree/folder_opener.h"

namespace corvexa {
namespace {

namespace fs = std::filesystem;
using corvexa_test::read_file;
using corvexa_test::snapshot;
using corvexa_test::temp_dir;
using corvexa_test::write_file;

folder_opener opener_for(const std::string& root, std::size_t most_open = 16) {
  descriptor folder;
  EXPECT_EQ(open_root_folder(root, folder), "");
  return folder_opener(std::move(folder), most_open);
}

// How the name of folder `d` (holding keep.txt) is taken from the run.
struct swap_case {
  const char* name;
  std::function<void(const temp_dir&)> swap;
};

const swap_case swaps[] = {
    {"renamed, and a link to another folder put in its place",
     [](const temp_dir& dir) {
       fs::rename(dir / "root/d", dir / "root/d.x");
       fs::create_directory_symlink(dir / "elsewhere", dir / "root/d");
     }},
    {"renamed, and another real folder put in its place",
     [](const temp_dir& dir) {
       fs::rename(dir / "root/d", dir / "root/d.x");
       fs::create_directory(dir / "root/d");
     }},
    {"renamed out of the tree",
     [](const temp_dir& dir) { fs::rename(dir / "root/d", dir / "moved-away"); }},
};

// A tree root/d/keep.txt, and elsewhere/keep.txt, which must never change.
void make_folders(const temp_dir& dir) {
  fs::create_directories(dir / "root/d");
  fs::create_directories(dir / "elsewhere");
  write_file(dir / "root/d/keep.txt", "in the tree");
  write_file(dir / "elsewhere/keep.txt", "elsewhere");
}

TEST(TreeFolders, WritesGoWhereTheFolderIsNotWhereItsNameLeads) {
  for (const swap_case& c : swaps) {
    SCOPED_TRACE(c.name);
    temp_dir dir;
    make_folders(dir);
    write_file(dir / "source.css", "body { }");
    auto elsewhere_before = snapshot(dir / "elsewhere");
    folder_opener output = opener_for(dir / "root");
    folder_opener source = opener_for(dir.path());
    shared_folder from, folder;
    ASSERT_EQ(source.open("", from), "");
    ASSERT_EQ(output.open("d", folder), "");

    c.swap(dir);
    EXPECT_EQ(write_file_atomically(folder->get(), "keep.txt", "written", 0640), "");
    EXPECT_EQ(copy_file_atomically(from->get(), "source.css", folder->get(), "copy.css"), "");
    EXPECT_EQ(make_link_atomically("target", folder->get(), "link"), "");

    EXPECT_EQ(snapshot(dir / "elsewhere"), elsewhere_before);
    // Everything went into the folder that was opened, wherever it is now.
    struct stat info;
    ASSERT_EQ(::fstatat(folder->get(), "keep.txt", &info, 0), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(::faccessat(folder->get(), "copy.css", F_OK, 0), 0);
    EXPECT_EQ(::faccessat(folder->get(), "link", F_OK, AT_SYMLINK_NOFOLLOW), 0);

    // Looked up again, the name no longer leads to the folder of the run.
    output.close_all();
    shared_folder again;
    EXPECT_EQ(output.open("d", again), folder_moved);
    EXPECT_EQ(output.open("d/deeper", again), folder_moved);
  }
}

TEST(TreeFolders, ALinkIsNeverAFolderToOpenMakeOrReadThrough) {
  temp_dir dir;
  make_folders(dir);
  fs::create_directory_symlink(dir / "elsewhere", dir / "root/link");
  fs::create_symlink(dir / "elsewhere/keep.txt", dir / "root/file-link");
  auto elsewhere_before = snapshot(dir / "elsewhere");
  folder_opener tree = opener_for(dir / "root");

  shared_folder folder;
  EXPECT_NE(tree.open("link", folder), "");
  EXPECT_NE(tree.open("link/deeper", folder), "");
  EXPECT_EQ(tree.make("link"), "it exists and is not a folder");
  EXPECT_EQ(tree.make("d/keep.txt"), "it exists and is not a folder");
  ASSERT_EQ(tree.open("", folder), "");
  corvexa::read_file file;
  EXPECT_NE(read_regular_file(folder->get(), "file-link", file), "");
  EXPECT_NE(copy_file_atomically(folder->get(), "file-link", folder->get(), "copy"), "");
  EXPECT_EQ(snapshot(dir / "elsewhere"), elsewhere_before);
  EXPECT_FALSE(fs::exists(dir / "root/copy"));
}

TEST(TreeFolders, MakeKeepsAnExistingFolderAndMakesItWritable) {
  temp_dir dir;
  make_folders(dir);
  ::chmod((dir / "root/d").c_str(), 0500);
  folder_opener tree = opener_for(dir / "root");
  EXPECT_EQ(tree.make("d"), "");
  EXPECT_EQ(tree.make("d/new"), "");
  struct stat info;
  ASSERT_EQ(::stat((dir / "root/d").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_TRUE(fs::is_directory(dir / "root/d/new"));
  EXPECT_EQ(read_file(dir / "root/d/keep.txt"), "in the tree");
}

// Descriptors open in this process.
std::size_t open_descriptors() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

TEST(TreeFolders, KeepsNoMoreThanItsShareOfDescriptorsOpen) {
  constexpr int depth = 300;
  constexpr std::size_t most_open = 4;
  temp_dir dir;
  fs::create_directories(dir / "root");
  folder_opener tree = opener_for(dir / "root", most_open);
  std::string path;
  std::size_t before = open_descriptors();
  for (int level = 0; level < depth; ++level) {
    path.append(level == 0 ? "d" : "/d");
    ASSERT_EQ(tree.make(path), "") << level;
    EXPECT_LE(open_descriptors(), before + most_open);
  }
  // Back up the tree, each folder opened again from the root.
  for (std::size_t length = path.size(); length > 0; length -= 2) {
    shared_folder folder;
    ASSERT_EQ(tree.open(path.substr(0, length), folder), "") << length;
    EXPECT_LE(open_descriptors(), before + most_open + 1);
    if (length == 1) break;
  }
}

}  // namespace
}  // namespace corvexa
