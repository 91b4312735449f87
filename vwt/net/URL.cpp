#include "vwt/net/URL.h"

#include <string>

#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Resource.h"

namespace {

struct Protocol {
  const char16_t* name;
  int defaultPort;
};

const Protocol PROTOCOLS[] = {{u"unknown", 0}, {u"http", 80}, {u"https", 443}};
const int PROTOCOL_COUNT = 3;

String fromUnits(const std::u16string& s) { return String(s.data(), 0, static_cast<int>(s.size())); }

}  // namespace

URL::URL() : type_(UNKNOWN), port_(0) {}

URL::URL(const String& address) : type_(UNKNOWN), port_(0) { set(address); }

String URL::getProtocol() const { return String(PROTOCOLS[type_].name, false); }

int URL::getDefaultPort() const { return PROTOCOLS[type_].defaultPort; }

String URL::getFileName() const {
  int semicolon = file_.indexOf(u';');
  return semicolon < 0 ? file_ : file_.substring(0, semicolon);
}

String URL::toString() const {
  return ((((getProtocol() + u"://") + host_) + directory_) + file_ + reference_) + query_;
}

void URL::set(const String& address) {
  enum State { SCHEME, HOST, PORT, PATH, REFERENCE, QUERY };
  std::u16string scheme, host, port, path, reference, query;
  const char16_t* s = address.getCString();
  const int n = address.length();
  State state = SCHEME;
  for (int i = 0; i < n; ++i) {
    char16_t c = s[i];
    switch (state) {
      case SCHEME:
        if (c == u':') {
          if (i + 3 >= n) throw Exception(Resource::getString(-2600, address));
          if (s[i + 1] == u'/' && s[i + 2] == u'/') {
            i += 2;
            state = HOST;
          }
        } else {
          scheme += c;
        }
        break;
      case HOST:
        if (c == u':') {
          state = PORT;
        } else if (c == u'/') {
          path += c;
          state = PATH;
        } else {
          host += c;
        }
        break;
      case PORT:
        if (c == u'/') {
          path += c;
          state = PATH;
        } else {
          port += c;
        }
        break;
      case PATH:
        if (c == u'#') {
          reference += c;
          state = REFERENCE;
        } else if (c == u'?') {
          query += c;
          state = QUERY;
        } else {
          path += c;
        }
        break;
      case REFERENCE:
        if (c == u'?') {
          query += c;
          state = QUERY;
        } else {
          reference += c;
        }
        break;
      case QUERY:
        query += c;
        break;
    }
  }

  type_ = UNKNOWN;
  for (int t = 0; t < PROTOCOL_COUNT; ++t) {
    if (scheme == PROTOCOLS[t].name) {
      type_ = static_cast<ProtocolType>(t);
      break;
    }
  }
  port_ = port.empty() ? getDefaultPort() : Integer::parseInt(fromUnits(port));
  size_t slash = path.rfind(u'/');
  if (slash == std::u16string::npos) {
    directory_ = u"/"_s;
    file_ = fromUnits(path);
  } else {
    directory_ = fromUnits(path.substr(0, slash + 1));
    file_ = fromUnits(path.substr(slash + 1));
  }
  host_ = fromUnits(host);
  reference_ = fromUnits(reference);
  query_ = fromUnits(query);
}
