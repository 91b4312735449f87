#include "browser/shell/OpenCommand.h"

#include <cstring>

std::string OpenCommand::encode(const String& url) {
  String text = (u"-open 1 \""_s + url) + u"\"";
  std::string bytes(static_cast<size_t>(text.length() + 1) * 2, '\0');
  // The receiver reads the units in this machine's order, as the sender writes them.
  std::memcpy(&bytes[0], text.getCString(), static_cast<size_t>(text.length()) * 2);
  return bytes;
}

String OpenCommand::decode(const char* data, int length) {
  if (!data || length < 2) return String();
  int units = length / 2;
  std::u16string text;
  text.reserve(static_cast<size_t>(units));
  for (int i = 0; i < units; ++i) {
    char16_t c;
    std::memcpy(&c, data + 2 * i, 2);
    if (c == 0) break;
    text += c;
  }
  return String(text.c_str(), 0, static_cast<int>(text.size()));
}

void OpenCommand::urlsOf(const String& text, VectorV<String>* urls) {
  VectorV<String> tokens(16);
  text.splitQuoted(u' ', true, &tokens);
  for (int i = 0; i + 2 < tokens.size(); ++i)
    if (tokens.elementAt(i).equals(u"-open"_s)) urls->addElement(tokens.elementAt(i + 2));
}

void OpenCommand::urlsOf(const char* data, int length, VectorV<String>* urls) {
  urlsOf(decode(data, length), urls);
}
