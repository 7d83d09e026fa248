// Paths of the source tree's test files and game data.
#include "support/fixture.h"

std::string TestFile(const std::string& name) { return std::string(VEMS_SOURCE_DIR) + "/tests/" + name; }
std::string DataFile(const std::string& name) { return std::string(VEMS_SOURCE_DIR) + "/data/" + name; }
