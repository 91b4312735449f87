#include "vwt/io/StorageConnection.h"

#include <cstring>

#include "vwt/io/File.h"
#include "vwt/io/FileInputStream.h"
#include "vwt/io/FileOutputStream.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"

namespace {

const char16_t MARK[] = u":///";
const int MARK_LENGTH = 4;

}  // namespace

StorageConnection::StorageConnection(const String& address, Connector::AccessType access)
    : input_(nullptr), output_(nullptr) {
  String file = getFileName(address);
  int position = getPosition(address);
  if (access == Connector::READ) {
    AutoPtr<FileInputStream> in(new FileInputStream(file));
    if (position > 0) in->skip(position);
    input_ = in.release();
  } else if (access == Connector::WRITE) {
    AutoPtr<FileOutputStream> out(new FileOutputStream(file, false, true));
    if (position > 0) out->skip(position);
    output_ = out.release();
  } else {
    throw Exception(Resource::getString(-1000, file));
  }
}

void StorageConnection::close() {
  if (input_) {
    input_->close();
    delete input_;
    input_ = nullptr;
  }
  if (output_) {
    output_->close();
    delete output_;
    output_ = nullptr;
  }
}

String StorageConnection::getFileName(const String& address) {
  int mark = address.indexOf(String(MARK, false));
  if (mark < 0) throw Exception(Resource::getString(-1001, address));
  int start = mark + MARK_LENGTH;
  int end = address.indexOf(u';', start);
  String name = end < 0 ? address.substring(start) : address.substring(start, end);
  return ((System::getProgramDirectory() + u"data") + name) + u".bin";
}

int StorageConnection::getPosition(const String& address) {
  int mark = address.indexOf(String(MARK, false));
  if (mark < 0) return 0;
  int pos = address.indexOf(u";pos="_s, mark + MARK_LENGTH);
  if (pos < 0) return 0;
  int start = pos + 5;
  int end = address.indexOf(u',', start);
  return Integer::parseInt(end < 0 ? address.substring(start) : address.substring(start, end));
}

void StorageConnection::createInitialFile(String name, int size, bool truncate) {
  String file = getFileName(String(u"scratchpad:///"_s) + name);
  int have = 0;
  if (!truncate) {
    have = File(file).length();
    if (have == size) return;
  }
  FileOutputStream out(file, !truncate, false);
  char zeros[4096];
  memset(zeros, 0, sizeof zeros);
  for (int left = size - have; left > 0;) {
    int n = left < static_cast<int>(sizeof zeros) ? left : static_cast<int>(sizeof zeros);
    out.write(zeros, 0, n);
    left -= n;
  }
  out.close();
}
