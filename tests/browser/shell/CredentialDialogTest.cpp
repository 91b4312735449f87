#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "browser/shell/CredentialDialog.h"
#include "browser/shell/ServiceDialogBox.h"
#include "tests/vwt/GoldenPicture.h"
#include "tests/vwt/TestText.h"
#include "tests/vwt/platform/DrawnControlsFixture.h"
#include "vwt/platform/ScriptAnswers.h"

namespace {

using vwt::platform::ScriptAnswers;

class CredentialDialogTest : public DrawnControlsFixture {
 protected:
  // The dialog with the script as its input: "ok user/password" or "cancelled".
  std::string run(const std::string& input, const char* user = "", const char* password = "") {
    script(input);
    CredentialDialog::Answer a =
        CredentialDialog::show(nullptr, u"Members (user guest)"_s, String(user), String(password));
    return a.confirmed ? "ok " + narrow(a.user) + "/" + narrow(a.password) : "cancelled";
  }
};

}  // namespace

TEST_F(CredentialDialogTest, KeysAndTapsFillAndAnswerIt) {
  // OK and Cancel sit centred on the bottom row of the box.
  struct Case {
    const char* input;
    const char* user;
    const char* password;
    const char* want;
  } cases[] = {
      {"type guest\nkey select\ntype demo\nkey select\n", "", "", "ok guest/demo"},
      // A stored user name: the keys start in the password field.
      {"type demo\nkey select\n", "guest", "", "ok guest/demo"},
      {"key select\nkey backspace\ntype o\nkey select\n", "guest", "dema", "ok guest/demo"},
      {"type guest\nkey escape\n", "", "", "cancelled"},
      // Beside the fields the box has the keys: down, then the soft keys.
      {"type guest\ntap 10 160\nkey down\ntype x\ntap 10 160\nkey soft1\n", "", "", "ok guest/x"},
      {"tap 10 160\nkey soft2\n", "guest", "pw", "cancelled"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, run(c.input, c.user, c.password)) << c.input;
}

TEST_F(CredentialDialogTest, AScriptAnswerEndsItAtOnce) {
  ScriptAnswers::push(CredentialDialog::RESULT_OK, "");
  EXPECT_EQ("ok guest/kept", run("", "guest", "kept"));
  ScriptAnswers::push(CredentialDialog::RESULT_OK, "guest:de:mo");
  EXPECT_EQ("ok guest/de:mo", run(""));
  ScriptAnswers::push(CredentialDialog::RESULT_CANCEL, "");
  EXPECT_EQ("cancelled", run("", "guest", "kept"));
  EXPECT_EQ(0, ScriptAnswers::count());
}

// From a worker the dialog runs on the interface thread, which goes on
// with its loop; the box hands the answer on.
TEST_F(CredentialDialogTest, TheServiceDialogBoxAnswersFromAWorker) {
  vwt::platform::WindowSystem& ws = vwt::platform::WindowSystem::get();
  ScriptAnswers::push(CredentialDialog::RESULT_OK, "guest:demo");
  std::string heard;
  ServiceDialogBox box(nullptr, [&](bool ok, const String& user, const String& password) {
    heard = (ok ? "ok " : "no ") + narrow(user) + "/" + narrow(password);
  });
  std::atomic<bool> done(false);
  std::thread worker([&] {
    box.askCredentials(u"Members"_s, String(), String());
    done = true;
  });
  vwt::platform::Message m;
  while (!done) {
    if (ws.peek(&m, true)) {
      ws.translate(m);
      ws.dispatch(m);
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  worker.join();
  EXPECT_EQ("ok guest/demo", heard);
}

TEST_F(CredentialDialogTest, LooksAsItsGoldenPicture) {
  std::string shot = dir / "credential-dialog.png";
  EXPECT_EQ("cancelled", run("type guest\nkey select\ntype demo\nshot " + shot + "\nkey escape\n"));
  EXPECT_TRUE(golden::matches(shot, "credential-dialog.png"));
}
