#pragma once

#include "vwt/lang/String.h"

// An absolute web address split into the pieces the HTTP client needs.
class URL : public Object {
 public:
  enum ProtocolType { UNKNOWN = 0, HTTP = 1, HTTPS = 2 };

  URL();
  // Throws -2600 when a ':' in the scheme leaves fewer than three units.
  explicit URL(const String& address);
  URL(const URL& other) = default;
  URL& operator=(const URL& other) = default;

  ProtocolType getProtocolType() const { return type_; }
  // The table name of the scheme, "unknown" when it was not recognised.
  String getProtocol() const;
  const String& getHost() const { return host_; }
  int getPort() const { return port_; }
  int getDefaultPort() const;
  // With its leading '?', or empty.
  const String& getQuery() const { return query_; }
  // With its leading '#', or empty.
  const String& getReference() const { return reference_; }
  // Up to and including the last '/', at least "/".
  const String& getDirectory() const { return directory_; }
  String getPath() const { return directory_ + file_; }
  // Path and query; the reference is left out.
  String getFile() const { return (directory_ + file_) + query_; }
  // The last path piece up to its first ';'.
  String getFileName() const;

  // The port is never written.
  String toString() const override;

 private:
  void set(const String& address);

  ProtocolType type_;
  String host_;
  int port_;
  String directory_;
  String file_;
  String reference_;
  String query_;
};
