#pragma once

#include <string>

#include "vwt/lang/String.h"
#include "vwt/lang/VectorV.h"

// The command line a second start hands to the running instance: "-open 1 "URL"" as UTF-16 with
// its terminating zero, and the URLs the running instance reads back out of such a text.
class OpenCommand {
 public:
  // The bytes to send for the first parameter of a second start; (characters + 1) * 2 of them.
  static std::string encode(const String& url);
  // The text of received bytes: UTF-16 units up to the first zero; an odd last byte is dropped.
  static String decode(const char* data, int length);
  // Splits at spaces keeping quoted parts whole; for every "-open" the token two places on is a URL.
  static void urlsOf(const String& text, VectorV<String>* urls);
  // decode and urlsOf in one.
  static void urlsOf(const char* data, int length, VectorV<String>* urls);
};
