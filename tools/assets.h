// The whole set of data files, drawn and synthesised in memory, and written under their exact names.
#pragma once

#include <string>
#include <vector>

#include "tools/file_formats.h"

struct AssetFile {
  std::string name;  // path below the output folder, e.g. "vems-rock.bmp" or "icons/vems-64.png"
  Bytes bytes;
};

// Every file in a fixed order; the same bytes on every run.
std::vector<AssetFile> BuildAssets();
// Writes BuildAssets() below folder (creating "icons/"); false with a message on stderr on failure.
bool WriteAssets(const std::string& folder);
