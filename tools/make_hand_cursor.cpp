// Writes Tessaline's hand pointer as a Windows cursor file (.cur): 32x32, 32-bit colour with an
// alpha channel and the AND mask older readers need, hot spot at the tip of the index finger.
// Usage: make_hand_cursor <output file>
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string_view>
#include <vector>

namespace {

constexpr int kSize = 32;
constexpr int kHotX = 7;
constexpr int kHotY = 0;

// '#' outline, 'o' fill, anything else clear.
constexpr std::array<std::string_view, kSize> kHand = {
    "      ####",
    "     #oooo#",
    "     #oooo#",
    "     #oooo#",
    "     #oooo#",
    "     #oooo#",
    "     #oooo#",
    "     #oooo#####",
    "     #oooo#oooo#",
    "     #oooo#oooo#####",
    "     #oooo#oooo#oooo#",
    "     #oooo#oooo#oooo####",
    " ### #oooo#oooo#oooo#ooo#",
    "#ooo##oooo#oooo#oooo#ooo#",
    "#oooo#oooo#oooo#oooo#ooo#",
    " #oooooooo#oooo#oooo#ooo#",
    "  #oooooooooooooooooooooo#",
    "   #ooooooooooooooooooooo#",
    "    #oooooooooooooooooooo#",
    "     #ooooooooooooooooooo#",
    "     #ooooooooooooooooooo#",
    "      #oooooooooooooooooo#",
    "      #ooooooooooooooooo#",
    "       #oooooooooooooooo#",
    "       #ooooooooooooooo#",
    "        #oooooooooooooo#",
    "        #oooooooooooooo#",
    "        ################",
    "",
    "",
    "",
    "",
};

char pixelAt(int x, int y) {
  const std::string_view row = kHand[static_cast<size_t>(y)];
  return x < static_cast<int>(row.size()) ? row[static_cast<size_t>(x)] : ' ';
}

void put16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, unsigned value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}

// BITMAPINFOHEADER, then the colour rows and the AND mask, both bottom-up. The height counts
// both halves, as icon and cursor bitmaps do.
std::vector<std::uint8_t> bitmap() {
  constexpr unsigned kMaskRowBytes = kSize / 8;  // 32 bits: already a multiple of 4 bytes
  constexpr unsigned kColourBytes = kSize * kSize * 4;
  std::vector<std::uint8_t> out;
  put32(out, 40);
  put32(out, kSize);
  put32(out, kSize * 2);
  put16(out, 1);
  put16(out, 32);
  put32(out, 0);  // uncompressed
  put32(out, kColourBytes + kMaskRowBytes * kSize);
  for (int i = 0; i < 4; ++i) put32(out, 0);  // resolution and palette: unused
  for (int y = kSize - 1; y >= 0; --y) {
    for (int x = 0; x < kSize; ++x) {
      const char p = pixelAt(x, y);
      const std::uint8_t level = p == 'o' ? 0xFF : 0x00;
      const std::uint8_t alpha = (p == 'o' || p == '#') ? 0xFF : 0x00;
      out.insert(out.end(), {level, level, level, alpha});  // B, G, R, A
    }
  }
  for (int y = kSize - 1; y >= 0; --y) {
    for (unsigned byte = 0; byte < kMaskRowBytes; ++byte) {
      std::uint8_t bits = 0;
      for (int bit = 0; bit < 8; ++bit) {
        const char p = pixelAt(static_cast<int>(byte * 8) + bit, y);
        if (p != 'o' && p != '#') bits |= static_cast<std::uint8_t>(0x80 >> bit);  // 1: see-through
      }
      out.push_back(bits);
    }
  }
  return out;
}

std::vector<std::uint8_t> cursorFile() {
  const std::vector<std::uint8_t> picture = bitmap();
  std::vector<std::uint8_t> out;
  put16(out, 0);  // reserved
  put16(out, 2);  // cursor
  put16(out, 1);  // one picture
  out.push_back(kSize);
  out.push_back(kSize);
  out.push_back(0);  // no palette
  out.push_back(0);
  put16(out, kHotX);  // where an icon keeps its planes
  put16(out, kHotY);  // and its bit count
  put32(out, static_cast<unsigned>(picture.size()));
  put32(out, 6 + 16);
  out.insert(out.end(), picture.begin(), picture.end());
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output .cur file>\n", argv[0]);
    return 2;
  }
  const std::vector<std::uint8_t> bytes = cursorFile();
  std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!file) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
    return 1;
  }
  return 0;
}
