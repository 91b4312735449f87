#pragma once
// The bookmark screens' tests share a small tree, a fake owner and a key script runner.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "browser/menu/BookmarkListScreen.h"
#include "browser/menu/CommandId.h"
#include "browser/page/OverlayPainter.h"
#include "browser/page/RenderItem.h"
#include "browser/store/BookmarkHost.h"
#include "browser/store/Bookmarks.h"
#include "browser/store/RecordStore.h"
#include "browser/store/SettingsDefaults.h"
#include "tests/browser/DrawnScene.h"
#include "tests/browser/menu/ScreenCanvas.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/VectorV.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"
#include "vwt/ui/Window.h"

namespace bookmarktest {

inline std::string narrow(const String& s) {
  std::string out;
  for (int i = 0; i < s.length(); ++i) out += static_cast<char>(s.charAt(i));
  return out;
}

inline String wide(const std::string& s) { return String(s.c_str()); }

class StoreHost : public BookmarkHost {
 public:
  explicit StoreHost(RecordStore* store) : store_(store) {}
  RecordStore* getRecordStore() override { return store_; }
  int getFlags() override { return flags; }
  void setFlags(int f) override { flags = f; }
  int flags = 0;

 private:
  RecordStore* store_;
};

// Top level: News, Work (Mail, Tools (Wiki), Docs), Shop, Empty.
const char* const TREE[][2] = {
    {"News", "I0,http://news.example/"}, {"Work", "I0,f:"},
    {"Mail", "I1,http://mail.example/"}, {"Tools", "I1,f:"},
    {"Wiki", "I2,http://wiki.example/"}, {"Docs", "I1,http://docs.example/"},
    {"Shop", "I0,http://shop.example/"}, {"Empty", "I0,f:"},
};
const char* const UNTOUCHED = "News Work .Mail .Tools ..Wiki .Docs Shop Empty";

// The list as titles, each behind a dot per level.
inline std::string outline(const Bookmarks& marks) {
  std::string out;
  for (int n = 0; n + 1 < marks.size(); n += 2) {
    if (!out.empty()) out += ' ';
    out += std::string(marks.depth(n), '.') + narrow(marks.getTitle(n));
  }
  return out;
}

inline int keyCode(const std::string& name) {
  static const struct {
    const char* name;
    int code;
  } KEYS[] = {{"up", Window::KEY_UP},          {"down", Window::KEY_DOWN},     {"left", Window::KEY_LEFT},
              {"right", Window::KEY_RIGHT},    {"select", Window::KEY_SELECT}, {"soft1", Window::KEY_SOFT1},
              {"soft2", Window::KEY_SOFT2},    {"star", Window::KEY_ASTERISK}, {"esc", Window::KEY_ESCAPE},
              {"clear", Window::KEY_BACKSPACE}};
  for (const auto& k : KEYS)
    if (name == k.name) return k.code;
  if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') return name[0] - '0';
  ADD_FAILURE() << "no key " << name;
  return Window::KEY_NONE;
}

class BookmarkListFixture : public ::testing::Test {
 public:
  BookmarkListFixture() : canvas(scene), marks(nullptr) { reset(); }

  // The tree again, no screen, no edit heard of.
  void reset() {
    VectorV<String> list;
    for (const auto& pair : TREE) {
      list.addElement(wide(pair[0]));
      list.addElement(wide(pair[1]));
    }
    marks.replaceAll(list);
    screen.reset();
    changes = 0;
  }

  BookmarkListScreen* open(int folder = -1) {
    screen.reset(new BookmarkListScreen(
        marks, [this] { ++changes; }, folder));
    canvas.layout(*screen);
    return screen.get();
  }

  // Runs a script: key names pressed (down and up), "type=TEXT" answering the text entry asked for.
  // The result of the last step.
  ScreenResult run(const std::string& script) {
    std::istringstream words(script);
    std::string word;
    ScreenResult last;
    while (words >> word) {
      if (word.rfind("type=", 0) == 0) {
        EXPECT_EQ(last.action, ScreenResult::ENTRY) << "typed without an entry: " << script;
        std::string typed = word.substr(5);
        for (char& c : typed)
          if (c == '_') c = ' ';
        last = screen->entered(wide(typed));
        continue;
      }
      const int code = keyCode(word);
      ScreenResult down = screen->key(0, code);
      ScreenResult up = screen->key(1, code);
      last = up.action != ScreenResult::IGNORED ? up : down;
      if (last.action == ScreenResult::CLOSE || last.action == ScreenResult::COMMAND) break;
    }
    return last;
  }

  std::string selectedTitle() const {
    const int node = screen->selectedNode();
    return node < 0 ? ".." : narrow(marks.getTitle(node));
  }
  std::string folderTitle() const {
    return screen->folder() < 0 ? "" : narrow(marks.getTitle(screen->folder()));
  }

  drawn::Scene scene;
  ScreenCanvas canvas;
  Bookmarks marks;
  std::unique_ptr<BookmarkListScreen> screen;
  int changes = 0;
};

struct Walk {
  const char* name;
  const char* script;
  ScreenResult::Action action;
  const char* folder;    // the folder shown afterwards ("" the top level)
  const char* selected;  // the selected row's title (".." for the way up)
  const char* outline;   // the list afterwards
  int changes;           // times the owner heard of an edit
};

// Runs the walk's script on the tree, checking where it ends.
inline void checkWalk(BookmarkListFixture& f, const Walk& walk) {
  SCOPED_TRACE(walk.name);
  f.reset();
  f.open();
  ScreenResult result = f.run(walk.script);
  EXPECT_EQ(result.action, walk.action);
  EXPECT_EQ(f.folderTitle(), walk.folder);
  EXPECT_EQ(f.selectedTitle(), walk.selected);
  EXPECT_EQ(outline(f.marks), walk.outline);
  EXPECT_EQ(f.changes, walk.changes);
  if (walk.action != ScreenResult::CLOSE) {
    EXPECT_EQ(f.screen->mode(), 8);
  }
}

}  // namespace bookmarktest
