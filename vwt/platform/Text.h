#pragma once
// Text services of the host system: number formatting into UTF-16, the
// case-insensitive comparison, and code-page conversion.

#include <cstddef>
#include <cstdint>
#include <string>

namespace vwt {
namespace platform {

// printf-style formatting of numbers into UTF-16. The format is narrow and
// its output ASCII; at most outUnits - 1 units are written, then a NUL.
// Returns the number of units written.
int formatNumber(char16_t* out, int outUnits, const char* format, ...) __attribute__((format(printf, 3, 4)));

// Case-insensitive comparison of NUL-terminated texts by the Unicode simple
// case mapping; negative, 0 or positive as for strcmp.
int compareIgnoreCase(const char16_t* a, const char16_t* b);
// The same over at most n units.
int compareIgnoreCase(const char16_t* a, const char16_t* b, size_t n);

// The two system code pages: ANSI for file names, sockets and writers,
// OEM for reading bytes into text.
enum class CodePage { Ansi, Oem };

// The iconv name of a code page. Both default to "UTF-8"; the environment
// variables VWT_CODEPAGE (both), VWT_ANSI_CODEPAGE and VWT_OEM_CODEPAGE
// choose others (CP932, for example).
std::string codePageName(CodePage page);
void setCodePageName(CodePage page, const std::string& name);

// The most bytes one UTF-16 unit can take in the code page.
int maxBytesPerUnit(CodePage page);

// Bytes to UTF-16; bytes the code page cannot read become U+FFFD. Returns
// false with errno set when the code page cannot be used at all.
bool decodeCodePage(CodePage page, const char* bytes, size_t count, std::u16string& out);

// UTF-16 to bytes, at most max bytes and never half a character; units the
// code page lacks become a space. Returns the bytes written, or -1 with errno
// set when the code page cannot be used at all.
int encodeCodePage(CodePage page, const char16_t* units, size_t count, char* out, size_t max);

// UTF-16 to UTF-8 for the libraries that take it (fontconfig, SDL); a lone
// surrogate becomes U+FFFD.
std::string utf8FromUtf16(const char16_t* units, size_t count);

// UTF-8 to UTF-16 (script answers, desktop text input); a malformed sequence
// becomes U+FFFD.
std::u16string utf16FromUtf8(const char* bytes, size_t count);
inline std::u16string utf16FromUtf8(const std::string& s) { return utf16FromUtf8(s.data(), s.size()); }

// The demangled name of a type, as the type information spells it.
std::string typeName(const char* mangled);

}  // namespace platform
}  // namespace vwt
