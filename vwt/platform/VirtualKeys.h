#pragma once

namespace vwt {
namespace platform {

// Virtual-key codes in the numbering the toolkit's key table maps from. Digits are their ASCII
// codes ('0'..'9'); "*" and "#" arrive as their ASCII codes too.
enum VirtualKey : int {
  VK_BACK = 0x08,
  VK_RETURN = 0x0D,
  VK_SHIFT = 0x10,
  VK_ESCAPE = 0x1B,
  VK_SPACE = 0x20,
  VK_POUND = 0x23,  // '#'
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_DELETE = 0x2E,    // the edit controls' forward delete; no toolkit key code
  VK_ASTERISK = 0x2A,  // '*'
  VK_0 = 0x30,
  VK_9 = 0x39,
  VK_MULTIPLY = 0x6A,
  VK_F1 = 0x70,  // left soft key
  VK_F2 = 0x71,  // right soft key
  VK_F3 = 0x72,
  VK_F4 = 0x73,
  VK_F8 = 0x77,
  VK_F9 = 0x78,
  VK_ACTION = 0x86,
  VK_OEM_7 = 0xDE,
  VK_MODIFIER_X01T = 0xE4,
  VK_PROCESSKEY = 0xE5,
};

// Soft keys and select under their handset names.
constexpr int VK_SOFT1 = VK_F1;
constexpr int VK_SOFT2 = VK_F2;
constexpr int VK_SELECT = VK_RETURN;

}  // namespace platform
}  // namespace vwt
