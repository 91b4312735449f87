#include "browser/page/TextSelection.h"

TextSelection::TextSelection(PageFonts* fonts) : fonts_(fonts) {}
TextSelection::~TextSelection() {}
void TextSelection::setView(const View& view) { view_ = view; }
bool TextSelection::pointerPressed(int, int, bool) { return false; }
bool TextSelection::pointerPressedAt(int, int, bool, int64_t) { return false; }
bool TextSelection::dragged(int, int) { return false; }
bool TextSelection::released(int, int) { return false; }
bool TextSelection::keyDown(int, bool, int, int) { return false; }
bool TextSelection::keyUp(int) { return false; }
void TextSelection::clear() {}
String TextSelection::selectedText() const { return String(); }
bool TextSelection::copy() const { return false; }
std::vector<TextSelection::Rect> TextSelection::highlightRects() const { return {}; }
bool TextSelection::takeChanged() { return false; }
int TextSelection::placeAt(int, int) const { return -1; }
void TextSelection::select(int, int) {}
bool TextSelection::selectWordAt(int, int) { return false; }
