#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "vwt/lang/Benchmark.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Lock.h"
#include "vwt/lang/Logger.h"
#include "vwt/lang/Thread.h"
#include "vwt/lang/VectorV.h"
#include "vwt/platform/Paths.h"

namespace {

// Runs until released, so tests control when run() returns.
class Gate : public Thread {
 public:
  void run() override {
    started = true;
    while (!release) Thread::sleep(1);
    ++runs;
  }
  std::atomic<bool> started{false}, release{false};
  std::atomic<int> runs{0};
};

class Thrower : public Thread {
 public:
  void run() override { throw Exception(u"worker failed"_s); }
};

}  // namespace

TEST(Lock, ReentrantForTheOwningThread) {
  LockObject object;
  Lock outer(&object, true);
  Lock inner(&object, true);  // would deadlock if not re-entrant
  inner.unlock();
  inner.lock();
  SUCCEED();
}

TEST(Lock, ExcludesOtherThreads) {
  LockObject object;
  int counter = 0;
  std::atomic<bool> go{false};
  auto work = [&] {
    while (!go) {
    }
    for (int i = 0; i < 100000; ++i) {
      Lock g(&object);
      Lock again(&object);  // re-entry under contention
      ++counter;
    }
  };
  std::thread a(work), b(work), c(work), d(work);
  go = true;
  a.join();
  b.join();
  c.join();
  d.join();
  EXPECT_EQ(counter, 400000);
}

// The owner's tag is one per thread across the library and the programs:
// a lock held here and entered again by library code does not block.
TEST(Lock, ReentersAcrossTheLibraryBoundary) {
  VectorV<String> out;
  Lock held(out.getLock());
  u"a,b"_s.split(u',', false, &out);  // adds to out inside the library
  EXPECT_EQ(out.size(), 2);
}

TEST(Lock, ASleepingThreadEntersWhenTheHolderLeaves) {
  LockObject object;
  std::atomic<bool> waiting{false}, entered{false};
  Lock held(&object);
  std::thread other([&] {
    waiting = true;
    Lock g(&object);
    entered = true;
  });
  while (!waiting) Thread::sleep(1);
  Thread::sleep(50);  // long enough for it to stop spinning and sleep
  EXPECT_FALSE(entered);
  held.unlock();
  other.join();
  EXPECT_TRUE(entered);
  // Free again: this thread enters at once.
  Lock again(&object);
}

TEST(Thread, LifeCycle) {
  Gate t;
  EXPECT_FALSE(t.isAlive());  // never started
  t.start();
  while (!t.started) Thread::sleep(1);
  EXPECT_TRUE(t.isAlive());
  EXPECT_FALSE(t.join(0));  // returns at once and keeps the thread
  EXPECT_TRUE(t.isAlive());
  t.release = true;
  t.join();
  EXPECT_FALSE(t.isAlive());
  EXPECT_EQ(t.runs, 1);
}

TEST(Thread, RestartsAfterJoinAndJoinWithTimeout) {
  Gate t;
  t.release = true;
  t.start();
  EXPECT_TRUE(t.join(5000));
  t.start();
  t.join();
  EXPECT_EQ(t.runs, 2);
  EXPECT_TRUE(t.join(10));  // nothing referred to: nothing to wait for
}

TEST(Thread, PrioritiesAreAccepted) {
  Gate t;
  t.setPriority(Thread::LOWEST);
  t.start();
  t.setPriority(Thread::HIGHEST);  // not allowed to an ordinary user: ignored
  t.setPriority(Thread::NORMAL);
  t.release = true;
  t.join();
  EXPECT_EQ(t.runs, 1);
}

TEST(Thread, AnExceptionEndsOnlyTheWorker) {
  Logger::getLogger()->setOutputType(Logger::NO_OUTPUT);
  Thrower t;
  t.start();
  t.join();
  EXPECT_FALSE(t.isAlive());
  Logger::getLogger()->setOutputType(Logger::DEBUGGER_OUTPUT);
}

TEST(Logger, WritesLinesToTheFileInTheProgramDirectory) {
  char dir[] = "/tmp/vwt-logger-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  vwt::platform::setProgramDirectory(dir);
  Logger* logger = Logger::getLogger();
  logger->setOutputType(Logger::FILE_OUTPUT);
  logger->log(Logger::INFO, u"first \u3042"_s);
  logger->log(Logger::FATAL, u"second");
  EXPECT_EQ(logger->getOutputType(), Logger::FILE_OUTPUT);
  std::ifstream in(std::string(dir) + "/logger.txt");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "first \xE3\x81\x82\nsecond\n");
  std::remove((std::string(dir) + "/logger.txt").c_str());
  std::remove(dir);
  vwt::platform::setProgramDirectory("");
  logger->setOutputType(Logger::DEBUGGER_OUTPUT);
}

TEST(Logger, SwitchesItselfOffWhenTheFileCannotBeOpened) {
  // A directory under a regular file can never be created, even by root.
  vwt::platform::setProgramDirectory("/proc/self/status/nowhere");
  Logger* logger = Logger::getLogger();
  logger->setOutputType(Logger::FILE_OUTPUT);
  logger->log(Logger::ERROR, u"dropped"_s);
  EXPECT_EQ(logger->getOutputType(), Logger::NO_OUTPUT);
  logger->log(Logger::ERROR, u"still nothing"_s);
  vwt::platform::setProgramDirectory("");
  logger->setOutputType(Logger::DEBUGGER_OUTPUT);
}

TEST(Benchmark, ReportListsLapsThenClears) {
  Benchmark on(u"load", true);
  on.lap();
  on.lap();
  String report = on.report();
  EXPECT_TRUE(report.startsWith(u"load total="_s));
  EXPECT_GE(report.indexOf(u"  lap[1] Time="_s), 0);
  EXPECT_GE(report.indexOf(u"  lap[2] Time="_s), 0);
  EXPECT_LT(report.indexOf(u"lap[3]"_s), 0);
  EXPECT_GE(report.indexOf(u"ms  Lap="_s), 0);
  EXPECT_TRUE(on.report().isNull());  // the ticks were cleared

  Benchmark off(u"quiet", false);
  off.lap();
  EXPECT_TRUE(off.report().isNull());
}
