#include "service/ControlEndpoint.h"

#include <sstream>

#include "service/QueryString.h"
#include "service/ServiceState.h"

namespace vesk {

namespace {

std::string param(const std::map<std::string, std::string>& p, const std::string& k,
                  const std::string& def = "") {
  auto it = p.find(k);
  return it == p.end() ? def : it->second;
}

GatewayReply text(const std::string& body) {
  GatewayReply r;
  r.contentType = "text/plain";
  r.body = body;
  return r;
}

bool intParam(const std::map<std::string, std::string>& p, const std::string& k, int& out) {
  return QueryString::parseInt32(param(p, k), out);
}

}  // namespace

bool ControlEndpoint::isLoopback(const std::string& a) {
  return a.compare(0, 4, "127.") == 0 || a == "::1" || a.compare(0, 11, "::ffff:127.") == 0;
}

GatewayReply ControlEndpoint::next(const std::map<std::string, std::string>& p) {
  ScriptedBehaviour::PageAction a;
  std::string what = param(p, "do");
  if (what == "bad-magic") {
    a.kind = ScriptedBehaviour::PageAction::BadMagic;
  } else if (what == "http-404") {
    a.kind = ScriptedBehaviour::PageAction::Http404;
  } else if (what == "version") {
    a.kind = ScriptedBehaviour::PageAction::Version;
    if (!intParam(p, "v", a.version) || a.version <= 0)
      return GatewayReply::error(400, "version needs v=<number>");
  } else if (what == "download") {
    a.kind = ScriptedBehaviour::PageAction::Download;
    a.command = {32000, param(p, "message", "file"), param(p, "url")};
    if (a.command.argument.empty()) return GatewayReply::error(400, "download needs url=");
  } else if (what == "command") {
    a.kind = ScriptedBehaviour::PageAction::Answer;
    if (!intParam(p, "status", a.command.status)) return GatewayReply::error(400, "command needs status=");
    a.command.message = param(p, "message");
    a.command.argument = param(p, "argument");
  } else if (what == "overstate-blocks" || what == "overstate-file") {
    a.kind = what == "overstate-blocks" ? ScriptedBehaviour::PageAction::OverstateBlocks
                                        : ScriptedBehaviour::PageAction::OverstateFile;
    if (!intParam(p, "n", a.count) || a.count < 0) return GatewayReply::error(400, what + " needs n=<count>");
  } else {
    return GatewayReply::error(
        400, "next needs do=bad-magic|http-404|version|download|command|overstate-blocks|overstate-file");
  }
  state_.script.push(a);
  return text("ok\n");
}

GatewayReply ControlEndpoint::handle(const std::string& action, const std::map<std::string, std::string>& p,
                                     const std::string& remote) {
  if (!state_.config.control) return GatewayReply::error(404, "control is off");
  if (!isLoopback(remote)) return GatewayReply::error(403, "control answers loopback callers only");

  if (action == "next") return next(p);
  if (action == "auth") {
    if (param(p, "off") == "1") {
      state_.script.dropCredentials();
    } else {
      ScriptedBehaviour::Challenge c{param(p, "realm"), param(p, "user"), param(p, "password"),
                                     param(p, "prompt", "Please sign in")};
      if (c.realm.empty() || c.user.empty()) return GatewayReply::error(400, "auth needs realm= and user=");
      state_.script.requireCredentials(c);
    }
    return text("ok\n");
  }
  if (action == "rotate-key") {
    state_.key.rotate();
    return text("ok\n");
  }
  if (action == "reset") {
    state_.script.reset();
    return text("ok\n");
  }
  if (action == "log") {
    if (param(p, "clear") == "1") {
      state_.log.clear();
      return text("ok\n");
    }
    std::string out;
    for (const auto& l : state_.log.lines()) out += l + "\n";
    return text(out);
  }
  int user = 0;
  if (action == "uploads") {
    if (!intParam(p, "user", user)) return GatewayReply::error(400, "uploads needs user=");
    std::ostringstream out;
    for (const auto& i : state_.uploads.describe(user))
      out << "upload " << i.uploadId << " part " << i.part << " bytes " << i.bytes << " chunks " << i.chunks
          << " complete " << i.complete << " favorite " << i.favorite << " sha1 " << i.sha1Hex << "\n";
    return text(out.str());
  }
  if (action == "bookmarks") {
    if (!intParam(p, "user", user)) return GatewayReply::error(400, "bookmarks needs user=");
    auto e = state_.bookmarks.get(user);
    std::string out = "version " + std::to_string(e.version) + "\n";
    for (const auto& s : e.list) out += s + "\n";
    return text(out);
  }
  return GatewayReply::error(404, "unknown control action '" + action + "'");
}

}  // namespace vesk
