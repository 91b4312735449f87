#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/io/InputStream.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Resource.h"
#include "vwt/platform/InputScript.h"
#include "vwt/platform/ScriptAnswers.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/FileChooser.h"
#include "vwt/ui/ImageStore.h"
#include "vwt/ui/MediaImage.h"

using vwt::platform::ScriptAnswers;
using vwt::platform::WindowSystem;

namespace {

std::string sourceFile(const std::string& name) {
  std::ifstream in(std::string(VWT_SOURCE_DIR) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The dialogs on a headless screen, with the program's real message texts and HOME in a scratch
// folder (where "\" starts).
class FileChooserTest : public ::testing::Test {
 protected:
  FileChooserTest() {
    setenv("VWT_DISPLAY", "headless", 1);
    setenv("VWT_SCREEN_SIZE", "240x320", 1);
    unsetenv("VWT_INPUT_SCRIPT");
    const char* home = getenv("HOME");
    if (home) oldHome_ = home;
    setenv("HOME", program.dir.path().c_str(), 1);
    program.write("res/message.txt", sourceFile("res/message.txt"));
    WindowSystem::shutdown();
    ScriptAnswers::clear();
  }
  ~FileChooserTest() override {
    WindowSystem::shutdown();
    ScriptAnswers::clear();
    unsetenv("VWT_SCREEN_SIZE");
    if (!oldHome_.empty()) setenv("HOME", oldHome_.c_str(), 1);
  }

  void script(const std::string& text) {
    std::string error;
    int line = 0;
    std::unique_ptr<vwt::platform::InputScript> s = vwt::platform::InputScript::parse(text, &error, &line);
    ASSERT_TRUE(s) << error;
    WindowSystem::get().setInputScript(std::move(s));
  }

  ScratchProgram program;

 private:
  std::string oldHome_;
};

}  // namespace

TEST_F(FileChooserTest, StartsInTheHomeFolderWithAllFiles) {
  FileChooser chooser;
  EXPECT_EQ(narrow(chooser.getInitialDirectory()), "\\");
  EXPECT_EQ(narrow(chooser.getFileNameFilter()), "All files (*.*)|*.*");
  EXPECT_TRUE(chooser.getSelectedFileName().isNull());
}

TEST_F(FileChooserTest, ScriptedAnswersApproveOrCancel) {
  struct Case {
    bool save;
    int button;
    const char* text;
    int want;
    const char* name;  // afterwards
  } cases[] = {
      {false, 1, "/data/in.txt", FileChooser::APPROVED, "/data/in.txt"},
      {true, 1, "/data/out.txt", FileChooser::APPROVED, "/data/out.txt"},
      // A save name's trailing dot goes; an open name keeps it.
      {true, 1, "/data/report.", FileChooser::APPROVED, "/data/report"},
      {false, 1, "/data/report.", FileChooser::APPROVED, "/data/report."},
      // Cancelled, or a name the buffer cannot hold: the name stays as it was.
      {false, 0, "", FileChooser::CANCELLED, "kept"},
      {true, 0, "/data/ignored.txt", FileChooser::CANCELLED, "kept"},
      {true, 1, nullptr, FileChooser::CANCELLED, "kept"},
  };
  const std::string tooLong = "/" + std::string(FileChooser::NAME_BUFFER_UNITS, 'n');
  for (const Case& c : cases) {
    FileChooser chooser;
    chooser.setSelectedFileName(u"kept"_s);
    ScriptAnswers::push(c.button, c.text ? c.text : tooLong);
    int got = c.save ? chooser.showSaveDialog(nullptr) : chooser.showOpenDialog(nullptr);
    EXPECT_EQ(got, c.want) << (c.text ? c.text : "too long");
    EXPECT_EQ(narrow(chooser.getSelectedFileName()), c.name) << (c.text ? c.text : "too long");
  }
}

TEST_F(FileChooserTest, TheDialogStartsWithTheSelectedNameInTheInitialFolder) {
  program.dir.write("pictures/old.png", "x");
  FileChooser chooser;
  chooser.setInitialDirectory(wide(program.dir / "pictures"));
  chooser.setSelectedFileName(u"new.png"_s);
  script("key select\n");
  EXPECT_EQ(chooser.showSaveDialog(nullptr), FileChooser::APPROVED);
  EXPECT_EQ(narrow(chooser.getSelectedFileName()), program.dir / "pictures/new.png");
  // "\" is the home folder: the open dialog finds the file there by its name.
  program.dir.write("home.txt", "x");
  FileChooser home;
  script("type home.txt\nkey select\n");
  EXPECT_EQ(home.showOpenDialog(nullptr), FileChooser::APPROVED);
  EXPECT_EQ(narrow(home.getSelectedFileName()), program.dir / "home.txt");
}

TEST_F(FileChooserTest, ImageStoreSavesAndSelectsThroughTheDialogs) {
  const std::string gif = "GIF89a....";
  AutoPtr<MediaImage> image(new MediaImage(gif.data(), 0, static_cast<int>(gif.size()), true));
  // Typed without the extension: the picture's type adds it.
  script("type saved\nkey select\n");
  String path = ImageStore::addEntry(nullptr, image.get());
  EXPECT_EQ(narrow(path), program.dir / "saved.gif");
  EXPECT_EQ(program.dir.read("saved.gif"), gif);
  // Cancelled: nothing is written and no name comes back.
  script("key escape\n");
  EXPECT_TRUE(ImageStore::addEntry(nullptr, image.get()).isNull());
  // The dialog asked about "saved"; the name with its extension is asked about after it.
  const std::string other = "GIF89a, another";
  AutoPtr<MediaImage> second(new MediaImage(other.data(), 0, static_cast<int>(other.size()), true));
  script("type saved\nanswer 2\nkey select\n");
  EXPECT_TRUE(ImageStore::addEntry(nullptr, second.get()).isNull());
  EXPECT_EQ(program.dir.read("saved.gif"), gif);
  EXPECT_EQ(ScriptAnswers::count(), 0);
  script("type saved\nanswer 1\nkey select\n");
  EXPECT_EQ(narrow(ImageStore::addEntry(nullptr, second.get())), program.dir / "saved.gif");
  EXPECT_EQ(program.dir.read("saved.gif"), other);

  // The open dialog lists pictures only; the one chosen is read back.
  program.dir.write("notes.txt", "x");
  script("type saved.gif\nkey select\n");
  AutoPtr<ImageStore> entry(ImageStore::selectEntry(nullptr));
  ASSERT_NE(entry.get(), nullptr);
  EXPECT_EQ(narrow(entry->getPath()), program.dir / "saved.gif");
  AutoPtr<InputStream> in(entry->getInputStream());
  char buf[32];
  EXPECT_EQ(in->read(buf, 0, sizeof buf), static_cast<int>(other.size()));
  script("key escape\n");
  EXPECT_EQ(ImageStore::selectEntry(nullptr), nullptr);
}
