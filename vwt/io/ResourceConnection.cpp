#include "vwt/io/ResourceConnection.h"

#include "vwt/io/FileInputStream.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"

ResourceConnection::ResourceConnection(const String& address, Connector::AccessType access)
    : input_(nullptr) {
  String file = getFileName(address);
  if (access == Connector::WRITE) throw Exception(Resource::getString(-900, file));
  if (access != Connector::READ) throw Exception(Resource::getString(-901, file));
  input_ = new FileInputStream(file);
}

void ResourceConnection::close() {
  if (!input_) return;
  input_->close();
  delete input_;
  input_ = nullptr;
}

String ResourceConnection::getFileName(const String& address) {
  int mark = address.indexOf(u":///"_s);
  if (mark < 0) throw Exception(Resource::getString(-902, address));
  String path = address.substring(mark + 4);
  if (address.startsWith(u"resource:///")) return (System::getProgramDirectory() + u"res/") + path;
  return path;
}
