#pragma once

#include <cstdint>

namespace vwt {
namespace platform {

// Message kinds of the window system, in the numbering the toolkit's window code was written
// against, so that a message logged here reads the same as on the handset.
enum MessageKind : uint32_t {
  WM_NULL = 0x0000,
  WM_CREATE = 0x0001,
  WM_DESTROY = 0x0002,
  WM_MOVE = 0x0003,
  WM_SIZE = 0x0005,
  WM_ACTIVATE = 0x0006,
  WM_SETFOCUS = 0x0007,
  WM_KILLFOCUS = 0x0008,
  WM_ENABLE = 0x000A,
  WM_SETTEXT = 0x000C,
  WM_PAINT = 0x000F,
  WM_CLOSE = 0x0010,
  WM_QUIT = 0x0012,
  WM_ERASEBKGND = 0x0014,
  WM_SHOWWINDOW = 0x0018,
  WM_SETTINGCHANGE = 0x001A,
  WM_SETCURSOR = 0x0020,
  WM_COPYDATA = 0x004A,
  WM_KEYDOWN = 0x0100,
  WM_KEYUP = 0x0101,
  WM_CHAR = 0x0102,
  WM_COMMAND = 0x0111,
  WM_TIMER = 0x0113,
  WM_MOUSEMOVE = 0x0200,
  WM_LBUTTONDOWN = 0x0201,
  WM_LBUTTONUP = 0x0202,
  WM_LBUTTONDBLCLK = 0x0203,
  WM_MOUSEWHEEL = 0x020A,
  WM_CAPTURECHANGED = 0x0215,
  WM_HOTKEY = 0x0312,
  WM_HIBERNATE = 0x03FF,
  WM_USER = 0x0400,
};

// wParam of WM_SETTINGCHANGE when the input panel changed.
constexpr uint32_t SPI_SETSIPINFO = 224;

// wParam of WM_ACTIVATE (low word).
constexpr uint32_t WA_INACTIVE = 0;
constexpr uint32_t WA_ACTIVE = 1;

// The pointer over the client area: the low word of WM_SETCURSOR's lParam.
constexpr uint32_t HT_CLIENT = 1;
// The left button held: wParam of pointer messages.
constexpr uintptr_t MK_LBUTTON = 0x0001;

// lParam of key messages: bit 30 says the key was already down (an auto-repeat); bit 31 is set on key up.
constexpr uint32_t KEY_REPEAT_BIT = 1u << 30;
constexpr uint32_t KEY_RELEASE_BIT = 1u << 31;

// The repeat count (1) in the low word, the repeat bit when the key was down already.
constexpr intptr_t keyDownParam(bool repeat) {
  return static_cast<intptr_t>(1u | (repeat ? KEY_REPEAT_BIT : 0u));
}
constexpr intptr_t keyUpParam() { return static_cast<intptr_t>(1u | KEY_REPEAT_BIT | KEY_RELEASE_BIT); }
constexpr bool isKeyRepeat(intptr_t lParam) { return (static_cast<uint32_t>(lParam) & KEY_REPEAT_BIT) != 0; }

// Pointer coordinates travel in lParam: x in the low 16 bits, y in the high 16 bits.
constexpr intptr_t packPoint(int x, int y) {
  return static_cast<intptr_t>((static_cast<uint32_t>(x) & 0xFFFFu) |
                               ((static_cast<uint32_t>(y) & 0xFFFFu) << 16));
}
// Unsigned, as the frame reads them.
constexpr int pointX(intptr_t lParam) { return static_cast<int>(static_cast<uint32_t>(lParam) & 0xFFFFu); }
constexpr int pointY(intptr_t lParam) {
  return static_cast<int>((static_cast<uint32_t>(lParam) >> 16) & 0xFFFFu);
}
// Signed, for positions that may lie left of or above a window.
constexpr int signedPointX(intptr_t lParam) {
  return static_cast<int16_t>(static_cast<uint32_t>(lParam) & 0xFFFFu);
}
constexpr int signedPointY(intptr_t lParam) {
  return static_cast<int16_t>((static_cast<uint32_t>(lParam) >> 16) & 0xFFFFu);
}

constexpr uint32_t lowWord(uintptr_t v) { return static_cast<uint32_t>(v) & 0xFFFFu; }
constexpr uint32_t highWord(uintptr_t v) { return (static_cast<uint32_t>(v) >> 16) & 0xFFFFu; }
constexpr uintptr_t makeWParam(uint32_t low, uint32_t high) {
  return static_cast<uintptr_t>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}

// The payload of WM_COPYDATA: lParam points at it for the duration of the send.
struct CopyData {
  uintptr_t tag = 0;
  int length = 0;
  const char* data = nullptr;
};

}  // namespace platform
}  // namespace vwt
