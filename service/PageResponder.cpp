#include "service/PageResponder.h"

#include "service/Compressor.h"
#include "service/DataWriter.h"
#include "service/EnvelopeWriter.h"
#include "service/PortalPage.h"
#include "service/ProtocolError.h"
#include "service/QueryString.h"
#include "service/ServedPage.h"
#include "service/ServiceState.h"
#include "service/SessionCipher.h"
#include "service/fetch/WebPageBuilder.h"
#include "service/fetch/WebUrl.h"

namespace vesk {

namespace {

constexpr int32_t BAD_MAGIC = 0x0BADF00D;

std::string portalHostOf(const ServiceConfig& c) {
  return c.portalHost.empty() ? c.host + ":" + std::to_string(c.port) : c.portalHost;
}

}  // namespace

GatewayReply PageResponder::sealed(const Session& session, const std::string& afterMagic,
                                   int32_t magic) const {
  DataWriter w;
  w.reserve(afterMagic.size() + 8);
  w.writeInt(magic);
  w.writeBytes(afterMagic);
  GatewayReply r;
  r.body = SessionCipher(session.key, session.iv).encrypt(w.bytes());
  return r;
}

bool PageResponder::fixturesAnswer(const std::string& url) const {
  if (!state_.config.fetchNetwork) return true;
  size_t start = url.find("://");
  start = start == std::string::npos ? 0 : start + 3;
  std::string authority = url.substr(start, url.find_first_of("/?#", start) - start);
  for (char& c : authority)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  std::string portal = portalHostOf(state_.config);
  return authority == portal || authority + ":80" == portal;
}

std::shared_ptr<const Page> PageResponder::resolve(const std::string& url, const Session& session,
                                                   const QueryString& q) {
  auto web = WebUrl::parse(url);
  bool site = web && state_.fetcher.siteFor(web->host());
  if (!site && fixturesAnswer(url)) {
    try {
      if (auto p = state_.fixtures.find(url)) return p;
    } catch (const ProtocolError& e) {
      state_.log.add(std::string("ERROR fixture ") + e.what());
      return std::make_shared<const Page>(PortalPage::notice("Fixture error", e.what()));
    }
  }
  auto rel = FixtureLibrary::fixturePath(url);
  if (!site && rel && "/" + *rel == PortalPage::PATH) {
    std::vector<std::string> sites;
    for (const auto& s : state_.fetcher.sites()) sites.push_back(s.name());
    return std::make_shared<const Page>(
        PortalPage::start(portalHostOf(state_.config), state_.fixtures.list(40), sites));
  }
  if (site || state_.config.fetchNetwork) {
    WebPageBuilder builder(state_.fetcher, state_.forms);
    Page page =
        builder.build(url, q, session.userId, WebPageBuilder::metricsFrom(q, state_.config.imageMemoryLimit));
    return std::make_shared<const Page>(std::move(page));
  }
  return std::make_shared<const Page>(PortalPage::notice("Not found", "No page for " + url));
}

GatewayReply PageResponder::page(const Session& session, const QueryString& q) {
  auto action = state_.script.takeNext();
  if (action && action->kind == ScriptedBehaviour::PageAction::Http404)
    return GatewayReply::error(404, "Not Found");

  std::string url = q.get("u");
  if (url.empty()) url = q.get("h");
  if (url.empty()) url = "http://" + portalHostOf(state_.config) + PortalPage::PATH;

  if (q.get("db") == "1") state_.bookmarks.replace(session.userId, {});

  std::shared_ptr<const Page> page = resolve(url, session, q);
  EnvelopeHead head;
  head.command = page->command;
  head.userId = session.userId;
  head.serverValue1 = state_.config.serverValue1;
  head.serverValue2 = state_.config.serverValue2;
  head.sessionId = session.sessionId;

  if (auto ch = state_.script.challenge()) {
    if (q.get("aid") != ch->user || q.get("apw") != ch->password) {
      head.command = {30000, "Basic," + ch->prompt, ch->realm};
      page = std::make_shared<const Page>(PortalPage::notice(
          "Authorization required", "The page " + url + " needs a user name and password."));
    }
  }
  int32_t magic = MAGIC;
  if (action) {
    switch (action->kind) {
      case ScriptedBehaviour::PageAction::BadMagic:
        magic = BAD_MAGIC;
        break;
      case ScriptedBehaviour::PageAction::Version:
        head.serviceVersion = action->version;
        break;
      case ScriptedBehaviour::PageAction::Download:
      case ScriptedBehaviour::PageAction::Answer:
        head.command = action->command;
        break;
      case ScriptedBehaviour::PageAction::Http404:
      case ScriptedBehaviour::PageAction::OverstateBlocks:
      case ScriptedBehaviour::PageAction::OverstateFile:
        break;
    }
  }

  BookmarkStore::Entry marks = state_.bookmarks.get(session.userId);
  head.bookmarkVersion = marks.version;
  if (head.command.status == 0 && q.getInt("bt", 0) < marks.version) {
    head.command = {31000, "", ""};
    head.bookmarks = marks.list;
  }

  auto made = std::make_shared<ServedPage>(*page, q.has("tc"), state_.config.imageBlockBytes);
  if (action && action->kind == ScriptedBehaviour::PageAction::OverstateBlocks)
    made->overstate(action->count, -1);
  if (action && action->kind == ScriptedBehaviour::PageAction::OverstateFile)
    made->overstate(-1, action->count);
  std::shared_ptr<const ServedPage> served = made;
  EnvelopeWriter::Options opt;
  opt.pageId = state_.pages.remember(session.userId, served);
  opt.url = page->url.empty() ? url : page->url;
  opt.imageMemoryLimit = page->imageMemoryLimit ? page->imageMemoryLimit : state_.config.imageMemoryLimit;
  opt.withFileCount = q.get("fl") != "0";
  std::string envelope = EnvelopeWriter::write(head, *page, *served, opt);

  DataWriter rest;
  std::string compressed = Compressor::deflate(envelope);
  rest.reserve(compressed.size() + 4);
  rest.writeInt(static_cast<int32_t>(envelope.size()));  // read and ignored by the handset
  rest.writeBytes(compressed);
  return sealed(session, rest.bytes(), magic);
}

GatewayReply PageResponder::imageBlock(const Session& session, const QueryString& q) {
  auto served = state_.pages.find(session.userId, static_cast<int32_t>(q.getInt("r", 0)));
  return sealed(session, served ? served->block(q.getInt("b", -1)) : std::string());
}

GatewayReply PageResponder::files(const Session& session, const QueryString& q) {
  auto served = state_.pages.find(session.userId, static_cast<int32_t>(q.getInt("r", 0)));
  if (served) return sealed(session, served->filesBody());
  DataWriter none;
  none.writeInt(0);
  return sealed(session, none.bytes());
}

}  // namespace vesk
