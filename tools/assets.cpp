// The list of data files under the names the game loads them by, and the writing of them to a folder.
#include "tools/assets.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tools/art.h"
#include "tools/sounds.h"
#include "world/asset_table.h"

// The desktop icon: the standing creature moved to the middle of its cell and enlarged by whole pixels
// to the sizes menus and software centres ask for (64, 128 and 256), so it stays as crisp as in the game.
static Canvas DrawIcon(int size) {
  Canvas centred(32, 32);
  Blit(centred, DrawBlueStanding(), 1, 0);
  return Enlarge(centred, size / 32);
}

std::vector<AssetFile> BuildAssets() {
  std::vector<AssetFile> files = {
      {blueSheet.file, EncodeBmp(DrawBlueSheet())},
      {sparkleSheet.file, EncodeBmp(DrawSparkleSheet())},
      {greenSheet.file, EncodeBmp(DrawGreenSheet())},
      {doorSheet.file, EncodeBmp(DrawDoorSheet())},
      {ladderSheet.file, EncodeBmp(DrawLadderSheet())},
      {keySheet.file, EncodeBmp(DrawKeySheet())},
      {keymanSheet.file, EncodeBmp(DrawKeymanSheet())},
      {rockSheet.file, EncodeBmp(DrawRockSheet())},
      {paperSheet.file, EncodeBmp(DrawPaperSheet())},
      {scissorsSheet.file, EncodeBmp(DrawScissorsSheet())},
      {titleSheet.file, EncodeBmp(DrawTitle())},
      {playButtonSheet.file, EncodeBmp(DrawButton("Play", playButtonSheet))},
      {setupButtonSheet.file, EncodeBmp(DrawButton("Setup", setupButtonSheet))},
      {creditsButtonSheet.file, EncodeBmp(DrawButton("Credits", creditsButtonSheet))},
      {exitButtonSheet.file, EncodeBmp(DrawButton("Exit", exitButtonSheet))},
      {arrowSheet.file, EncodeBmp(DrawArrow())},
      {wallsSheet.file, EncodeBmp(DrawWallsSheet())},
      {backgroundPicture.file, EncodeBmp(DrawBackground())},
      {stepSoundFile.file, MakeStepWave()},
      {bounceSoundFile.file, MakeBounceWave()},
      {"icons/vems-64.png", EncodePng(DrawIcon(64))},
      {"icons/vems-128.png", EncodePng(DrawIcon(128))},
      {"icons/vems-256.png", EncodePng(DrawIcon(256))},
  };
  return files;
}

bool WriteAssets(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(folder) / "icons", error);
  if (error) {
    std::fprintf(stderr, "make_assets: cannot create %s/icons: %s\n", folder.c_str(), error.message().c_str());
    return false;
  }
  for (const AssetFile& file : BuildAssets()) {
    std::string path = folder + "/" + file.name;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<std::streamsize>(file.bytes.size()));
    if (!out.flush()) {
      std::fprintf(stderr, "make_assets: cannot write %s\n", path.c_str());
      return false;
    }
  }
  return true;
}
