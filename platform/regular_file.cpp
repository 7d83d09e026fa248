// Opening files by name without blocking, regular files only.
#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

int OpenRegularFile(const char* fileName) {
  if (fileName == nullptr) return -1;
  // O_NONBLOCK makes open() return at once on a pipe with no writer; the type is then asked of what
  // was opened, not of the name, so nothing can be swapped in between.
  int fd;
  do {
    fd = open(fileName, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return -1;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return -1;
  }
  // A regular file's reads are the ordinary blocking ones again.
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

std::FILE* OpenRegularFileStream(const char* fileName) {
  const int fd = OpenRegularFile(fileName);
  if (fd < 0) return nullptr;
  std::FILE* file = fdopen(fd, "rb");
  if (file == nullptr) close(fd);
  return file;
}

RegularFileStream::RegularFileStream(const std::string& fileName) : std::istream(nullptr) {
  // A name with a NUL inside would open a shorter name than asked for.
  if (fileName.find('\0') == std::string::npos) buffer_.file = OpenRegularFileStream(fileName.c_str());
  init(&buffer_);
  if (buffer_.file == nullptr) setstate(std::ios::failbit);
}

RegularFileStream::~RegularFileStream() { close(); }

void RegularFileStream::close() { buffer_.Close(); }

void RegularFileStream::Buffer::Close() {
  if (file == nullptr) return;
  std::fclose(file);
  file = nullptr;
  setg(nullptr, nullptr, nullptr);
}

RegularFileStream::Buffer::int_type RegularFileStream::Buffer::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (file == nullptr) return traits_type::eof();
  const size_t got = std::fread(bytes, 1, sizeof bytes, file);
  if (got == 0) return traits_type::eof();
  setg(bytes, bytes, bytes + got);
  return traits_type::to_int_type(bytes[0]);
}
