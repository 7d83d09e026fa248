// Opening a file by name for reading without ever blocking: only a regular file is handed over.
// A named pipe would stop the game in open() until some writer came, a device such as /dev/zero never
// ends, and a folder, a socket or a symbolic link that leads nowhere holds nothing to read; each of them
// counts as a missing file. Every file the game opens by name comes through here.
#pragma once
#include <cstdio>
#include <istream>
#include <streambuf>
#include <string>

// A descriptor open for reading (ordinary blocking reads, closed on exec), or -1 when fileName names
// nothing that opens or anything but a regular file.
int OpenRegularFile(const char* fileName);

// The same as a C stream for binary reading; null likewise.
std::FILE* OpenRegularFileStream(const char* fileName);

// An input file stream over OpenRegularFileStream: a name that is not a readable regular file leaves it
// failed from the start, so every read fails, as with a file that does not exist.
class RegularFileStream : public std::istream {
 public:
  explicit RegularFileStream(const std::string& fileName);
  ~RegularFileStream() override;
  RegularFileStream(const RegularFileStream&) = delete;
  RegularFileStream& operator=(const RegularFileStream&) = delete;

  bool is_open() const { return buffer_.file != nullptr; }
  void close();

 private:
  struct Buffer : std::streambuf {
    std::FILE* file = nullptr;
    char bytes[4096];
    int_type underflow() override;
    void Close();
  };
  Buffer buffer_;
};
