// The temporary folder a test process writes its files into, removed when the process ends.
#pragma once
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// Made on first use under /tmp with a name no other process has, since test processes run in parallel.
inline std::string TempFolder() {
  static std::string folder;
  if (folder.empty()) {
    char pattern[] = "/tmp/vems_tests_XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) std::abort();
    folder = made;
    std::atexit([] { std::filesystem::remove_all(folder); });
  }
  return folder;
}
