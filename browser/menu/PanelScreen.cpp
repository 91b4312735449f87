#include "browser/menu/PanelScreen.h"

#include "browser/page/RenderItem.h"

PanelScreen::PanelScreen(int mode, const String& title)
    : mode_(mode), title_(title), item_(new RenderItem()) {}

PanelScreen::~PanelScreen() = default;

void PanelScreen::addText(const String& text) {
  Child c;
  c.kind = TEXT;
  c.label = text;
  children_.push_back(c);
}

void PanelScreen::addButton(const String& label, const ScreenResult& onPress) {
  Child c;
  c.kind = BUTTON;
  c.label = label;
  c.onPress = onPress;
  children_.push_back(c);
}

void PanelScreen::addChoice(const String& label, bool chosen, const ScreenResult& onPress) {
  Child c;
  c.kind = CHOICE;
  c.label = label;
  c.chosen = chosen;
  c.onPress = onPress;
  children_.push_back(c);
}

void PanelScreen::addSlider(int minimum, int value, int maximum, int step, int command) {
  Child c;
  c.kind = SLIDER;
  c.minimum = minimum;
  c.value = value;
  c.maximum = maximum;
  c.step = step;
  c.command = command;
  children_.push_back(c);
}

int PanelScreen::focused() const { return focused_; }
void PanelScreen::focus(int child) { focused_ = child; }
int PanelScreen::childCount() const { return static_cast<int>(children_.size()); }
bool PanelScreen::isChosen(int) const { return false; }
int PanelScreen::sliderValue(int) const { return 0; }
void PanelScreen::setEntryResult(const ScreenResult& onAnswer) { onAnswer_ = onAnswer; }
void PanelScreen::setPaletteSet(int set) { paletteSet_ = set; }
int PanelScreen::mode() const { return mode_; }
RenderItem* PanelScreen::item() { return item_.get(); }
void PanelScreen::layout(int, int, vwt::Font*) {}
ScreenResult PanelScreen::key(int, int) { return ScreenResult::ignored(); }
ScreenResult PanelScreen::tap(int, int) { return ScreenResult::ignored(); }
ScreenResult PanelScreen::entered(const String&) { return ScreenResult::changed(); }
ScreenResult PanelScreen::activate(int) { return ScreenResult::ignored(); }
void PanelScreen::clearChildren() { children_.clear(); }
bool PanelScreen::focusable(int) const { return false; }
void PanelScreen::moveFocus(int) {}
void PanelScreen::scrollToFocus() {}
void PanelScreen::rebuild() {}
int PanelScreen::childAt(int, int) const { return -1; }
