#pragma once

#include <string>

namespace vesk {

// Finds the character set of a fetched text and converts it to UTF-8 (iconv): a byte-order
// mark first, then the Content-Type header, then the document's <meta charset> or http-equiv,
// then UTF-8 when the bytes are valid UTF-8 and windows-1252 otherwise, as browsers guess.
class CharsetDecoder {
 public:
  struct Result {
    std::string text;     // valid UTF-8
    std::string charset;  // the label used, lower case
  };

  static Result decode(const std::string& bytes, const std::string& contentTypeHeader, bool html);
  // The charset parameter of a Content-Type value, lower case; empty when none.
  static std::string fromContentType(const std::string& contentType);
  // The charset a document's <meta> names in its first kilobytes; empty when none.
  static std::string fromMeta(const std::string& html);
  // Bytes in the named character set to UTF-8; undecodable bytes become U+FFFD. An unknown
  // label is read as UTF-8.
  static std::string toUtf8(const std::string& bytes, const std::string& charset);
  static bool isUtf8(const std::string& bytes);
};

}  // namespace vesk
