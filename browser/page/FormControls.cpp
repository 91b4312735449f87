#include "browser/page/FormControls.h"

FormControls::FormControls() = default;

FormControls::~FormControls() { closeList(); }

FormControls::Result FormControls::activate(Page& page, RenderItem* control, int pointerX, int pointerY,
                                            int zoom, bool reflow, Vector<RenderItem*>* pageOverlays) {
  (void)page, (void)pointerX, (void)pointerY, (void)zoom, (void)reflow, (void)pageOverlays;
  Result result;
  result.control = control;
  return result;
}

void FormControls::setText(const String& text) { (void)text; }

bool FormControls::listKey(int key, bool* repaintPage) {
  (void)key;
  if (repaintPage) *repaintPage = false;
  return false;
}

bool FormControls::listTap(int viewX, int viewY, int scrollY, int zoom, int pageLineHeight,
                           int interfaceLineHeight) {
  (void)viewX, (void)viewY, (void)scrollY, (void)zoom, (void)pageLineHeight, (void)interfaceLineHeight;
  return false;
}

bool FormControls::listOpen() const { return listCopy_.get() != nullptr; }

RenderItem* FormControls::currentControl() const { return current_; }

void FormControls::pageChanged() {
  closeList();
  current_ = nullptr;
}

void FormControls::closeList() {
  listCopy_.reset();
  listControl_ = nullptr;
  overlays_ = nullptr;
  listMode_ = 0;
}
