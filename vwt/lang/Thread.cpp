#include "vwt/lang/Thread.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "vwt/lang/Exception.h"
#include "vwt/lang/Logger.h"
#include "vwt/lang/Resource.h"
#include "vwt/platform/Threads.h"

struct Thread::State {
  std::thread thread;
  std::mutex mutex;
  std::condition_variable ended;
  bool finished = false;
  long threadId = 0;
  int level = 3;
};

namespace {
std::atomic<int> gActive{0};

int levelOf(Thread::Priority p) { return p == Thread::HIGHEST ? 1 : p == Thread::LOWEST ? 5 : 3; }
}  // namespace

Thread::Thread() : level_(3) {}

Thread::~Thread() {
  if (state_ && state_->thread.joinable()) state_->thread.detach();
}

void Thread::start() {
  if (state_ && state_->thread.joinable()) state_->thread.detach();
  std::shared_ptr<State> state = std::make_shared<State>();
  state->level = level_;
  ++gActive;
  try {
    state->thread = std::thread([this, state] {
      {
        std::lock_guard<std::mutex> g(state->mutex);
        state->threadId = vwt::platform::currentThreadId();
        if (state->level != 3) vwt::platform::setThreadLevel(state->threadId, state->level);
      }
      try {
        run();
      } catch (const Exception& e) {
        Logger::getLogger()->log(Logger::ERROR, e.toString());
      } catch (...) {
        Logger::getLogger()->log(Logger::ERROR, u"uncaught exception in a thread");
      }
      std::lock_guard<std::mutex> g(state->mutex);
      state->finished = true;
      --gActive;
      state->ended.notify_all();
    });
  } catch (const std::system_error& e) {
    --gActive;
    state_.reset();
    throw Exception(Resource::getString(-2300), static_cast<uint64_t>(e.code().value()));
  }
  state_ = state;
}

void Thread::join() {
  if (!state_) return;
  {
    std::unique_lock<std::mutex> g(state_->mutex);
    state_->ended.wait(g, [this] { return state_->finished; });
  }
  if (state_->thread.joinable()) state_->thread.join();
  state_.reset();
}

bool Thread::join(int ms) {
  if (!state_) return true;
  {
    std::unique_lock<std::mutex> g(state_->mutex);
    if (!state_->ended.wait_for(g, std::chrono::milliseconds(ms < 0 ? 0 : ms),
                                [this] { return state_->finished; }))
      return false;
  }
  if (state_->thread.joinable()) state_->thread.join();
  state_.reset();
  return true;
}

bool Thread::isAlive() const {
  if (!state_) return false;
  std::lock_guard<std::mutex> g(state_->mutex);
  return !state_->finished;
}

void Thread::setPriority(Priority priority) {
  level_ = levelOf(priority);
  if (!state_) return;
  std::lock_guard<std::mutex> g(state_->mutex);
  state_->level = level_;
  if (state_->threadId && !state_->finished) vwt::platform::setThreadLevel(state_->threadId, level_);
}

int Thread::activeCount() { return gActive.load(); }

void Thread::sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms < 0 ? 0 : ms)); }
