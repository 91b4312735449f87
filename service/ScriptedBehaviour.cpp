#include "service/ScriptedBehaviour.h"

namespace vesk {

void ScriptedBehaviour::push(const PageAction& action) {
  std::lock_guard<std::mutex> lock(mutex_);
  next_.push_back(action);
}

std::optional<ScriptedBehaviour::PageAction> ScriptedBehaviour::takeNext() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (next_.empty()) return std::nullopt;
  PageAction a = next_.front();
  next_.pop_front();
  return a;
}

void ScriptedBehaviour::requireCredentials(const Challenge& c) {
  std::lock_guard<std::mutex> lock(mutex_);
  challenge_ = c;
}

void ScriptedBehaviour::dropCredentials() {
  std::lock_guard<std::mutex> lock(mutex_);
  challenge_.reset();
}

std::optional<ScriptedBehaviour::Challenge> ScriptedBehaviour::challenge() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return challenge_;
}

void ScriptedBehaviour::reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  next_.clear();
  challenge_.reset();
}

}  // namespace vesk
