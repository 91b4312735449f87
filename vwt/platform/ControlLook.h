#pragma once

#include <cstdint>

// The one look of every control the toolkit draws itself (message box, popup menu, soft-key bar,
// edit control, file dialogs): one face and size, one spacing, one colour scheme. Colours are
// 0x00RRGGBB; sizes are screen pixels of the handset.

namespace vwt {
namespace platform {
struct ControlLook {
  // Text: the project's face at one size for every control.
  static constexpr const char16_t* FONT_FACE = u"IPAPGothic";
  static constexpr int FONT_HEIGHT = 14;

  // Spacing.
  static constexpr int PADDING = 6;        // between a border and what it holds
  static constexpr int GAP = 6;            // between two neighbours (buttons, icon and text)
  static constexpr int LINE_GAP = 2;       // between two lines of text
  static constexpr int BORDER = 1;         // the outline of a window or a button
  static constexpr int SCREEN_MARGIN = 8;  // a dialog keeps this far from the screen's edges

  // Colours.
  static constexpr uint32_t FACE = 0xECECEC;  // window and dialog background
  static constexpr uint32_t TEXT = 0x000000;
  static constexpr uint32_t GREYED_TEXT = 0x9A9A9A;  // a disabled item or button
  static constexpr uint32_t OUTLINE = 0x4A4A4A;      // window borders, button outlines
  static constexpr uint32_t CAPTION = 0x1F4E8C;      // caption bar and the soft-key bar
  static constexpr uint32_t CAPTION_TEXT = 0xFFFFFF;
  static constexpr uint32_t HIGHLIGHT = 0x3B7DD8;  // the focused button, the chosen menu item
  static constexpr uint32_t HIGHLIGHT_TEXT = 0xFFFFFF;
  static constexpr uint32_t BUTTON_FACE = 0xFAFAFA;
  static constexpr uint32_t PRESSED_FACE = 0xC8D8F0;  // a button under the stylus
  static constexpr uint32_t SEPARATOR = 0xB0B0B0;
  static constexpr uint32_t EDIT_FACE = 0xFFFFFF;  // the inside of an edit control or a list

  // Parts.
  static constexpr int CAPTION_HEIGHT = 20;
  static constexpr int BUTTON_HEIGHT = 24;
  static constexpr int BUTTON_MIN_WIDTH = 60;
  static constexpr int ICON_SIZE = 24;
  static constexpr int MENU_ITEM_HEIGHT = 22;
  static constexpr int MENU_SEPARATOR_HEIGHT = 7;
  static constexpr int CHECK_COLUMN = 16;  // the menu's column of check marks
  static constexpr int SOFT_KEY_HEIGHT = 52;

  // Icon colours.
  static constexpr uint32_t ICON_STOP = 0xC62828;
  static constexpr uint32_t ICON_WARNING = 0xF2B01E;
  static constexpr uint32_t ICON_INFORMATION = 0x1F6FD0;
  static constexpr uint32_t ICON_QUESTION = 0x1F6FD0;
  static constexpr uint32_t ICON_MARK = 0xFFFFFF;  // the sign on a coloured icon
  static constexpr uint32_t ICON_WARNING_MARK = 0x000000;
};
}  // namespace platform
}  // namespace vwt
