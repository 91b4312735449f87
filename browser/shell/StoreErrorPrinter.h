#pragma once

#include <cstdio>

#include "browser/store/StoreErrorReport.h"

// The store's failures and repairs in the diagnostic mode, where no window
// shows them: one line each, "veskBrowserQK: " and the text, on a stream
// (standard error) that stays the caller's.
class StoreErrorPrinter : public StoreErrorReport {
 public:
  explicit StoreErrorPrinter(std::FILE* out) : out_(out) {}
  void reportStoreError(const Exception& e) override;
  void reportStoreRepair(const String& text) override;

 private:
  void print(const String& text);

  std::FILE* out_;
};
