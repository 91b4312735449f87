#pragma once

#include <cstdint>

#include "vwt/lang/String.h"

// What a DownloadTransfer reports while it runs, on the transfer's thread.
class TransferListener {
 public:
  virtual ~TransferListener() = default;
  // Once per transfer, when the first response's headers arrived: the
  // cleaned suggested name ("" when none) and the full length of the file
  // (-1 unknown).
  virtual void headersArrived(const String& suggestedName, int64_t totalLength) = 0;
  // After each chunk is written: the bytes in the file so far (a resumed
  // part included).
  virtual void progressed(int64_t received) = 0;
};
