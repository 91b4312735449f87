#pragma once
// Exact-pixel checks for the raster rules: a picture is written as rows of characters, '#' for the
// ink colour and '.' for anything else. A mismatch prints the actual, expected and difference
// pictures ('X' where they differ).

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "vwt/platform/Surface.h"

using Picture = std::vector<std::string>;

// The top-left rows x columns of the surface as a picture.
inline Picture pictureOf(const vwt::platform::Surface& s, uint32_t inkRgb, int rows, int columns) {
  Picture p;
  for (int y = 0; y < rows; ++y) {
    std::string line;
    for (int x = 0; x < columns; ++x) line += (s.row(y)[x] & 0x00FFFFFFu) == inkRgb ? '#' : '.';
    p.push_back(line);
  }
  return p;
}

inline ::testing::AssertionResult looksLike(const vwt::platform::Surface& s, uint32_t inkRgb,
                                            const Picture& expected) {
  const int rows = static_cast<int>(expected.size());
  const int columns = rows > 0 ? static_cast<int>(expected[0].size()) : 0;
  if (rows > s.height() || columns > s.width())
    return ::testing::AssertionFailure() << "picture larger than surface";
  Picture actual = pictureOf(s, inkRgb, rows, columns);
  if (actual == expected) return ::testing::AssertionSuccess();
  ::testing::AssertionResult r = ::testing::AssertionFailure();
  r << "\n  actual        expected      difference\n";
  for (int y = 0; y < rows; ++y) {
    std::string diff;
    for (int x = 0; x < columns; ++x) diff += actual[y][x] == expected[y][x] ? '.' : 'X';
    r << "  " << actual[y] << "  " << expected[y] << "  " << diff << "\n";
  }
  return r;
}

// A surface of the given size, all of colour rgb.
inline void paint(vwt::platform::Surface& s, uint32_t rgb) {
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) s.row(y)[x] = 0xFF000000u | rgb;
}
