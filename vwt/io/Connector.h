#pragma once

#include "vwt/lang/String.h"

class Connection;
class DataInputStream;
class DataOutputStream;

// Opens connections by address: web addresses, "scratchpad:///" storage and
// "resource:///" files. What it returns belongs to the caller.
class Connector {
 public:
  enum AccessType { READ = 1, WRITE = 2, READ_WRITE = 3 };

  // "http://" and "https://" give an HttpConnection, "scratchpad:///" a
  // StorageConnection, "resource:///" a ResourceConnection; anything else
  // throws -200.
  static Connection* open(const String& address, AccessType access);
  // A stream over a storage or resource connection opened for reading
  // (-202 for any other). *connection gets the connection, null on failure.
  // The stream owns the file stream: close the stream, delete the
  // connection, then delete the stream.
  static DataInputStream* openDataInputStream(const String& address, Connection** connection);
  // The same over a storage connection opened for writing (-201 otherwise).
  static DataOutputStream* openDataOutputStream(const String& address, Connection** connection);
};
