// Generated data: the committed files are exactly what the generator makes, in the layouts the game reads.
#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "support/fixture.h"
#include "support/temp_files.h"
#include "tools/assets.h"
#include "world/asset_table.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Le(const Bytes& b, size_t at, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | b.at(at + i);
  return v;
}

uint32_t Be(const Bytes& b, size_t at) { return b.at(at) << 24 | b.at(at + 1) << 16 | b.at(at + 2) << 8 | b.at(at + 3); }

// A 24-bit bitmap read back into 0xRRGGBB values, top row first; width 0 when the header is not one.
struct Bitmap {
  int width = 0, height = 0;
  std::vector<uint32_t> rgb;
  uint32_t At(int x, int y) const { return rgb.at(static_cast<size_t>(y) * width + x); }
};

Bitmap ParseBmp(const Bytes& b) {
  Bitmap bmp;
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || Le(b, 14, 4) != 40 || Le(b, 26, 2) != 1 ||
      Le(b, 28, 2) != 24 || Le(b, 30, 4) != 0 || Le(b, 2, 4) != b.size())
    return bmp;
  int w = static_cast<int>(Le(b, 18, 4)), h = static_cast<int>(Le(b, 22, 4));
  size_t row = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3}, offset = Le(b, 10, 4);
  if (w <= 0 || h <= 0 || offset + row * h != b.size()) return bmp;
  bmp.width = w;
  bmp.height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      size_t p = offset + row * (h - 1 - y) + 3 * x;  // bottom-up rows
      bmp.rgb.push_back(b[p + 2] << 16 | b[p + 1] << 8 | b[p]);
    }
  return bmp;
}

constexpr uint32_t KEY_RGB = 0xFF0080;

bool IsDark(uint32_t c) { return (c >> 16) + (c >> 8 & 0xFF) + (c & 0xFF) < 3 * 70; }

Bitmap LoadData(const std::string& name) { return ParseBmp(ReadFile(DataFile(name))); }

// Smallest box (left, top, right, bottom, inclusive) of the non-key pixels of one frame.
std::array<int, 4> SolidBox(const Bitmap& bmp, int fx, int fy, int w, int h) {
  std::array<int, 4> box{w, h, -1, -1};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (bmp.At(fx + x, fy + y) != KEY_RGB)
        box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
  return box;
}

}  // namespace

TEST(AssetsTest, GeneratorReproducesTheCommittedFilesByteForByte) {
  // A folder of this process's own: several test runs on one machine must not write into each other's.
  const std::string folder = TempFolder() + "/assets";
  std::filesystem::remove_all(folder);
  ASSERT_TRUE(WriteAssets(folder));
  std::set<std::string> expected;
  for (const SpriteSheet* s : spriteSheets) expected.insert(s->file);
  expected.insert({backgroundPicture.file, stepSoundFile.file, bounceSoundFile.file, "icons/vems-64.png",
                   "icons/vems-128.png", "icons/vems-256.png"});
  std::set<std::string> made;
  for (const AssetFile& file : BuildAssets()) made.insert(file.name);
  EXPECT_EQ(made, expected);
  for (const std::string& name : expected) {
    Bytes fresh = ReadFile(folder + "/" + name), committed = ReadFile(DataFile(name));
    EXPECT_FALSE(fresh.empty()) << name;
    EXPECT_TRUE(fresh == committed) << name << " differs from data/; run make_assets data";
  }
  std::filesystem::remove_all(folder);
}

// The layouts the drawing code cuts frames by: whole rows of frames, each with sprite and see-through pixels.
TEST(AssetsTest, SheetsHaveTheirLayoutsAndTheColourKeyAroundSprites) {
  for (const SpriteSheet* sheet : spriteSheets) {
    const SpriteSheet& s = *sheet;
    ASSERT_EQ(s.frames % s.framesPerRow, 0) << s.file;
    Bitmap bmp = LoadData(s.file);
    ASSERT_EQ(bmp.width, s.frameWidth * s.framesPerRow) << s.file;
    ASSERT_EQ(bmp.height, s.frameHeight * (s.frames / s.framesPerRow)) << s.file;
    if (&s == &wallsSheet) continue;  // the all-wall tile is solid; see the wall test
    for (int fy = 0; fy < bmp.height; fy += s.frameHeight)
      for (int fx = 0; fx < bmp.width; fx += s.frameWidth) {
        int keyed = 0;
        for (int y = 0; y < s.frameHeight; ++y)
          for (int x = 0; x < s.frameWidth; ++x) keyed += bmp.At(fx + x, fy + y) == KEY_RGB;
        EXPECT_GT(keyed, 0) << s.file << " frame at " << fx << "," << fy;
        EXPECT_LT(keyed, s.frameWidth * s.frameHeight) << s.file << " empty frame at " << fx << "," << fy;
      }
  }
  // Buttons light up visibly: the highlighted half differs from the normal one.
  for (const SpriteSheet* button : {&playButtonSheet, &setupButtonSheet, &creditsButtonSheet, &exitButtonSheet}) {
    Bitmap b = LoadData(button->file);
    const int h = button->frameHeight;
    int differ = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < b.width; ++x) differ += b.At(x, y) != b.At(x, y + h);
    EXPECT_GT(differ, b.width * h / 4) << button->file;
  }
  // The cursor clicks with its top left pixel, so that one must be drawn, and dark to read on light ground.
  Bitmap arrow = LoadData(arrowSheet.file);
  EXPECT_TRUE(IsDark(arrow.At(0, 0)));
  EXPECT_EQ(arrow.At(15, 15), KEY_RGB);
}

TEST(AssetsTest, SpritesMatchTheirCollisionBoxes) {
  // Creatures fill x 8..22, y 2..29 in every frame; walking left is walking right mirrored about column 15.
  for (const char* name : {blueSheet.file, greenSheet.file}) {
    Bitmap bmp = LoadData(name);
    for (int f = 0; f * 32 < bmp.width; ++f)
      EXPECT_EQ(SolidBox(bmp, 32 * f, 0, 32, 32), (std::array<int, 4>{8, 2, 22, 29})) << name << " frame " << f;
  }
  Bitmap blue = LoadData(blueSheet.file);
  for (int k = 1; k <= 4; ++k)
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x <= 30; ++x)
        ASSERT_EQ(blue.At(32 * (9 - k) + x, y), blue.At(32 * k + 30 - x, y)) << "frame " << 9 - k << " at " << x << "," << y;
  // The rock keeps inside its box (2..28) however it is turned.
  Bitmap rock = LoadData(rockSheet.file);
  for (int f = 0; f < 16; ++f) {
    std::array<int, 4> box = SolidBox(rock, 32 * f, 0, 32, 32);
    EXPECT_TRUE(box[0] >= 2 && box[1] >= 2 && box[2] <= 28 && box[3] <= 28) << "rock frame " << f;
  }
  // Each paper airplane frame points its nose (the pixel farthest from the middle) along its heading.
  static const int heading[18] = {0, 15, 30, 45, 60, 120, 135, 150, 165, 180, 195, 210, 225, 240, 300, 315, 330, 345};
  Bitmap paper = LoadData(paperSheet.file);
  for (int f = 0; f < 18; ++f) {
    double best = -1, nx = 0, ny = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        double dx = x + 0.5 - 15.5, dy = y + 0.5 - 15.5;
        if (paper.At(32 * f + x, y) != KEY_RGB && dx * dx + dy * dy > best) best = dx * dx + dy * dy, nx = dx, ny = dy;
      }
    double a = heading[f] * 3.14159265358979 / 180;
    double cosine = (nx * std::cos(a) - ny * std::sin(a)) / std::sqrt(best);  // screen y grows down
    EXPECT_GT(cosine, 0.85) << "paper frame " << f << " heading " << heading[f];
  }
}

TEST(AssetsTest, WallTilesEdgeEveryOpenSideAndJoinOnClosedOnes) {
  Bitmap walls = LoadData(wallsSheet.file);
  // Mask bits: 1 right, 2 above, 4 left, 8 below is wall. Probe the middle of each side.
  for (int m = 0; m < 16; ++m) {
    int x0 = 32 * m;
    EXPECT_EQ(IsDark(walls.At(x0 + 31, 16)), !(m & 1)) << "tile " << m << " right";
    EXPECT_EQ(IsDark(walls.At(x0 + 16, 0)), !(m & 2)) << "tile " << m << " top";
    EXPECT_EQ(IsDark(walls.At(x0 + 0, 16)), !(m & 4)) << "tile " << m << " left";
    EXPECT_EQ(IsDark(walls.At(x0 + 16, 31)), !(m & 8)) << "tile " << m << " bottom";
  }
  // The all-wall tile is solid and wraps onto itself, so a block of walls shows no seams.
  for (int i = 0; i < 32; ++i) {
    EXPECT_NE(walls.At(32 * 15 + i, 0), KEY_RGB);
    EXPECT_NE(walls.At(32 * 15 + i, 31), KEY_RGB);
  }
}

TEST(AssetsTest, BackgroundIsFreeOfTheKeyAndWrapsWithoutASeam) {
  Bitmap bg = LoadData(backgroundPicture.file);
  ASSERT_EQ(bg.width, 640);
  ASSERT_EQ(bg.height, 480);
  for (uint32_t c : bg.rgb) ASSERT_NE(c, KEY_RGB);
  // Change across the wrap edge is no larger than between ordinary neighbouring columns or rows.
  auto step = [&](int x0, int y0, int x1, int y1) {
    int d = 0;
    for (int c = 0; c < 3; ++c) d += std::abs(int(bg.At(x0, y0) >> 8 * c & 0xFF) - int(bg.At(x1, y1) >> 8 * c & 0xFF));
    return d;
  };
  double inner = 0, seam = 0;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x + 1 < 640; ++x) inner += step(x, y, x + 1, y);
    seam += step(639, y, 0, y);
  }
  EXPECT_LE(seam / 480, 2.0 * inner / (480 * 639));
  inner = seam = 0;
  for (int x = 0; x < 640; ++x) {
    for (int y = 0; y + 1 < 480; ++y) inner += step(x, y, x, y + 1);
    seam += step(x, 479, x, 0);
  }
  EXPECT_LE(seam / 640, 2.0 * inner / (640 * 479));
}

TEST(AssetsTest, SoundsArePcmInTheirTwoFormatsAndShort) {
  struct Wave {
    const char* file;
    uint32_t channels, bits;
  };
  for (Wave w : {Wave{stepSoundFile.file, 1, 8}, Wave{bounceSoundFile.file, 2, 16}}) {
    Bytes b = ReadFile(DataFile(w.file));
    ASSERT_GE(b.size(), 44u) << w.file;
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(Le(b, 4, 4), b.size() - 8);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Le(b, 16, 4), 16u);
    EXPECT_EQ(Le(b, 20, 2), 1u);  // PCM
    EXPECT_EQ(Le(b, 22, 2), w.channels) << w.file;
    uint32_t rate = Le(b, 24, 4), align = Le(b, 32, 2);
    EXPECT_EQ(Le(b, 34, 2), w.bits) << w.file;
    EXPECT_EQ(align, w.channels * w.bits / 8);
    EXPECT_EQ(Le(b, 28, 4), rate * align);
    ASSERT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    uint32_t size = Le(b, 40, 4);
    ASSERT_LE(44 + size, b.size());
    EXPECT_EQ(size % align, 0u);
    EXPECT_LT(double(size) / (rate * align), 0.5) << w.file;
    // Audible: the loudest sample is well away from silence (128 for 8-bit, 0 for 16-bit).
    int peak = 0;
    for (uint32_t i = 0; i < size; i += w.bits / 8)
      peak = std::max(peak, w.bits == 8 ? std::abs(b[44 + i] - 128) : std::abs(int16_t(Le(b, 44 + i, 2))) >> 8);
    EXPECT_GT(peak, 40) << w.file;
  }
}

TEST(AssetsTest, IconsArePngsOfTheirSizeWithSoundChunksAndAllTheirPixels) {
  for (uint32_t size : {64u, 128u, 256u}) {
    SCOPED_TRACE(size);
    Bytes b = ReadFile(DataFile("icons/vems-" + std::to_string(size) + ".png"));
    ASSERT_GE(b.size(), 8u);
    EXPECT_TRUE(std::equal(b.begin(), b.begin() + 8, Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}.begin()));
    Bytes zlib;
    uint32_t width = 0, height = 0;
    for (size_t at = 8; at + 12 <= b.size();) {
      uint32_t length = Be(b, at);
      ASSERT_LE(at + 12 + length, b.size());
      std::string tag(b.begin() + at + 4, b.begin() + at + 8);
      uint32_t crc = 0xFFFFFFFFu;  // bitwise CRC-32, independent of the writer's table
      for (size_t i = at + 4; i < at + 8 + length; ++i) {
        crc ^= b[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
      }
      EXPECT_EQ(crc ^ 0xFFFFFFFFu, Be(b, at + 8 + length)) << tag;
      if (tag == "IHDR") width = Be(b, at + 8), height = Be(b, at + 12);
      if (tag == "IDAT") zlib.insert(zlib.end(), b.begin() + at + 8, b.begin() + at + 8 + length);
      at += 12 + length;
    }
    EXPECT_TRUE(width == size && height == size);
    // Unpack the stored deflate blocks and count filter bytes plus RGBA pixels.
    size_t at = 2, pixels = 0;
    for (bool last = false; !last;) {
      ASSERT_LE(at + 5, zlib.size());
      last = zlib[at] & 1;
      uint32_t n = Le(zlib, at + 1, 2);
      EXPECT_EQ(n ^ Le(zlib, at + 3, 2), 0xFFFFu);
      pixels += n;
      at += 5 + n;
    }
    EXPECT_EQ(pixels, size_t{height} * (1 + 4 * width));
    EXPECT_EQ(at + 4, zlib.size());  // the Adler-32 closes the stream
  }
}
