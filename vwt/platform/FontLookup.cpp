#include "vwt/platform/FontLookup.h"

#include <fontconfig/fontconfig.h>

#include <mutex>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace vwt {
namespace platform {

namespace {

// fontconfig 2.14 loses a block while it parses its configuration files: the
// leak checker of the sanitizer builds is told to overlook that one load.
void loadConfiguration() {
  static std::once_flag once;
  std::call_once(once, [] {
#if defined(__SANITIZE_ADDRESS__)
    __lsan_disable();
#endif
    FcInit();
#if defined(__SANITIZE_ADDRESS__)
    __lsan_enable();
#endif
  });
}

bool match(const std::string& family, bool fixedPitch, FcCharSet* needs, FontFile* out) {
  loadConfiguration();
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  if (!family.empty())
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  if (fixedPitch) FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
  if (needs) FcPatternAddCharSet(pattern, FC_CHARSET, needs);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* found = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!found) return false;
  bool ok = false;
  FcChar8* file = nullptr;
  if (FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch && file) {
    int index = 0;
    if (FcPatternGetInteger(found, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    // The best match for a character may still lack it: only a face that has it helps.
    FcCharSet* has = nullptr;
    if (needs && (FcPatternGetCharSet(found, FC_CHARSET, 0, &has) != FcResultMatch || !has ||
                  !FcCharSetIsSubset(needs, has))) {
      FcPatternDestroy(found);
      return false;
    }
    out->path = reinterpret_cast<const char*>(file);
    out->index = index;
    ok = true;
  }
  FcPatternDestroy(found);
  return ok;
}

}  // namespace

bool findFontFile(const std::string& family, bool fixedPitch, FontFile* out) {
  return match(family, fixedPitch, nullptr, out);
}

bool findFontFileFor(const std::string& family, bool fixedPitch, uint32_t codePoint, FontFile* out) {
  loadConfiguration();
  FcCharSet* needs = FcCharSetCreate();
  if (!needs) return false;
  bool ok = FcCharSetAddChar(needs, codePoint) && match(family, fixedPitch, needs, out);
  FcCharSetDestroy(needs);
  return ok;
}

}  // namespace platform
}  // namespace vwt
