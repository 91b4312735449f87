#include "vwt/io/Connector.h"

#include "vwt/io/DataInputStream.h"
#include "vwt/io/DataOutputStream.h"
#include "vwt/io/FileInputStream.h"
#include "vwt/io/FileOutputStream.h"
#include "vwt/io/ResourceConnection.h"
#include "vwt/io/StorageConnection.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/net/HttpConnection.h"

Connection* Connector::open(const String& address, AccessType access) {
  if (address.startsWith(u"http://") || address.startsWith(u"https://"))
    return new HttpConnection(address, access);
  if (address.startsWith(u"scratchpad:///")) return new StorageConnection(address, access);
  if (address.startsWith(u"resource:///")) return new ResourceConnection(address, access);
  throw Exception(Resource::getString(-200, address));
}

DataInputStream* Connector::openDataInputStream(const String& address, Connection** connection) {
  *connection = nullptr;
  Connection* c = open(address, READ);
  InputStream* in = nullptr;
  if (StorageConnection* s = dynamic_cast<StorageConnection*>(c))
    in = s->getInputStream();
  else if (ResourceConnection* r = dynamic_cast<ResourceConnection*>(c))
    in = r->getInputStream();
  if (!in) {
    delete c;
    throw Exception(Resource::getString(-202, address));
  }
  *connection = c;
  return new DataInputStream(in);
}

DataOutputStream* Connector::openDataOutputStream(const String& address, Connection** connection) {
  *connection = nullptr;
  // A resource refuses write access itself; the caller is told what is wrong instead.
  if (address.startsWith(u"resource:///")) throw Exception(Resource::getString(-201, address));
  Connection* c = open(address, WRITE);
  StorageConnection* s = dynamic_cast<StorageConnection*>(c);
  if (!s || !s->getOutputStream()) {
    delete c;
    throw Exception(Resource::getString(-201, address));
  }
  *connection = c;
  return new DataOutputStream(s->getOutputStream());
}
