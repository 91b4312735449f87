#include "vwt/platform/ScriptAnswers.h"

#include <deque>
#include <mutex>

namespace vwt {
namespace platform {

namespace {
std::mutex gLock;
std::deque<ScriptAnswers::Answer> gAnswers;
}  // namespace

void ScriptAnswers::push(int button, const std::string& text) {
  std::lock_guard<std::mutex> g(gLock);
  gAnswers.push_back(Answer{button, text});
}

bool ScriptAnswers::take(Answer* answer) {
  std::lock_guard<std::mutex> g(gLock);
  if (gAnswers.empty()) return false;
  *answer = gAnswers.front();
  gAnswers.pop_front();
  return true;
}

int ScriptAnswers::count() {
  std::lock_guard<std::mutex> g(gLock);
  return static_cast<int>(gAnswers.size());
}

void ScriptAnswers::clear() {
  std::lock_guard<std::mutex> g(gLock);
  gAnswers.clear();
}

}  // namespace platform
}  // namespace vwt
