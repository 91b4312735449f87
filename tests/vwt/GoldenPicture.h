#pragma once
// Screenshots compared with checked-in PNGs (under tests/vwt/ui/golden/ unless a folder of the tree is
// named): each channel may differ by a
// little (anti-aliased text), a mismatch writes a difference picture beside the shot, and
// VESK_WRITE_GOLDEN=1 rewrites the golden picture from the shot instead.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "vwt/platform/DecodedPicture.h"
#include "vwt/platform/PictureDecoder.h"
#include "vwt/platform/PngWriter.h"

namespace golden {

const int CHANNEL_TOLERANCE = 24;

const char* const TOOLKIT_FOLDER = "tests/vwt/ui/golden/";

inline std::string path(const std::string& name, const std::string& folder = TOOLKIT_FOLDER) {
  return std::string(VWT_SOURCE_DIR) + "/" + folder + name;
}

inline bool load(const std::string& file, vwt::platform::DecodedPicture* picture) {
  std::ifstream in(file, std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return !bytes.empty() && vwt::platform::PictureDecoder::decode(bytes.data(), bytes.size(), picture) ==
                               vwt::platform::PictureDecoder::OK;
}

inline bool close(uint32_t a, uint32_t b) {
  for (int shift = 0; shift < 24; shift += 8) {
    int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (d > CHANNEL_TOLERANCE || d < -CHANNEL_TOLERANCE) return false;
  }
  return true;
}

// The shot (a PNG file the program wrote) against the golden picture of that name.
inline ::testing::AssertionResult matches(const std::string& shot, const std::string& name,
                                          const std::string& folder = TOOLKIT_FOLDER) {
  const char* rewrite = getenv("VESK_WRITE_GOLDEN");
  if (rewrite && std::string(rewrite) == "1") {
    std::filesystem::copy_file(shot, path(name, folder), std::filesystem::copy_options::overwrite_existing);
    return ::testing::AssertionSuccess();
  }
  vwt::platform::DecodedPicture actual, expected;
  if (!load(shot, &actual)) return ::testing::AssertionFailure() << "no shot " << shot;
  if (!load(path(name, folder), &expected))
    return ::testing::AssertionFailure()
           << "no golden picture " << path(name, folder) << " (VESK_WRITE_GOLDEN=1 makes it)";
  if (actual.width != expected.width || actual.height != expected.height)
    return ::testing::AssertionFailure() << "size " << actual.width << "x" << actual.height << ", golden "
                                         << expected.width << "x" << expected.height;
  std::vector<uint32_t> diff(actual.pixels.size(), 0xFFFFFFFFu);
  int bad = 0;
  for (size_t i = 0; i < actual.pixels.size(); ++i)
    if (!close(actual.pixels[i], expected.pixels[i])) {
      diff[i] = 0xFFFF0000u;
      ++bad;
    }
  if (bad == 0) return ::testing::AssertionSuccess();
  std::string diffFile = shot + ".diff.png";
  vwt::platform::writePng(diffFile,
                          vwt::platform::PixelTarget{diff.data(), actual.width, actual.width, actual.height});
  return ::testing::AssertionFailure()
         << bad << " pixels differ from " << path(name, folder) << "; see " << diffFile;
}

}  // namespace golden
