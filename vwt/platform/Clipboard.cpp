#include "vwt/platform/Clipboard.h"

#include <mutex>

#include "vwt/platform/WindowSystem.h"

namespace vwt {
namespace platform {

namespace {
std::mutex gLock;
std::u16string gText;  // the clipboard when the display has none
}  // namespace

void Clipboard::setText(const std::u16string& text) {
  if (WindowSystem::exists() && WindowSystem::get().display().setClipboardText(text)) return;
  std::lock_guard<std::mutex> g(gLock);
  gText = text;
}

std::u16string Clipboard::getText() {
  std::u16string text;
  if (WindowSystem::exists() && WindowSystem::get().display().getClipboardText(&text)) return text;
  std::lock_guard<std::mutex> g(gLock);
  return gText;
}

void Clipboard::clear() {
  std::lock_guard<std::mutex> g(gLock);
  gText.clear();
}

}  // namespace platform
}  // namespace vwt
