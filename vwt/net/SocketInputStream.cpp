#include "vwt/net/SocketInputStream.h"

#include "vwt/net/Socket.h"

int SocketInputStream::available() { return socket_->available(); }

int SocketInputStream::read() { return socket_->read(); }

int SocketInputStream::read(char* buf, int off, int len) { return socket_->read(buf, off, len); }
