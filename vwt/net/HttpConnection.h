#pragma once

#include <mutex>

#include "vwt/io/Connector.h"
#include "vwt/lang/Hashtable.h"
#include "vwt/net/Connection.h"
#include "vwt/net/URL.h"

class ByteArrayOutputStream;
class DataInputStream;
class DataOutputStream;
class InputStream;
class OutputStream;
class ResponseInputStream;
class Socket;

// One HTTP/1.1 request over a TCP socket (TLS for https), made by Connector::open.
// The request body is collected in memory and sent after the header with
// its Content-Length; the response body ends when the server closes or, when
// chunked, at the last chunk. Used by one thread at a time.
class HttpConnection : public Connection {
 public:
  HttpConnection(const HttpConnection&) = delete;
  HttpConnection& operator=(const HttpConnection&) = delete;
  ~HttpConnection() override;

  void setRequestMethod(const String& method) { method_ = method; }
  const String& getRequestMethod() const { return method_; }
  // A later value replaces an earlier one of the same exact name.
  void setRequestProperty(const String& name, const String& value);
  void setUserAgent(const String& agent);

  // The in-memory request body, owned by the connection: -2401 unless the
  // method is "POST", -2400 once the body or the response has gone.
  OutputStream* openOutputStream();
  // A new stream over the request body; it does not own the body.
  DataOutputStream* openDataOutputStream();

  // Sends the request and reads the response header, once.
  void connect() { request(); }
  int getResponseCode();
  // The body stream, owned by the connection.
  InputStream* openInputStream();
  // A new stream over the body stream; it does not own the body stream.
  DataInputStream* openDataInputStream();

  const String& getResponseMessage() const { return responseMessage_; }
  // The value of the response header of exactly that name, or String::null.
  String getHeaderField(const String& name) const;
  // The value of the response header of that name in any case, or String::null: field names are
  // case-insensitive, and some servers send them in lower case.
  String getHeaderFieldIgnoreCase(const String& name) const;
  // Whether the body came chunked; the body stream decodes it, and its length is unknown.
  bool isChunked() const { return chunked_; }
  int getHeaderFieldInt(const String& name, int def) const;
  const URL& getUrl() const { return url_; }
  Connector::AccessType getAccessType() const { return access_; }

  // Every read of the response waits at most idleMs for the next bytes
  // (0: no limit), and the whole exchange ends totalMs from now (0: no
  // deadline); over either, the read throws -2506 with the time-out code.
  void setTimeouts(int idleMs, int totalMs);

  void close() override;
  // Shuts the socket down from another thread so that a blocked read fails
  // at once, and a connection still being made fails as soon as it is made;
  // frees nothing (the owner still closes and deletes).
  void abort();

 private:
  friend class Connector;
  // The longest response header read, in bytes.
  static const int MAX_HEADER_BYTES = 64 * 1024;

  HttpConnection(const String& address, Connector::AccessType access);
  void initialize();
  void request();
  void sendHeader();
  void receiveResponse();
  // Deletes the socket held and takes socket (null for none); false, deleting socket too, once abort() ran.
  bool replaceSocket(Socket* socket);

  URL url_;
  Connector::AccessType access_;
  Socket* socket_;  // owned; changed only under socketLock_, which abort() holds while it uses it
  std::mutex socketLock_;
  bool aborted_;  // under socketLock_
  String method_;
  int state_;  // 0 nothing sent, 1 header sent, 2 header and body sent, 3 response header read
  int responseCode_;
  String responseMessage_;
  ResponseInputStream* responseStream_;  // owned: the socket's bytes, header and body
  InputStream* bodyStream_;              // responseStream_, or the owned chunked stream over it
  OutputStream* requestStream_;          // the socket's
  Hashtable<String, String> requestHeaders_;
  Hashtable<String, String> responseHeaders_;
  bool chunked_;
  ByteArrayOutputStream* requestBody_;  // owned
  int idleMs_;
  int64_t deadline_;  // System::currentTimeMillisBoot() milliseconds, 0 for none
};
