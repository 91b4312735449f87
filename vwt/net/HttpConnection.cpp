#include "vwt/net/HttpConnection.h"

#include <cstring>

#include "vwt/io/ByteArrayOutputStream.h"
#include "vwt/io/DataInputStream.h"
#include "vwt/io/DataOutputStream.h"
#include "vwt/io/InputStreamReader.h"
#include "vwt/lang/AutoArrayPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/StringBuffer.h"
#include "vwt/lang/System.h"
#include "vwt/net/ChunkedInputStream.h"
#include "vwt/net/ResponseInputStream.h"
#include "vwt/net/Socket.h"
#include "vwt/net/SocketInputStream.h"
#include "vwt/net/SocketOutputStream.h"

namespace {
// The socket-error table's code of an interrupted call: the connection was abandoned.
const unsigned int INTERRUPTED = 10004;
}  // namespace

HttpConnection::HttpConnection(const String& address, Connector::AccessType access)
    : access_(Connector::READ),
      socket_(nullptr),
      aborted_(false),
      state_(0),
      responseCode_(0),
      responseStream_(nullptr),
      bodyStream_(nullptr),
      requestStream_(nullptr),
      chunked_(false),
      requestBody_(nullptr),
      idleMs_(0),
      deadline_(0) {
  initialize();
  url_ = URL(address);
  access_ = access;
  String host = url_.getHost();
  if (url_.getPort() != url_.getDefaultPort()) host = (host + u':') + url_.getPort();
  setRequestProperty(u"Host"_s, host);
  setRequestProperty(u"User-Agent"_s, u"veskToolKit"_s);
}

HttpConnection::~HttpConnection() { close(); }

void HttpConnection::initialize() {
  url_ = URL();
  access_ = Connector::READ;
  method_ = u"GET"_s;
  state_ = 0;
  responseCode_ = 0;
  responseMessage_ = String::null;
  bodyStream_ = nullptr;
  requestHeaders_.clear();
  responseHeaders_.clear();
  chunked_ = false;
  requestBody_ = nullptr;
}

void HttpConnection::setRequestProperty(const String& name, const String& value) {
  requestHeaders_.put(name, value);
}

void HttpConnection::setUserAgent(const String& agent) { setRequestProperty(u"User-Agent"_s, agent); }

OutputStream* HttpConnection::openOutputStream() {
  if (state_ >= 2) throw Exception(Resource::getString(-2400));
  if (!method_.equals(u"POST")) throw Exception(Resource::getString(-2401));
  if (!requestBody_) requestBody_ = new ByteArrayOutputStream();
  return requestBody_;
}

DataOutputStream* HttpConnection::openDataOutputStream() {
  DataOutputStream* out = new DataOutputStream(openOutputStream());
  out->setDeleteSource(false);
  return out;
}

int HttpConnection::getResponseCode() {
  request();
  return responseCode_;
}

InputStream* HttpConnection::openInputStream() {
  request();
  return bodyStream_;
}

DataInputStream* HttpConnection::openDataInputStream() {
  DataInputStream* in = new DataInputStream(openInputStream());
  in->setDeleteSource(false);
  return in;
}

String HttpConnection::getHeaderField(const String& name) const {
  return responseHeaders_.get(name, String::null);
}

String HttpConnection::getHeaderFieldIgnoreCase(const String& name) const {
  String exact = getHeaderField(name);
  if (!exact.isNull()) return exact;
  for (HashIterator<String, String> it = responseHeaders_.iterator(); it.hasNext();) {
    Entry<String, String>* e = it.next();
    if (e->key.equalsIgnoreCase(name)) return e->value;
  }
  return String::null;
}

int HttpConnection::getHeaderFieldInt(const String& name, int def) const {
  return Integer::parseInt(getHeaderField(name), def);
}

void HttpConnection::request() {
  if (state_ == 0) sendHeader();
  if (state_ == 1 || state_ == 2) receiveResponse();
}

void HttpConnection::sendHeader() {
  if (state_ != 0) return;
  // A socket left by an attempt that failed while sending is not reused.
  if (!replaceSocket(nullptr) || !replaceSocket(new Socket(url_.getHost(), url_.getPort())))
    throw Exception(Resource::getString(-2501, url_.getHost(), String(url_.getPort())), INTERRUPTED);
  socket_->setReadLimits(idleMs_, deadline_);
  // An https address is secure or fails: never plain text instead.
  if (url_.getProtocolType() == URL::HTTPS) socket_->startTls(url_.getHost());
  requestStream_ = socket_->getOutputStream();
  if (requestBody_) setRequestProperty(u"Content-Length"_s, String(requestBody_->size()));

  StringBuffer text;
  text.append(method_);
  text.append(u' ');
  text.append(url_.getPath());
  text.append(url_.getReference());
  text.append(url_.getQuery());
  text.append(u" HTTP/1.1\r\n"_s);
  for (HashIterator<String, String> it = requestHeaders_.iterator(); it.hasNext();) {
    Entry<String, String>* e = it.next();
    text.append(e->key);
    text.append(u':');
    text.append(e->value);
    text.append(u"\r\n"_s);
  }
  text.append(u"\r\n"_s);

  String header(text);
  int room = String::maxAsciiBytes(header.length()) + 1;
  int bodySize = requestBody_ ? requestBody_->size() : 0;
  AutoArrayPtr<char> bytes(new char[room + bodySize]);
  int n;
  try {
    n = header.getCStringAsAscii(bytes.get(), room - 1);
  } catch (const Exception& e) {
    throw Exception(Resource::getString(-2200), e.getCode());
  }
  // Header and body go in one send: the service gets the request in one piece.
  if (bodySize > 0) std::memcpy(bytes.get() + n, requestBody_->toByteArray(), bodySize);
  requestStream_->write(bytes.get(), 0, n + bodySize);
  state_ = requestBody_ ? 2 : 1;
}

void HttpConnection::receiveResponse() {
  // The header is read through the response stream's blocks; the bytes
  // after its blank line stay there for the body.
  if (!responseStream_) {
    responseStream_ = new ResponseInputStream(socket_->getInputStream());
    responseStream_->setDeleteSource(false);
  }
  bodyStream_ = responseStream_;
  InputStreamReader reader(responseStream_, String::DEFAULT);
  reader.setDeleteSource(false);

  String line;
  int headerBytes = 0;
  if (reader.readLine(line)) {
    headerBytes += line.length();
    int space = line.indexOf(u' ');
    if (space >= 0) {
      int second = line.indexOf(u' ', space + 1);
      if (second < 0) {
        responseCode_ = Integer::parseInt(line.substring(space + 1));
        responseMessage_ = String::null;
      } else {
        responseCode_ = Integer::parseInt(line.substring(space + 1, second));
        responseMessage_ = line.substring(second + 1);
      }
    }
    while (reader.readLine(line)) {
      if (line.isNull()) break;
      headerBytes += line.length();
      // Header lines from the network are not allowed to pile up without end.
      if (headerBytes > MAX_HEADER_BYTES)
        throw Exception(Resource::getString(-2402, String(MAX_HEADER_BYTES)));
      int colon = line.indexOf(u':');
      if (colon < 0) continue;
      responseHeaders_.put(line.substring(0, colon).trim(), line.substring(colon + 1).trim());
    }
  }
  state_ = 3;
  // A chunked body must be decoded however the server spells the field's name.
  if (getHeaderFieldIgnoreCase(u"Transfer-Encoding"_s).equalsIgnoreCase(u"chunked")) {
    ChunkedInputStream* chunked = new ChunkedInputStream(responseStream_);
    chunked->setDeleteSource(false);
    bodyStream_ = chunked;
    chunked_ = true;
  }
}

void HttpConnection::setTimeouts(int idleMs, int totalMs) {
  idleMs_ = idleMs > 0 ? idleMs : 0;
  deadline_ = totalMs > 0 ? System::currentTimeMillisBoot() + totalMs : 0;
  if (socket_) socket_->setReadLimits(idleMs_, deadline_);
}

void HttpConnection::abort() {
  std::lock_guard<std::mutex> held(socketLock_);
  aborted_ = true;
  if (socket_) socket_->close();
}

bool HttpConnection::replaceSocket(Socket* socket) {
  std::lock_guard<std::mutex> held(socketLock_);
  delete socket_;
  socket_ = nullptr;
  // The connection was abandoned, perhaps while the socket was being made.
  if (aborted_) {
    delete socket;
    return false;
  }
  socket_ = socket;
  return true;
}

void HttpConnection::close() {
  if (bodyStream_) {
    bodyStream_->close();
    if (chunked_) delete bodyStream_;
    bodyStream_ = nullptr;
    chunked_ = false;
  }
  delete responseStream_;
  responseStream_ = nullptr;
  delete requestBody_;
  requestBody_ = nullptr;
  replaceSocket(nullptr);
  requestStream_ = nullptr;
}
