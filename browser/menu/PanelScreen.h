#pragma once

#include <vector>

#include "browser/menu/Screen.h"
#include "browser/menu/ScreenResult.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/String.h"

class RenderItem;
namespace vwt {
class Font;
}

// A panel: a titled PANEL item whose children are wrapped text lines, buttons, choice rows (a check
// mark when chosen) and sliders, one under the other in the order they were added.
//
// Keys: up/down (key-down) move the focus over the buttons, choices and sliders, scrolling so that the
// focused one stays in view; left/right (key-down) move a focused slider; select (key-up) activates the
// focused child; SOFT1 activates the first button when the mode has a left soft-key label; SOFT2,
// ESCAPE and CLEAR close. A tap activates the child under it; the close mark or a tap outside closes.
//
// Children are numbered in the order they were added, texts included.
class PanelScreen : public Screen {
 public:
  PanelScreen(int mode, const String& title);
  ~PanelScreen() override;
  PanelScreen(const PanelScreen&) = delete;
  PanelScreen& operator=(const PanelScreen&) = delete;

  // Text wrapped to the panel's width at layout; a line feed starts a new line.
  void addText(const String& text);
  void addButton(const String& label, const ScreenResult& onPress);
  // A choice whose onPress is ignored() or changed() is a check box: pressing it flips its mark.
  // Any other choice is one of a group (the choices added one after another): pressing it marks it,
  // clears the others of its group and returns onPress.
  void addChoice(const String& label, bool chosen, const ScreenResult& onPress);
  // Left/right step the value by `step` and return runAndKeep(command, value).
  void addSlider(int minimum, int value, int maximum, int step, int command);

  int focused() const;  // -1 when nothing can take the focus
  void focus(int child);
  int childCount() const;
  bool isChosen(int child) const;
  int sliderValue(int child) const;  // 0 when the child is not a slider
  const String& title() const { return title_; }
  // What entered(text) returns: this result with its text set to the answer (a button asks for the
  // entry by returning ScreenResult::entry(...)).
  void setEntryResult(const ScreenResult& onAnswer);
  // The look the panel is drawn in (the overlay painter's palette set and translucency): its texts
  // take the colour that reads on that body, and taps are placed by that frame.
  void setLook(int paletteSet, bool translucent);

  int mode() const override;
  RenderItem* item() override;
  void layout(int viewWidth, int viewHeight, vwt::Font* interfaceFont) override;
  ScreenResult key(int type, int key) override;
  ScreenResult tap(int x, int y) override;
  ScreenResult entered(const String& text) override;

 protected:
  // Pressing a child (select, a tap, SOFT1 on the first button); the default marks choices and returns
  // the child's result.
  virtual ScreenResult activate(int child);
  // Drops every child; the caller adds new ones and calls relayout().
  void clearChildren();
  // Lays the panel out again for the view and font of the last layout().
  void relayout();

 private:
  enum Kind { TEXT, BUTTON, CHOICE, SLIDER };
  struct Child {
    Kind kind;
    String label;
    ScreenResult onPress;
    bool chosen = false;
    int group = 0;
    int minimum = 0, value = 0, maximum = 0, step = 1, command = 0;
    // Place in the content area (unzoomed), set by layout.
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<String> lines;  // a text's lines, wrapped by layout
    int firstItem = 0;          // index of the child's first item in the panel's item list
    int focusItem = 0;          // index of the item that carries the focus frame
  };

  bool focusable(int child) const;
  ScreenResult moveFocus(int direction);
  bool scrollBy(int rows);
  void scrollToFocus();
  // Places the children for a content width; returns the content's height.
  int place(int contentWidth);
  // The panel item's child items made anew from the children.
  void rebuild();
  int childAt(int contentX, int contentY) const;
  int frameInset() const;
  int titleHeight() const;
  int lineHeight() const;
  int stepSlider(int child, int steps);
  std::vector<String> wrap(const String& text, int width) const;

  int mode_;
  String title_;
  std::vector<Child> children_;
  int focused_ = -1;
  int nextGroup_ = 1;
  int paletteSet_ = 0;
  bool translucent_ = false;
  ScreenResult onAnswer_;
  AutoPtr<RenderItem> item_;
  vwt::Font* font_ = nullptr;
  int viewWidth_ = 0, viewHeight_ = 0;
  int rowHeight_ = 0, visibleRows_ = 0, totalRows_ = 0, first_ = 0;
};
