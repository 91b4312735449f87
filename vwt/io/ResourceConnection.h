#pragma once

#include "vwt/io/Connector.h"
#include "vwt/net/Connection.h"

class FileInputStream;

// A "resource:///path" address: the file res/path in the program directory,
// for reading only. The destructor leaves the stream alone; close() deletes
// it.
class ResourceConnection : public Connection {
 public:
  // -900 for write access, -901 for any other than read, -902 for an
  // address without ":///".
  ResourceConnection(const String& address, Connector::AccessType access);
  ResourceConnection(const ResourceConnection&) = delete;
  ResourceConnection& operator=(const ResourceConnection&) = delete;

  FileInputStream* getInputStream() const { return input_; }
  void close() override;

 private:
  static String getFileName(const String& address);

  FileInputStream* input_;
};
