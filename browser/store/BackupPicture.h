#pragma once

#include <vector>

#include "vwt/lang/String.h"

class InputStream;

// A user-data package carried in a GIF picture: the head of the logo picture,
// then a comment extension whose data sub-blocks hold the package, then the
// trailer. The bookmark upload sends it and a backup keeps it in the image
// store; it still shows as the logo.
class BackupPicture {
 public:
  // Bytes of the logo taken before the comment.
  static const int HEAD_BYTES = 566;
  // Where the package starts to be read back: the head and the comment's
  // introducer and label.
  static const int PACKAGE_START = 568;
  static const int SUB_BLOCK = 254;
  // No package comes near this; a picture that claims more is not a backup.
  static const int MAX_PACKAGE = 1 << 20;
  static const char16_t LOGO[];  // u"resource:///vesklogo.gif"

  // The logo's head with the package in its comment. Throws an Exception
  // with message 10191 when the logo is shorter than its head.
  static std::vector<char> wrap(const std::vector<char>& logo, const std::vector<char>& package);
  // The same with the logo read from the program's resources.
  static std::vector<char> wrap(const std::vector<char>& package);
  // The package of a backup picture: the sub-blocks after the head for as
  // long as they are full. Throws an Exception with message 10193 when the
  // picture is too short or a sub-block overruns it, and with 10192 when no
  // comment follows the head (a picture that is no backup).
  static std::vector<char> unwrap(const std::vector<char>& picture);
  // The same read from a stream (not owned), which is read no further than
  // the package.
  static std::vector<char> unwrap(InputStream& picture);
  // The first HEAD_BYTES bytes of the logo; throws an Exception with
  // message 10191 when they cannot be read.
  static std::vector<char> logoHead();
};
