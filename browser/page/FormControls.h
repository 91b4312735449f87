#pragma once

#include <cstdint>

#include "browser/page/Page.h"
#include "browser/page/RenderItem.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/String.h"
#include "vwt/lang/Vector.h"

// What activating a CONTROL does, and the open list's operation (modes 5 and 6).
class FormControls {
 public:
  enum Outcome {
    NOTHING,       // nothing to do
    REPAINT_PAGE,  // a checkbox or radio changed: repaint the whole page
    TEXT_ENTRY,    // open text entry with text, imeMode, maxLength and multiLine
    LIST_OPENED,   // an active copy was put in the page overlays; the mode to enter is `mode` (5 or 6)
    SUBMIT,        // submit `form` (with `button`; image buttons carry the point)
    RESET,         // redisplay the current history entry
    FILE_MENU,     // the upload button: open the file menu (the CONTROL is `control`, its BUTTON `button`)
  };
  struct Result {
    Outcome outcome = NOTHING;
    int mode = 0;                   // LIST_OPENED: 5 single, 6 multiple
    RenderItem* control = nullptr;  // the CONTROL structure item activated
    RenderItem* form = nullptr;     // SUBMIT: the FORM item (CONTROL's position-1 reference); never
                                    // null: a submit button outside any form does NOTHING
    RenderItem* button = nullptr;   // SUBMIT: the BUTTON / IMAGE_BUTTON item pressed
    int pointX = 0, pointY = 0;     // SUBMIT by IMAGE_BUTTON: the pointer offset from the item's left/top
                                    // (page px, unzoomed)
    String text;                    // TEXT_ENTRY: the value
    int imeMode = 0;                // TEXT_ENTRY: 2 text, 1 password
    int maxLength = 999;
    bool multiLine = false;
  };

  FormControls();
  ~FormControls();
  FormControls(const FormControls&) = delete;
  FormControls& operator=(const FormControls&) = delete;

  // control: a CONTROL structure item of page. pointerX/Y: zoomed page pixels; zoom. pageOverlays: the
  // page overlay list (not owned); the open list's copy is created here, put in it and owned by
  // FormControls until the list closes, which takes it out again, as pageChanged and the destructor
  // do: the overlay list must outlive this object (declare it first). In reflow the copy is made over
  // the derived control HitTest::at left in the CONTROL's source (checked to be one of the control's
  // derived items; else its first one). Caller holds the page lock.
  Result activate(Page& page, RenderItem* control, int pointerX, int pointerY, int zoom, bool reflow,
                  Vector<RenderItem*>* pageOverlays);
  // The control whose text entry is open receives the edited text (replaces its value, cut to the
  // maximum length). Caller holds the page lock.
  void setText(const String& text);
  // Open list (modes 5 and 6). Keys are toolkit key-up codes: select, menu (22), escape (24), back
  // (21/64), up/down move the copy's current row (value2). Returns true when the list closed (the mode
  // goes back to 0); *repaintPage is set when the control changed. A key that only changes the open copy
  // (a row moved or toggled) needs the overlays repainted, as after every key. Caller holds the page lock.
  bool listKey(int key, bool* repaintPage);
  // A tap at view coordinates on the open copy picks a row (the list stays open); false when the tap is
  // not on it. Rows are found where they are drawn: an open SELECT's list where it was last drawn
  // (param3), a LIST's rows one line height and one pixel apart from its top. Without the horizontal
  // scroll position only the tap's height is tested.
  bool listTap(int viewX, int viewY, int scrollY, int zoom, int pageLineHeight, int interfaceLineHeight);
  // The same, also testing that the tap is within the list's width.
  bool listTap(int viewX, int viewY, int scrollX, int scrollY, int zoom, int pageLineHeight,
               int interfaceLineHeight);
  bool listOpen() const;
  int listMode() const;                                     // 5 or 6 while a list is open, else 0
  RenderItem* listCopy() const { return listCopy_.get(); }  // the open list's copy, or null
  RenderItem* currentControl() const;                       // the CONTROL last activated, or null
  void pageChanged();  // the page went: drops the copy and the current control

 private:
  static constexpr int LEFT_UNKNOWN = INT32_MIN;

  // The derived control of the reflow layout a CONTROL was found through (or its first one).
  static RenderItem* derivedOf(RenderItem* control, RenderItem* item);
  static void imagePoint(RenderItem* control, RenderItem* item, int pointerX, int pointerY, int zoom,
                         bool reflow, Result* result);
  static void checkRadio(Page& page, RenderItem* control, RenderItem* item);
  void openList(RenderItem* control, RenderItem* item, bool reflow, Vector<RenderItem*>* overlays);
  // The copy's state goes into the control; withLists: also its flags and value lists (multiple lists).
  void commit(bool withLists);
  // Takes the copy out of the overlays and drops it; the control is left as it is.
  void closeList();

  RenderItem* current_ = nullptr;            // the CONTROL last activated; not owned
  RenderItem* listControl_ = nullptr;        // the control item the open list edits; not owned
  AutoPtr<RenderItem> listCopy_;             // the open list's active copy
  Vector<RenderItem*>* overlays_ = nullptr;  // where the copy is shown; not owned, outlives an open list
  int listMode_ = 0;
  bool listReflow_ = false;  // the copy's rectangle is the reflow layout's, not zoomed
};
