// Names that open as anything but a regular file, for the tests of every reader of files by name.
#pragma once
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/temp_files.h"

struct NonRegularFile {
  std::string kind;
  std::string path;
};

// A named pipe nobody writes to (a blocking open would wait for good), a folder, a character device that
// never ends, a socket, and a symbolic link that leads to itself. Made once per test process.
inline const std::vector<NonRegularFile>& NonRegularFiles() {
  static std::vector<NonRegularFile> made;
  if (!made.empty()) return made;
  const std::string folder = TempFolder() + "/non-regular";
  const std::string pipe = folder + "/pipe", inner = folder + "/folder", socketPath = folder + "/socket",
                    loop = folder + "/loop";
  if (mkdir(folder.c_str(), 0700) != 0 || mkfifo(pipe.c_str(), 0600) != 0 || mkdir(inner.c_str(), 0700) != 0 ||
      symlink("loop", loop.c_str()) != 0)
    std::abort();
  // The socket file stays when the socket itself is closed; opening it by name fails all the same.
  const int s = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  if (s < 0 || socketPath.size() >= sizeof address.sun_path) std::abort();
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
  if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) std::abort();
  close(s);
  made = {{"named pipe", pipe}, {"folder", inner}, {"character device", "/dev/zero"}, {"socket", socketPath},
          {"symbolic link loop", loop}};
  return made;
}
