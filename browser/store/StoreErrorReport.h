#pragma once

#include "vwt/lang/Exception.h"
#include "vwt/lang/String.h"

// Where the record store sends the failures it absorbs. The canvas shows
// message 10201 with the exception's text.
class StoreErrorReport {
 public:
  virtual ~StoreErrorReport() = default;
  virtual void reportStoreError(const Exception& e) = 0;
  // A damaged store was rebuilt when it was opened: the text names the copy
  // kept of the damaged file and the kinds of record that were lost. It is
  // shown as it is, without 10201.
  virtual void reportStoreRepair(const String& text) { reportStoreError(Exception(text)); }
};
