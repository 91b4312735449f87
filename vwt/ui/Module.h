#pragma once

#include "vwt/lang/Object.h"
#include "vwt/lang/String.h"

// A library loaded by file name when the object is made and freed when it goes. The handle is null
// when the library is missing; every lookup then finds nothing.
class Module : public Object {
 public:
  explicit Module(const String& fileName);
  ~Module() override;
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  void* getHandle() const { return handle_; }
  const String& getFileName() const { return fileName_; }
  // The address of an exported function or variable; null when it or the library is missing.
  void* getProcAddress(const char* name) const;

 private:
  String fileName_;
  void* handle_;  // owned
};
