#include "vwt/platform/FontLookup.h"

#include <fontconfig/fontconfig.h>

#include <map>
#include <mutex>
#include <utility>

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

// The request for a family as fontconfig completes it; the caller destroys it.
FcPattern* request(const std::string& family, bool fixedPitch) {
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return nullptr;
  if (!family.empty())
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  if (fixedPitch) FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  return pattern;
}

bool fileOf(FcPattern* font, FontFile* out) {
  FcChar8* file = nullptr;
  if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || !file) return false;
  int index = 0;
  if (FcPatternGetInteger(font, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
  out->path = reinterpret_cast<const char*>(file);
  out->index = index;
  return true;
}

// Per family and pitch, the installed faces in fontconfig's order of
// preference, each adding characters the ones before it lack. Asking
// fontconfig afresh for every missing character costs hundreds of
// microseconds; a walk of this list costs a few table reads.
class FallbackLists {
 public:
  ~FallbackLists() {
    for (auto& entry : lists_)
      if (entry.second) FcFontSetDestroy(entry.second);
  }

  bool find(const std::string& family, bool fixedPitch, uint32_t codePoint, FontFile* out) {
    std::lock_guard<std::mutex> held(lock_);
    FcFontSet*& list = lists_[std::make_pair(family, fixedPitch)];
    if (!list) list = sorted(family, fixedPitch);
    if (!list) return false;
    for (int i = 0; i < list->nfont; ++i) {
      FcCharSet* has = nullptr;
      if (FcPatternGetCharSet(list->fonts[i], FC_CHARSET, 0, &has) == FcResultMatch && has &&
          FcCharSetHasChar(has, codePoint) && fileOf(list->fonts[i], out))
        return true;
    }
    return false;
  }

 private:
  static FcFontSet* sorted(const std::string& family, bool fixedPitch) {
    FcPattern* pattern = request(family, fixedPitch);
    if (!pattern) return nullptr;
    FcResult result = FcResultNoMatch;
    FcFontSet* list = FcFontSort(nullptr, pattern, FcTrue, nullptr, &result);
    FcPatternDestroy(pattern);
    return list;
  }

  std::mutex lock_;
  std::map<std::pair<std::string, bool>, FcFontSet*> lists_;
};

}  // namespace

bool findFontFile(const std::string& family, bool fixedPitch, FontFile* out) {
  loadConfiguration();
  FcPattern* pattern = request(family, fixedPitch);
  if (!pattern) return false;
  FcResult result = FcResultNoMatch;
  FcPattern* found = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!found) return false;
  bool ok = fileOf(found, out);
  FcPatternDestroy(found);
  return ok;
}

bool findFontFileFor(const std::string& family, bool fixedPitch, uint32_t codePoint, FontFile* out) {
  loadConfiguration();
  static FallbackLists lists;
  return lists.find(family, fixedPitch, codePoint, out);
}

}  // namespace platform
}  // namespace vwt
