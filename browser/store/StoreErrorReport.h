#pragma once

class Exception;

// Where the record store sends the failures it absorbs. The canvas shows
// message 10201 with the exception's text.
class StoreErrorReport {
 public:
  virtual ~StoreErrorReport() = default;
  virtual void reportStoreError(const Exception& e) = 0;
};
