#pragma once

#include "vwt/io/Connector.h"
#include "vwt/net/Connection.h"

class FileInputStream;
class FileOutputStream;

// A "scratchpad:///name;pos=n" address: the file data<name>.bin in the
// program directory, read from or overwritten in place from byte n.
// Exactly one of the two streams is set. The destructor leaves the stream
// alone (a data stream made by Connector owns it); close() deletes it.
class StorageConnection : public Connection {
 public:
  // Read access opens the file and skips to the position; write access opens
  // the existing file for update and moves to the position. Other access:
  // -1000; an address without ":///": -1001.
  StorageConnection(const String& address, Connector::AccessType access);
  StorageConnection(const StorageConnection&) = delete;
  StorageConnection& operator=(const StorageConnection&) = delete;

  FileInputStream* getInputStream() const { return input_; }
  FileOutputStream* getOutputStream() const { return output_; }
  void close() override;

  // Makes the file of storage name exactly size bytes long, all zero, with
  // truncate; without, appends zeros until it is size bytes long (a longer
  // file is left as it is).
  static void createInitialFile(String name, int size, bool truncate);

 private:
  static String getFileName(const String& address);
  static int getPosition(const String& address);

  FileInputStream* input_;
  FileOutputStream* output_;
};
