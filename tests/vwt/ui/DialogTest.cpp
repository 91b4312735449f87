#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/vwt/ScratchDirectory.h"
#include "vwt/platform/ControlLook.h"
#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/ScriptAnswers.h"
#include "vwt/platform/VirtualKeys.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Dialog.h"
#include "vwt/ui/Frame.h"

using namespace vwt::platform;

namespace {

// Asks a question of dialog type `type` on the key 1 and writes the answers down.
class AskingFrame : public Frame {
 public:
  explicit AskingFrame(Application* app) : Frame(app, u"ask"_s) {}
  void onKeyPressed(int key) override {
    if (key != 1) return;
    int t = answers.size() < types.size() ? types[answers.size()] : Dialog::TYPE_YES_NO;
    answers.push_back(Dialog(this, t, u"Question"_s, u"Go on?"_s).show());
  }
  void onKeyReleased(int key) override {
    if (key == 1) log.push_back("release 1");
  }
  // While a message box is open, its keys come from here: the frame's timers run in the dialog's loop.
  void onTimerExpired(int) override {
    WindowHandle box = WindowSystem::get().findWindow(u"vwtMessageBox");
    if (!box || keys.empty()) return;
    for (int vk : keys)
      WindowSystem::get().post(box, WM_KEYDOWN, static_cast<uintptr_t>(vk), keyDownParam(false));
    keys.clear();
  }
  std::vector<int> types;  // the dialog type of each question in turn; Yes/No after them
  std::vector<int> answers;
  std::vector<std::string> log;
  std::vector<int> keys;
};

class DialogTest : public ::testing::Test {
 protected:
  DialogTest() {
    setenv("VWT_DISPLAY", "headless", 1);
    setenv("VWT_SCREEN_SIZE", "240x320", 1);
    setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    ScriptAnswers::clear();
  }
  ~DialogTest() override {
    unsetenv("VWT_INPUT_SCRIPT");
    unsetenv("VWT_SCREEN_SIZE");
  }
  AskingFrame* open(const std::string& script) {
    dir.write("input.txt", script);
    setenv("VWT_INPUT_SCRIPT", (dir / "input.txt").c_str(), 1);
    AskingFrame* frame = new AskingFrame(app.get());
    EXPECT_TRUE(frame->initializeWindow(u"DialogTestClass"_s, 0, 0, 0, 0));
    return frame;
  }
  // "X Y" of button i of n in a box whose text takes one line, centred on the screen.
  static std::string at(int i, int n) {
    const int boxH = 2 * ControlLook::BORDER + ControlLook::CAPTION_HEIGHT + 3 * ControlLook::PADDING +
                     ControlLook::ICON_SIZE + ControlLook::BUTTON_HEIGHT;
    const int y =
        (320 - boxH) / 2 + boxH - ControlLook::BORDER - ControlLook::PADDING - ControlLook::BUTTON_HEIGHT / 2;
    const int step = ControlLook::BUTTON_MIN_WIDTH + ControlLook::GAP;
    const int x = 120 - (n * step - ControlLook::GAP) / 2 + i * step + ControlLook::BUTTON_MIN_WIDTH / 2;
    return std::to_string(x) + " " + std::to_string(y);
  }

  ScratchDirectory dir;
  std::unique_ptr<Application> app{new Application()};
};

TEST_F(DialogTest, AYesNoQuestionIsAnsweredByKeyByTapAndByScript) {
  AskingFrame* f = open(
      "key 1\nkey select\n"
      "key 1\nkey right\nkey select\n"
      "key 1\ntap " +
      at(0, 2) + "\nkey 1\ntap " + at(1, 2) +
      "\n"
      "answer 1\nkey 1\nanswer 2\nkey 1\n"
      "key 1\nkey escape\nquit\n");
  app->run();
  EXPECT_EQ(f->answers, (std::vector<int>{1, 2, 1, 2, 1, 2, 2}));
  // The key that opened each question is released to the frame once the question is answered.
  EXPECT_EQ(f->log, std::vector<std::string>(7, "release 1"));
}

TEST_F(DialogTest, TheTypeChoosesTheButtonsAndTheResultsMapToOkYesNoAndOther) {
  struct Case {
    int type;
    const char* keys;
    int want;
  } cases[] = {
      {Dialog::TYPE_ERROR, "key select\n", Dialog::RESULT_OK},
      {Dialog::TYPE_WARNING, "key soft2\n", Dialog::RESULT_OK},
      {Dialog::TYPE_INFORMATION, "key escape\n", Dialog::RESULT_OK},
      {Dialog::TYPE_YES_NO_CANCEL, "key escape\n", Dialog::RESULT_OTHER},
      {Dialog::TYPE_YES_NO_CANCEL, "key left\nkey select\n", Dialog::RESULT_OTHER},
      {Dialog::TYPE_YES_NO_CANCEL, "key soft1\n", Dialog::RESULT_YES},
      {7, "key right\nkey select\n", Dialog::RESULT_OK},
  };
  std::string script;
  std::vector<int> want;
  for (const Case& c : cases) {
    script += std::string("key 1\n") + c.keys;
    want.push_back(c.want);
  }
  AskingFrame* f = open(script + "quit\n");
  for (const Case& c : cases) f->types.push_back(c.type);
  app->run();
  EXPECT_EQ(f->answers, want);
}

TEST_F(DialogTest, AWorkerThreadsQuestionRunsOnTheUiThreadAndWaitsForTheAnswer) {
  AskingFrame* f = open("");
  f->keys = {VK_RIGHT, VK_RETURN};
  WindowSystem::get().setTimer(f->getHandle(), 1, 5);
  std::atomic<int> answer{-1};
  std::atomic<bool> onUiThread{true};
  const int frameHandle = f->getHandle();
  std::thread worker([&] {
    onUiThread = WindowSystem::get().isUiThread();
    answer = Dialog(f, Dialog::TYPE_YES_NO, u"Download"_s, u"Replace the file?"_s).show();
    // A scripted answer serves the worker's second question.
    ScriptAnswers::push(1, "");
    int second = Dialog(f, Dialog::TYPE_YES_NO, u"Download"_s, u"Again?"_s).show();
    if (second != 1) answer = -2;
    WindowSystem::get().post(frameHandle, WM_CLOSE, 0, 0);
  });
  app->run();
  worker.join();
  EXPECT_FALSE(onUiThread);
  EXPECT_EQ(answer, Dialog::RESULT_NO);
}

TEST_F(DialogTest, WithoutAWindowSystemTheAnswerIsOther) {
  app.reset();
  WindowSystem::shutdown();
  EXPECT_EQ(Dialog(nullptr, Dialog::TYPE_YES_NO, u"A"_s, u"B"_s).show(), Dialog::RESULT_OTHER);
  std::atomic<int> fromWorker{-1};
  std::thread worker([&] { fromWorker = Dialog(nullptr, Dialog::TYPE_YES_NO, u"A"_s, u"B"_s).show(); });
  worker.join();
  EXPECT_EQ(fromWorker, Dialog::RESULT_OTHER);
  EXPECT_FALSE(WindowSystem::exists());
}

}  // namespace
