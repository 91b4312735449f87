#include "service/CommandLine.h"

#include "service/QueryString.h"

namespace vesk {

std::string CommandLine::usage() {
  return "usage: veskRenderService [options]\n"
         "  --listen HOST:PORT   address to listen on (default 127.0.0.1:6111; port 0 picks a free one)\n"
         "  --port-file FILE     write the port once listening\n"
         "  --state DIR          RSA key, sessions and bookmark lists (default ./vesk-service-state)\n"
         "  --fixtures DIR       folder of fixture pages\n"
         "  --log FILE           append the request log to FILE\n"
         "  --portal-host HOST   host[:port] named by the portal page's links\n"
         "  --block-bytes N      bytes per image block (default 16384)\n"
         "  --memory-limit N     decoded image memory the handset may use (default 4194304)\n"
         "  --no-control         disable the control endpoint\n"
         "  --site NAME=DIR      serve the folder DIR as the web host NAME (repeatable)\n"
         "  --offline            fetch nothing from the network, only from the sites\n"
         "  --fetch-timeout S    seconds a page may take to fetch (default 20)\n";
}

bool CommandLine::parse(const std::vector<std::string>& args, ServiceConfig& c, std::string& error,
                        bool& help) {
  help = false;
  c.stateDir = "vesk-service-state";
  c.fetchNetwork = true;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    std::string v;
    int n = 0;
    if (a == "--help" || a == "-h") {
      help = true;
      return false;
    } else if (a == "--listen") {
      if (!value(v)) return false;
      size_t colon = v.rfind(':');
      if (colon == std::string::npos || !QueryString::parseInt32(v.substr(colon + 1), n) || n < 0 ||
          n > 65535) {
        error = "--listen wants HOST:PORT";
        return false;
      }
      c.host = v.substr(0, colon);
      c.port = n;
    } else if (a == "--port-file") {
      if (!value(c.portFile)) return false;
    } else if (a == "--state") {
      if (!value(c.stateDir)) return false;
    } else if (a == "--fixtures") {
      if (!value(c.fixtureDir)) return false;
    } else if (a == "--log") {
      if (!value(c.logFile)) return false;
    } else if (a == "--portal-host") {
      if (!value(c.portalHost)) return false;
    } else if (a == "--block-bytes" || a == "--memory-limit") {
      if (!value(v)) return false;
      if (!QueryString::parseInt32(v, n) || n <= 0) {
        error = a + " wants a positive number";
        return false;
      }
      if (a == "--block-bytes")
        c.imageBlockBytes = static_cast<size_t>(n);
      else
        c.imageMemoryLimit = n;
    } else if (a == "--no-control") {
      c.control = false;
    } else if (a == "--offline") {
      c.fetchNetwork = false;
    } else if (a == "--site") {
      if (!value(v)) return false;
      size_t eq = v.find('=');
      if (eq == 0 || eq == std::string::npos || eq + 1 == v.size() || v.find_first_of("/:", 0) < eq) {
        error = "--site wants NAME=DIR";
        return false;
      }
      c.sites.emplace_back(v.substr(0, eq), v.substr(eq + 1));
    } else if (a == "--fetch-timeout") {
      if (!value(v)) return false;
      if (!QueryString::parseInt32(v, n) || n <= 0 || n > 600) {
        error = "--fetch-timeout wants seconds from 1 to 600";
        return false;
      }
      c.fetchTimeoutMs = n * 1000;
    } else {
      error = "unknown option " + a;
      return false;
    }
  }
  return true;
}

}  // namespace vesk
