// Opening files by name: a regular file is handed over ready for ordinary reads, anything else is missing.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/regular_file.h"
#include "support/non_regular_files.h"

namespace {

TEST(RegularFileTest, NonRegularFilesAndMissingOnesAreRefusedAtOnce) {
  std::vector<NonRegularFile> refused = NonRegularFiles();
  refused.push_back({"missing file", TempFolder() + "/no such file"});
  for (const NonRegularFile& file : refused) {
    EXPECT_EQ(OpenRegularFile(file.path.c_str()), -1) << file.kind;
    EXPECT_EQ(OpenRegularFileStream(file.path.c_str()), nullptr) << file.kind;
    RegularFileStream stream(file.path);
    EXPECT_FALSE(stream.is_open()) << file.kind;
    EXPECT_TRUE(stream.fail()) << file.kind;
  }
}

TEST(RegularFileTest, ARegularFileOrALinkToOneIsReadWholeWithBlockingReads) {
  // Longer than the stream's buffer, so it is read in several fills.
  const std::string text = std::string(5000, 'x') + "\n" + std::string(5000, 'y') + " end";
  const std::string path = TempFolder() + "/plain.txt", link = TempFolder() + "/plain-link";
  std::ofstream(path) << text;
  ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);

  const int fd = OpenRegularFile(link.c_str());
  ASSERT_GE(fd, 0);
  EXPECT_EQ(fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
  EXPECT_NE(fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);
  close(fd);

  RegularFileStream stream(link);
  ASSERT_TRUE(stream.is_open());
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()), text);
  stream.close();
  EXPECT_FALSE(stream.is_open());
}

}  // namespace
