#pragma once

#include <deque>
#include <mutex>
#include <optional>
#include <string>

#include "service/PageModel.h"

namespace vesk {

// Test-only behaviour set through the control endpoint: one-shot answers for the next page
// requests, and a standing authentication challenge.
class ScriptedBehaviour {
 public:
  struct PageAction {
    // OverstateBlocks and OverstateFile make the page a liar: it announces `count` image
    // blocks, or its first embedded file declares `count` bytes, while carrying what it has.
    enum Kind { BadMagic, Http404, Version, Download, Answer, OverstateBlocks, OverstateFile } kind = Answer;
    int32_t version = 0;  // Version
    int32_t count = 0;    // OverstateBlocks, OverstateFile
    Command command;      // Download (32000) and Answer
  };
  struct Challenge {
    std::string realm, user, password, prompt;
  };

  void push(const PageAction& action);
  std::optional<PageAction> takeNext();
  void requireCredentials(const Challenge& c);
  void dropCredentials();
  std::optional<Challenge> challenge() const;
  void reset();

 private:
  mutable std::mutex mutex_;
  std::deque<PageAction> next_;
  std::optional<Challenge> challenge_;
};

}  // namespace vesk
