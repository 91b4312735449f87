#include "vwt/net/SocketOutputStream.h"

#include "vwt/net/Socket.h"

void SocketOutputStream::flush() { socket_->flush(); }

void SocketOutputStream::write(int b) { socket_->write(b); }

void SocketOutputStream::write(const char* buf, int off, int len) { socket_->write(buf, off, len); }
