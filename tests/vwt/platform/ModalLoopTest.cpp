#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "tests/vwt/platform/DrawnControlsFixture.h"
#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/ModalLoop.h"
#include "vwt/platform/VirtualKeys.h"

using namespace vwt::platform;

namespace {

// A dialog window and an owner window; the dialog ends its loop with 40 + the digit pressed.
class ModalLoopTest : public DrawnControlsFixture {
 protected:
  ModalLoopTest() {
    WindowSystem& ws = WindowSystem::get();
    ws.registerClass(
        WindowClass{u"modalTest", [this](WindowHandle h, uint32_t k, uintptr_t w, intptr_t) -> intptr_t {
                      heard.push_back(Heard{h, k, static_cast<int>(w)});
                      if (h == dialog && k == WM_KEYDOWN) ownerEnabled = WindowSystem::get().isEnabled(owner);
                      if (h == dialog && k == WM_KEYDOWN && loop && w >= (VK_0 + 0) && w <= (VK_0 + 9))
                        loop->done(40 + static_cast<int>(w - (VK_0 + 0)));
                      return 0;
                    }});
    owner = ws.createWindow(u"modalTest", u"", STYLE_VISIBLE, 0, 0, 0, 240, 320);
    ws.setActive(owner);
    ws.setFocus(owner);
    dialog = ws.createWindow(u"modalTest", u"", STYLE_VISIBLE, 0, 20, 20, 100, 100);
  }
  // The windows still talk to the procedure while they are destroyed.
  ~ModalLoopTest() override { WindowSystem::shutdown(); }
  struct Heard {
    WindowHandle window;
    uint32_t kind;
    int wParam;
  };
  int count(WindowHandle window, uint32_t kind, int wParam) const {
    int n = 0;
    for (const Heard& h : heard) n += h.window == window && h.kind == kind && h.wParam == wParam;
    return n;
  }

  std::vector<Heard> heard;
  WindowHandle owner = 0, dialog = 0;
  ModalLoop* loop = nullptr;
  bool ownerEnabled = true;
};

TEST_F(ModalLoopTest, TheOwnerIsDisabledWhileTheDialogRunsAndGetsBackFocusAndItsKeyRelease) {
  WindowSystem& ws = WindowSystem::get();
  ws.keyDown((VK_0 + 5), false);  // pressed before the dialog: its release goes back to the owner
  Message m;
  while (ws.peek(&m, true)) ws.dispatch(m);
  script("key 5 up\ntap 200 300\nkey 7\n");
  ModalLoop l(dialog, owner);
  loop = &l;
  heard.clear();
  EXPECT_EQ(l.exec(-1), 47);
  EXPECT_FALSE(ownerEnabled) << "disabled while the dialog runs";
  EXPECT_TRUE(ws.isEnabled(owner));
  EXPECT_EQ(ws.getFocus(), owner);
  EXPECT_EQ(count(owner, WM_LBUTTONDOWN, 1), 0) << "the tap on the owner is dropped";
  EXPECT_EQ(count(dialog, WM_KEYDOWN, (VK_0 + 7)), 1);
  EXPECT_EQ(count(dialog, WM_KEYUP, (VK_0 + 5)), 0);
  while (ws.peek(&m, true)) ws.dispatch(m);
  EXPECT_EQ(count(owner, WM_KEYUP, (VK_0 + 5)), 1) << "the release comes after the dialog";
}

TEST_F(ModalLoopTest, AQuitEndsTheDialogWithTheCancelResultAndStaysForTheOuterLoop) {
  WindowSystem& ws = WindowSystem::get();
  ws.postQuit(9);
  ModalLoop l(dialog, owner);
  EXPECT_EQ(l.exec(-1), -1);
  Message m;
  while (ws.peek(&m, true) && m.kind != WM_QUIT) {
  }
  EXPECT_EQ(m.kind, static_cast<uint32_t>(WM_QUIT));
  EXPECT_EQ(ws.getQuitCode(), 9);
}

TEST_F(ModalLoopTest, AClosedProgramWindowCancelsTheDialogAndTheCloseGoesOnToTheOwner) {
  WindowSystem& ws = WindowSystem::get();
  ws.bringToTop(dialog);
  ws.closeRequested();  // the desktop's close button, with the dialog on top
  ModalLoop l(dialog, owner);
  heard.clear();
  EXPECT_EQ(l.exec(-1), -1);
  EXPECT_EQ(count(dialog, WM_CLOSE, 0), 1);
  Message m;
  while (ws.peek(&m, true)) ws.dispatch(m);
  EXPECT_EQ(count(owner, WM_CLOSE, 0), 1) << "the program still hears the close";
}

TEST_F(ModalLoopTest, ADestroyedDialogWindowEndsTheLoopWithTheCancelResult) {
  WindowSystem& ws = WindowSystem::get();
  ModalLoop l(dialog, owner);
  ws.registerClass(WindowClass{u"destroyer", [&](WindowHandle, uint32_t k, uintptr_t, intptr_t) -> intptr_t {
                                 if (k == WM_TIMER) ws.destroyWindow(dialog);
                                 return 0;
                               }});
  WindowHandle destroyer = ws.createWindow(u"destroyer", u"", 0, 0, 0, 0, 1, 1);
  ws.setTimer(destroyer, 1, 1);
  EXPECT_EQ(l.exec(-3), -3);
  EXPECT_TRUE(ws.isEnabled(owner));
}

TEST_F(ModalLoopTest, AQueuedAnswerEndsTheLoopAtOnceWithItsText) {
  ScriptAnswers::push(1, "/home/u/caf\xc3\xa9.txt");
  ModalLoop l(dialog, owner);
  EXPECT_EQ(l.exec(0), 1);
  EXPECT_TRUE(l.answeredByScript());
  EXPECT_EQ(l.answerText(), u"/home/u/caf\u00e9.txt");
  ModalLoop second(dialog, owner);
  second.done(5);
  EXPECT_EQ(second.exec(0), 5) << "done before exec returns at once";
  EXPECT_FALSE(second.answeredByScript());
}

TEST_F(ModalLoopTest, DoneFromAnotherThreadWakesTheLoop) {
  ModalLoop l(dialog, owner);
  std::thread other([&l] { l.done(3); });
  EXPECT_EQ(l.exec(0), 3);
  other.join();
}

TEST_F(ModalLoopTest, TheProgramsFilterSeesTheDialogsMessages) {
  std::vector<uint32_t> filtered;
  ModalLoop::setFilter([&](const Message& m) {
    if (m.kind == WM_KEYDOWN) filtered.push_back(static_cast<uint32_t>(m.wParam));
    return m.wParam == (VK_0 + 1);  // used up: the dialog never hears it
  });
  script("key 1\nkey 2\n");
  ModalLoop l(dialog, owner);
  loop = &l;
  EXPECT_EQ(l.exec(0), 42);
  ModalLoop::setFilter(nullptr);
  EXPECT_EQ(filtered, (std::vector<uint32_t>{(VK_0 + 1), (VK_0 + 2)}));
}

}  // namespace
