#pragma once
// Finding font files by family name through fontconfig. The font engine
// calls these under its own lock.

#include <cstdint>
#include <string>

namespace vwt {
namespace platform {

// One face inside a font file.
struct FontFile {
  std::string path;
  int index = 0;
};

// The file fontconfig chooses for a family name (UTF-8; empty for the
// system's default), preferring a fixed-pitch face when asked. A name the
// system lacks gives its best substitute. False only when no font at all is
// installed.
bool findFontFile(const std::string& family, bool fixedPitch, FontFile* out);

// The file fontconfig chooses for the family when the text needs codePoint,
// for glyphs the family's own face lacks. False when no installed face has it.
bool findFontFileFor(const std::string& family, bool fixedPitch, uint32_t codePoint, FontFile* out);

}  // namespace platform
}  // namespace vwt
