#include "service/Gateway.h"

#include "service/AsciiText.h"
#include "service/DataReader.h"
#include "service/DataWriter.h"
#include "service/ProtocolError.h"
#include "service/QueryString.h"
#include "service/Random.h"
#include "service/ServiceState.h"
#include "service/SessionCipher.h"
#include "service/Sha1.h"
#include "service/UserDataPackage.h"

namespace vesk {

namespace {

const std::string FORM_TYPE = "application/x-www-form-urlencoded";
const std::string KEY_EXCHANGE_TYPE = "vesk-keyexchange";
const std::string CRYPT_REQUEST_TYPE = "vesk-cryptreq";
const std::string UPLOAD_TYPE = "application/octet-stream";
const std::string FAVORITE_TYPE = "vesk-favorite";
constexpr size_t UPLOAD_HEADER = 12;

bool startsWith(const std::string& s, const std::string& p) { return s.compare(0, p.size(), p) == 0; }

bool printableQuery(const std::string& s) {
  if (s.empty()) return false;
  for (unsigned char c : s)
    if (c < 0x20 || c > 0x7E) return false;
  return true;
}

// A handset whose key we do not know (or whose request does not decrypt) gets bytes that
// cannot decrypt to the magic: it then runs a new key exchange.
GatewayReply rekeyAnswer() {
  GatewayReply r;
  r.body = Random::bytes(16);
  return r;
}

}  // namespace

GatewayReply Gateway::rejected(int status, const std::string& why) {
  state_.log.add("ERROR " + why);
  return GatewayReply::error(status, why);
}

GatewayReply Gateway::handle(const GatewayRequest& req) {
  std::string type = trimBlanks(req.contentType);
  try {
    if (startsWith(type, FORM_TYPE)) return publicKey(req.body);
    if (type == KEY_EXCHANGE_TYPE) return keyExchange(req.body);
    if (startsWith(type, CRYPT_REQUEST_TYPE))
      return encrypted(type.substr(CRYPT_REQUEST_TYPE.size()), req.body);
    if (startsWith(type, UPLOAD_TYPE)) return upload(type.substr(UPLOAD_TYPE.size()), req.body, false);
    if (startsWith(type, FAVORITE_TYPE)) return upload(type.substr(FAVORITE_TYPE.size()), req.body, true);
    return rejected(415, "unsupported Content-Type '" + type + "'");
  } catch (const ProtocolError& e) {
    return rejected(400, e.what());
  } catch (const std::exception& e) {
    return rejected(500, std::string("internal error: ") + e.what());
  }
}

GatewayReply Gateway::publicKey(const std::string& body) {
  QueryString q(body);
  if (q.get("c") != "R") return rejected(400, "form request without c=R");
  state_.log.add("R - " + body);
  GatewayReply r;
  r.body = state_.key.current()->publicRecord();
  return r;
}

GatewayReply Gateway::keyExchange(const std::string& body) {
  auto key = state_.key.current();
  auto refuse = [&](const std::string& why) {
    state_.log.add("KEYX - status=1 " + why);
    GatewayReply r;
    r.body = std::string(1, '\x01') + key->publicRecord();
    return r;
  };
  auto block = key->recover(body);
  if (!block) return refuse("undecryptable");
  if (block->compare(107, 4, "QKWM") != 0) return refuse("no application code");
  std::string sessionKey = block->substr(4, 32);
  if (Sha1::of(sessionKey) != block->substr(36, 20)) return refuse("key digest mismatch");
  std::string iv = block->substr(56, 16);
  DataReader idReader(block->data() + 72, 4);
  int32_t requested = idReader.readInt();

  Session s = state_.sessions.open(requested, sessionKey, iv);
  DataWriter answer;
  answer.writeInt(PageResponder::MAGIC);
  answer.writeInt(s.userId);
  answer.writeBytes(Random::bytes(8));
  GatewayReply r;
  r.body = std::string(1, '\0') + SessionCipher(s.key, s.iv).encryptBlocks(answer.bytes());
  state_.log.add("KEYX " + std::to_string(s.userId) + " status=0 requested=" + std::to_string(requested));
  return r;
}

GatewayReply Gateway::encrypted(const std::string& userText, const std::string& body) {
  int uid = 0;
  if (!QueryString::parseInt32(userText, uid)) return rejected(400, "bad user id '" + userText + "'");
  auto session = state_.sessions.find(uid);
  if (!session) {
    state_.log.add("? " + std::to_string(uid) + " no-session");
    return rekeyAnswer();
  }
  std::string plain = SessionCipher(session->key, session->iv).decrypt(body);
  if (!printableQuery(plain)) {
    state_.log.add("? " + std::to_string(uid) + " undecryptable");
    return rekeyAnswer();
  }
  QueryString q(plain);
  std::string c = q.get("c");
  state_.log.add(c + " " + std::to_string(uid) + " " + plain);
  if (c == "H") return pages_.page(*session, q);
  if (c == "I") return pages_.imageBlock(*session, q);
  if (c == "F") return pages_.files(*session, q);
  return rejected(400, "unknown command c=" + c);
}

GatewayReply Gateway::upload(const std::string& userText, const std::string& body, bool favorite) {
  int uid = 0;
  if (!QueryString::parseInt32(userText, uid)) return rejected(400, "bad user id '" + userText + "'");
  auto session = state_.sessions.find(uid);
  if (!session) return rejected(403, "upload without a session for user " + std::to_string(uid));
  const std::string kind = favorite ? "FAVORITE " : "UPLOAD ";
  UploadStore::Outcome out;
  if (body.empty()) {
    out = state_.uploads.close(uid);
    state_.log.add(kind + std::to_string(uid) + " close");
  } else {
    std::string plain = SessionCipher(session->key, session->iv).decrypt(body);
    if (plain.size() < UPLOAD_HEADER) return rejected(400, "upload chunk shorter than its header");
    DataReader h(plain);
    int32_t owner = h.readInt();
    int32_t uploadId = h.readInt();
    int32_t part = h.readShort();
    int32_t chunk = h.readShort();
    if (owner != uid)
      return rejected(400,
                      "upload chunk of user " + std::to_string(owner) + " sent by " + std::to_string(uid));
    std::string data = plain.substr(UPLOAD_HEADER);
    state_.log.add(kind + std::to_string(uid) + " id=" + std::to_string(uploadId) +
                   " part=" + std::to_string(part) + " chunk=" + std::to_string(chunk) +
                   " bytes=" + std::to_string(data.size()));
    out = state_.uploads.add(uid, uploadId, part, chunk, data, favorite);
  }
  if (!out.ok) return rejected(400, out.error);
  if (out.completed && out.favorite) keepBookmarks(uid, out.data);
  GatewayReply r;
  return r;
}

void Gateway::keepBookmarks(int32_t user, const std::string& picture) {
  UserDataPackage p = UserDataPackage::parse(UserDataPackage::unwrap(picture));
  if (!p.hasBookmarks) throw ProtocolError("bookmark upload without a bookmark section");
  auto e = state_.bookmarks.replace(user, p.bookmarks);
  state_.log.add("BOOKMARKS " + std::to_string(user) + " version=" + std::to_string(e.version) +
                 " strings=" + std::to_string(e.list.size()));
}

}  // namespace vesk
