// The download program end to end: started as a child process against a server on 127.0.0.1, its
// dialogs answered by a script.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/downloader/DownloaderRun.h"
#include "tests/downloader/FileServer.h"
#include "tests/vwt/net/TestTlsServer.h"

namespace {

using downloadertest::header;
using downloadertest::pattern;
using downloadertest::ProgramFolder;
using downloadertest::readFile;
using downloadertest::response;
using downloadertest::Server;

// Script answers: the save dialog's file name, then "no" to opening the saved file.
std::string saveAs(const std::string& path) { return "answer 1 " + path + "\nanswer 2\n"; }

TEST(DownloaderProgram, SaveModeSendsTheArgumentsAsHeadersAndSavesUnderTheChosenNameWithItsExtension) {
  struct Case {
    std::vector<std::string> extraArgs;  // after "/D URL"
    std::string chosen;                  // the name given to the save dialog
    std::string saved;                   // the file that must be there afterwards
    std::string referer, cookie;         // the request's header values
  } cases[] = {
      // Started with the URL alone: both headers go out, empty.
      {{}, "report", "report.pdf", "", ""},
      {{"http://127.0.0.1/page.html"}, "Report.PDF", "Report.PDF", "http://127.0.0.1/page.html", ""},
      {{"http://127.0.0.1/page.html", "id=7; lang=en"},
       "notes.txt",
       "notes.txt.pdf",
       "http://127.0.0.1/page.html",
       "id=7; lang=en"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosen);
    Server server;
    std::string body = pattern(70000);
    server.route("/files/report.pdf", response(body));
    ProgramFolder folder;
    std::string chosen = folder.home() + "/" + c.chosen;
    std::vector<std::string> args = {"/D", server.url("/files/report.pdf")};
    args.insert(args.end(), c.extraArgs.begin(), c.extraArgs.end());
    ASSERT_EQ(0, folder.run(args, saveAs(chosen)));

    EXPECT_TRUE(body == readFile(folder.home() + "/" + c.saved)) << c.saved;
    EXPECT_EQ(1u, std::distance(std::filesystem::directory_iterator(folder.home()), {}));
    // The temporary file has gone with the move.
    EXPECT_TRUE(folder.dataFiles().empty());
    ASSERT_EQ(1u, server.requests().size());
    std::string request = server.requests()[0];
    EXPECT_EQ(c.referer, header(request, "Referer"));
    EXPECT_EQ(c.cookie, header(request, "Cookie"));
    EXPECT_EQ("WindowsMobile", header(request, "User-Agent"));
  }
}

TEST(DownloaderProgram, SavedFileOpensWithTheDesktopWhenTheUserSaysYes) {
  Server server;
  server.route("/notes.txt", response("notes"));
  ProgramFolder folder;
  folder.writeTool("xdg-open", "echo \"$1\" > \"" + folder.dir / "opened.tmp" + "\"\nmv \"" +
                                   folder.dir / "opened.tmp" + "\" \"" + folder.dir / "opened" + "\"\n");
  ASSERT_EQ(0,
            folder.run({"/D", server.url("/notes.txt")}, "answer 1 " + folder.home() + "/notes\nanswer 1\n"));
  EXPECT_EQ("notes", readFile(folder.home() + "/notes.txt"));
  // The opener runs on without the program waiting for it.
  for (int i = 0; i < 600 && !std::filesystem::exists(folder.dir / "opened"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(folder.home() + "/notes.txt\n", readFile(folder.dir / "opened"));
}

TEST(DownloaderProgram, HttpsFileIsSavedOnlyFromAServerTheSystemTrusts) {
  struct Case {
    bool trusted;
  } cases[] = {{true}, {false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.trusted ? "trusted" : "not trusted");
    TestTlsServer server(response("secret notes"));
    ProgramFolder folder;
    if (c.trusted) {
      server.writeAuthority(folder.dir / "authority.pem");
      folder.extraEnvironment.push_back("SSL_CERT_FILE=" + folder.dir / "authority.pem");
    }
    // Untrusted: the error box takes the answer.
    std::string script = c.trusted ? saveAs(folder.home() + "/notes") : "answer 0\n";
    ASSERT_EQ(0, folder.run({"/D", server.base() + "/notes.txt"}, script));
    EXPECT_EQ(c.trusted, std::filesystem::exists(folder.home() + "/notes.txt"));
    if (c.trusted) {
      EXPECT_EQ("secret notes", readFile(folder.home() + "/notes.txt"));
    }
    EXPECT_TRUE(folder.dataFiles().empty());
  }
}

TEST(DownloaderProgram, NameFromTheServerGivesTheExtensionButNeverTheFolder) {
  struct Case {
    std::string disposition;
    std::string saved;  // in the chosen folder
  } cases[] = {
      {"attachment; filename=\"../../../escape.txt\"", "mine.txt"},
      {"attachment; filename=\"..\\\\..\\\\escape.doc\"", "mine.doc"},
      {"attachment; filename=escape", "mine"},
      {"attachment; filename=\"/etc/escape.tar.gz\"", "mine.gz"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.disposition);
    Server server;
    server.route("/get", response("payload", "Content-Disposition: " + c.disposition + "\r\n"));
    ProgramFolder folder;
    std::filesystem::create_directories(folder.home() + "/a/b/c");
    ASSERT_EQ(0, folder.run({"/D", server.url("/get")}, saveAs(folder.home() + "/a/b/c/mine")));
    EXPECT_EQ("payload", readFile(folder.home() + "/a/b/c/" + c.saved));
    // Nothing else anywhere in the run's folders.
    int files = 0;
    for (auto& f : std::filesystem::recursive_directory_iterator(folder.dir.path())) {
      std::string name = f.path().filename();
      EXPECT_EQ(std::string::npos, name.find("escape")) << f.path();
      files += f.is_regular_file() && f.path().string().find("/home/") != std::string::npos;
    }
    EXPECT_EQ(1, files);
  }
}

TEST(DownloaderProgram, FailedTransfersEndWithTheirDialogAndLeaveNoFiles) {
  struct Case {
    std::string name;
    std::string answer;  // empty: nothing listens
    std::string ini;
  } cases[] = {
      {"not found", response("gone", "", "404 Not Found"), ""},
      {"server error", response("", "", "500 Internal Server Error"), ""},
      {"refused connection", "", ""},
      {"no network", response("never asked for"), "dialup.status=33\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Server server;
    ProgramFolder folder;
    folder.setSystemIni(c.ini);
    std::string url = server.url("/file.bin");
    if (!c.answer.empty()) server.route("/file.bin", c.answer);
    if (c.name == "refused connection") url = "http://127.0.0.1:1/file.bin";
    // The error box takes the one answer; a save dialog would have nothing to answer it.
    ASSERT_EQ(0, folder.run({"/D", url}, "answer 0\n"));
    EXPECT_TRUE(folder.dataFiles().empty());
    EXPECT_EQ(0, std::distance(std::filesystem::directory_iterator(folder.home()), {}));
    if (c.name == "no network") {
      EXPECT_TRUE(server.requests().empty());
    }
  }
}

TEST(DownloaderProgram, CancelledSaveDialogDeletesThePartAndEnds) {
  Server server;
  Server::Route held;
  held.answer = response(pattern(50000));
  held.hold = true;
  held.heldAfter = 20000;
  server.route("/big.bin", held);
  ProgramFolder folder;
  pid_t pid = folder.start({"/D", server.url("/big.bin")}, "answer 0\nanswer 0\n");
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(server.waitUntilHolding());
  server.release();
  EXPECT_EQ(0, ProgramFolder::wait(pid));
  EXPECT_TRUE(folder.dataFiles().empty());
  EXPECT_EQ(0, std::distance(std::filesystem::directory_iterator(folder.home()), {}));
}

TEST(DownloaderProgram, UpdateModeEndsTheBrowserOpensTheFileDeletesItAndStartsTheBrowserAgain) {
  Server server;
  std::string body = pattern(30000);
  server.route("/dist/setup.bin", response(body));
  ProgramFolder folder;
  // A stand-in for the running browser: a copy of sleep under a name of this test's own.
  std::string browserName = "vesk-browser-" + std::to_string(getpid());
  std::string browser = folder.dir / browserName;
  std::filesystem::copy_file("/bin/sleep", browser);
  std::vector<std::string> sleepArgs = {browser, "600"};
  std::vector<char*> a = {&sleepArgs[0][0], &sleepArgs[1][0], nullptr};
  pid_t running = 0;
  ASSERT_EQ(0, posix_spawn(&running, browser.c_str(), nullptr, nullptr, a.data(), environ));
  folder.setSystemIni("main.process=" + browserName + "\n");
  // The desktop's opener copies what it is given; the restarted program leaves a mark.
  folder.writeTool("xdg-open", "cp \"$1\" \"" + folder.dir / "opened" + "\"\necho \"$1\" > \"" +
                                   folder.dir / "opened-path" + "\"\n");
  folder.writeTool("restart", "echo started > \"" + folder.dir / "restarted" + "\"\n");

  EXPECT_EQ(0, folder.run({"/U", server.url("/dist/setup.bin"), folder.dir / "bin/restart"}, "answer 0\n"));

  int status = 0;
  EXPECT_EQ(running, waitpid(running, &status, 0));
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_TRUE(body == readFile(folder.dir / "opened"));
  EXPECT_EQ(folder.program() + "setup.bin\n", readFile(folder.dir / "opened-path"));
  EXPECT_FALSE(std::filesystem::exists(folder.program() + "setup.bin"));
  for (int i = 0; i < 600 && !std::filesystem::exists(folder.dir / "restarted"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ("started\n", readFile(folder.dir / "restarted"));
}

TEST(DownloaderProgram, SaveModeLeavesAnyRunningBrowserAlone) {
  Server server;
  server.route("/a.txt", response("a"));
  ProgramFolder folder;
  std::string browserName = "vesk-browser-save-" + std::to_string(getpid());
  std::string browser = folder.dir / browserName;
  std::filesystem::copy_file("/bin/sleep", browser);
  std::vector<std::string> sleepArgs = {browser, "600"};
  std::vector<char*> a = {&sleepArgs[0][0], &sleepArgs[1][0], nullptr};
  pid_t running = 0;
  ASSERT_EQ(0, posix_spawn(&running, browser.c_str(), nullptr, nullptr, a.data(), environ));
  folder.setSystemIni("main.process=" + browserName + "\n");
  EXPECT_EQ(0, folder.run({"/D", server.url("/a.txt")}, saveAs(folder.home() + "/a")));
  EXPECT_EQ("a", readFile(folder.home() + "/a.txt"));
  EXPECT_EQ(0, waitpid(running, nullptr, WNOHANG));
  kill(running, SIGTERM);
  waitpid(running, nullptr, 0);
}

TEST(DownloaderProgram, WindowClosedDuringATransferKeepsThePartWhichTheNextStartResumes) {
  FileServer::Options slow;
  slow.size = 2 << 20;
  slow.pieceBytes = 4096;
  slow.pauseMicros = 10000;
  FileServer server(slow);
  ProgramFolder folder;
  // The window closes while the body is still coming.
  ASSERT_EQ(0,
            folder.run({"/D", server.url("/big.bin")}, saveAs(folder.home() + "/big") + "wait 1000\nquit\n"));
  std::vector<std::string> kept = folder.dataFiles();
  ASSERT_EQ(2u, kept.size());
  EXPECT_FALSE(std::filesystem::exists(folder.home() + "/big.bin"));

  FileServer::Options fast = slow;
  fast.pauseMicros = 0;
  server.setOptions(fast);
  ASSERT_EQ(0, folder.run({"/D", server.url("/big.bin")}, saveAs(folder.home() + "/big")));
  ASSERT_EQ(2u, server.requests().size());
  EXPECT_EQ(0u, FileServer::headerOf(server.requests()[1], "Range").find("bytes="));
  EXPECT_NE("bytes=0-", FileServer::headerOf(server.requests()[1], "Range"));
  EXPECT_EQ(FileServer::patternDigest(slow.size), FileServer::fileDigest(folder.home() + "/big.bin"));
  EXPECT_TRUE(folder.dataFiles().empty());
}

}  // namespace
