#include <gtest/gtest.h>

#include <string>

#include "tests/vwt/GoldenPicture.h"
#include "tests/vwt/platform/DrawnControlsFixture.h"
#include "vwt/platform/ControlLook.h"
#include "vwt/platform/DrawnFileDialog.h"
#include "vwt/platform/ScriptAnswers.h"
#include "vwt/platform/WindowSystem.h"

using namespace vwt::platform;

namespace {

std::u16string u16(const std::string& s) { return std::u16string(s.begin(), s.end()); }
std::string u8(const std::u16string& s) { return std::string(s.begin(), s.end()); }

// Where the dialog's rows are on the 240 x 320 screen: below the caption and the folder line, one
// row a text line and six pixels.
const int LIST_TOP = ControlLook::CAPTION_HEIGHT + ControlLook::LINE_GAP + ControlLook::FONT_HEIGHT +
                     2 * ControlLook::LINE_GAP + ControlLook::LINE_GAP;
const int ROW_HEIGHT = ControlLook::FONT_HEIGHT + 6;
std::string tapRow(int row) {
  return "tap 60 " + std::to_string(LIST_TOP + 1 + row * ROW_HEIGHT + ROW_HEIGHT / 2) + "\n";
}

// File dialogs over a scratch folder, driven by scripts.
class DrawnFileDialogTest : public DrawnControlsFixture {
 protected:
  DrawnFileDialogTest() {
    texts.title = u"Open";
    texts.ok = u"OK";
    texts.cancel = u"Cancel";
    texts.allFiles = u"All files";
    texts.notice = [this](DrawnFileDialog::Notice notice, const std::u16string& path) {
      notices += std::to_string(notice) + " " + u8(path) + ";";
      return u"notice " + path;
    };
    dir.write("docs/b.txt", "b");
    dir.write("docs/deeper/c.txt", "c");
    dir.write("a.txt", "a");
    dir.write("notes.md", "n");
    dir.write(".hidden.txt", "h");
  }

  // Runs the dialog with the script as its input; the chosen path, or "cancelled".
  std::string run(FileDialogModel::Purpose purpose, const std::string& input, const std::string& name = "") {
    script(input);
    DrawnFileDialog::Request request;
    request.purpose = purpose;
    request.initialFolder = u16(dir.path());
    request.filter = u"Text|*.txt|Everything|*.*";
    request.name = u16(name);
    texts.title = purpose == FileDialogModel::SAVE ? u"Save as" : u"Open";
    std::u16string chosen = u"untouched";
    int result = DrawnFileDialog::show(0, request, texts, &chosen);
    if (result == 0) {
      EXPECT_EQ(chosen, u"untouched");
      return "cancelled";
    }
    EXPECT_EQ(result, 1);
    return u8(chosen);
  }

  DrawnFileDialog::Texts texts;
  std::string notices;
};

}  // namespace

// Rows: "..", "docs", "a.txt" (the filter takes *.txt; notes.md and the dot file are left out).
TEST_F(DrawnFileDialogTest, KeysEnterAFolderAndChooseAFile) {
  EXPECT_EQ(run(FileDialogModel::OPEN,
                "key down\nkey down\nkey select\nkey down\nkey down\nkey down\nkey select\n"),
            dir / "docs/b.txt");
  // Back goes up again, left and right change the filter: notes.md shows with the second one.
  EXPECT_EQ(
      run(FileDialogModel::OPEN, "key down\nkey down\nkey select\nkey back\nkey right\nkey up\nkey select\n"),
      dir / "notes.md");
  EXPECT_EQ(run(FileDialogModel::OPEN, "key down\nkey escape\n"), "cancelled");
  EXPECT_EQ(run(FileDialogModel::OPEN, "key soft2\n"), "cancelled");
  EXPECT_EQ(notices, "");
}

TEST_F(DrawnFileDialogTest, ATapChoosesAndASecondTapOpens) {
  // docs (row 1) opens on its second tap; in it, b.txt is row 2 after ".." and "deeper".
  EXPECT_EQ(run(FileDialogModel::OPEN, tapRow(1) + tapRow(1) + tapRow(2) + tapRow(2)), dir / "docs/b.txt");
  // One tap puts the name in the field; OK takes it.
  // OK and Cancel share the bottom row's right two thirds.
  int okX = 120;
  int buttonY = 320 - ControlLook::PADDING - ControlLook::BUTTON_HEIGHT / 2;
  EXPECT_EQ(run(FileDialogModel::OPEN,
                tapRow(2) + "tap " + std::to_string(okX) + " " + std::to_string(buttonY) + "\n"),
            dir / "a.txt");
  EXPECT_EQ(run(FileDialogModel::OPEN, "tap 200 " + std::to_string(buttonY) + "\n"), "cancelled");
}

TEST_F(DrawnFileDialogTest, TypedNamesAreCheckedBeforeTheyAreUsed) {
  // A missing file is told about and the dialog stays; a typed folder is entered and the field
  // emptied for the name in it.
  EXPECT_EQ(run(FileDialogModel::OPEN, "answer 0\ntype missing.txt\nkey select\nkey escape\n"), "cancelled");
  EXPECT_EQ(notices, std::to_string(DrawnFileDialog::NOTICE_NO_FILE) + " " + (dir / "missing.txt") + ";");
  EXPECT_EQ(ScriptAnswers::count(), 0);
  notices.clear();
  EXPECT_EQ(run(FileDialogModel::OPEN, "type docs\nkey select\ntype b.txt\nkey select\n"),
            dir / "docs/b.txt");
  EXPECT_EQ(run(FileDialogModel::SAVE, "answer 0\ntype nowhere/x.txt\nkey select\nkey escape\n"),
            "cancelled");
  EXPECT_EQ(notices, std::to_string(DrawnFileDialog::NOTICE_NO_FOLDER) + " " + (dir / "nowhere") + ";");
}

TEST_F(DrawnFileDialogTest, SavingOverAFileAsksFirst) {
  // No keeps the dialog open; yes takes the name.
  EXPECT_EQ(run(FileDialogModel::SAVE, "type a.txt\nanswer 2\nkey select\nanswer 1\nkey select\n"),
            dir / "a.txt");
  EXPECT_EQ(notices, std::to_string(DrawnFileDialog::NOTICE_REPLACE_QUESTION) + " " + (dir / "a.txt") + ";" +
                         std::to_string(DrawnFileDialog::NOTICE_REPLACE_QUESTION) + " " + (dir / "a.txt") +
                         ";");
  EXPECT_EQ(ScriptAnswers::count(), 0);
  // A new name in a folder entered by taps is not asked about; the first name is kept while browsing.
  notices.clear();
  EXPECT_EQ(run(FileDialogModel::SAVE, tapRow(1) + tapRow(1) + "key select\n", "new.txt"),
            dir / "docs/new.txt");
  EXPECT_EQ(notices, "");
}

TEST_F(DrawnFileDialogTest, AScriptAnswerEndsTheDialogAtOnce) {
  ScriptAnswers::push(1, "/somewhere/else.txt");
  EXPECT_EQ(run(FileDialogModel::SAVE, ""), "/somewhere/else.txt");
  ScriptAnswers::push(0, "");
  EXPECT_EQ(run(FileDialogModel::OPEN, ""), "cancelled");
}

TEST_F(DrawnFileDialogTest, TheStylusScrollsTheList) {
  // 14 rows, 9 shown: "..", "more", then twelve files sorted by name, without regard to case
  // (shell1, shell10, shell11, shell12, shell2, ...). Five rows down, shell2.txt is the second row.
  dir.write("many/more/x.txt", "x");
  for (int i = 1; i <= 12; ++i) dir.write("many/shell" + std::to_string(i) + ".txt", "x");
  struct Case {
    const char* how;
    std::string input;
  } cases[] = {
      // Dragging up by five rows, and a tap below the scroll bar's knob (as far as the list goes).
      {"drag", "drag 60 200 60 100 100\n"},
      {"page", "tap 230 200\n"},
  };
  for (const Case& c : cases) {
    script(c.input + tapRow(1) + tapRow(1));
    DrawnFileDialog::Request request;
    request.initialFolder = u16(dir / "many");
    request.filter = u"Text|*.txt";
    std::u16string chosen;
    EXPECT_EQ(DrawnFileDialog::show(0, request, texts, &chosen), 1) << c.how;
    EXPECT_EQ(u8(chosen), dir / "many/shell2.txt") << c.how;
  }
}

TEST_F(DrawnFileDialogTest, LooksRight) {
  // A long folder path shows its end; long names are cut with an ellipsis; more files than rows
  // bring the scroll bar.
  const std::string folder = "pictures-of-the-long-summer-holidays/by-the-sea";
  dir.write(folder + "/a-photo-with-a-name-far-too-long-for-the-list.png", "x");
  dir.write(folder + "/beach.png", "x");
  dir.write(folder + "/sunset.jpg", "x");
  dir.write(folder + "/readme.txt", "x");
  for (int i = 1; i <= 9; ++i) dir.write(folder + "/shell" + std::to_string(i) + ".png", "x");
  dir.write(folder + "/evenings/x.png", "x");
  struct Case {
    FileDialogModel::Purpose purpose;
    const char* name;
    std::string input;
  } cases[] = {
      {FileDialogModel::OPEN, "file-dialog-open.png", "key down\nkey down\nkey down\n"},
      {FileDialogModel::SAVE, "file-dialog-save.png", "type holiday.png\n"},
  };
  for (const Case& c : cases) {
    std::string shot = dir / c.name;
    script(c.input + "shot " + shot + "\nkey escape\nkey escape\n");
    DrawnFileDialog::Request request;
    request.purpose = c.purpose;
    request.initialFolder = u16(dir / folder);
    request.filter = u"Pictures (*.png;*.jpg)|*.png;*.jpg|All files|*.*";
    texts.title = c.purpose == FileDialogModel::SAVE ? u"Save as" : u"Open";
    std::u16string chosen;
    EXPECT_EQ(DrawnFileDialog::show(0, request, texts, &chosen), 0);
    EXPECT_TRUE(golden::matches(shot, c.name));
  }
}
