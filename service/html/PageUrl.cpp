#include "service/html/PageUrl.h"

#include <cctype>
#include <vector>

namespace vesk {

namespace {

std::string trimmed(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  std::string out;
  for (size_t i = b; i < e; ++i) {
    // Line breaks and tabs inside an address are dropped, as browsers do.
    if (s[i] != '\n' && s[i] != '\r' && s[i] != '\t') out += s[i];
  }
  return out;
}

// "/a/b/../c/./d" -> "/a/c/d"
std::string normalizePath(const std::string& path) {
  std::vector<std::string> segments, out;
  size_t i = path.empty() || path[0] != '/' ? 0 : 1;
  while (true) {
    size_t j = path.find('/', i);
    segments.push_back(path.substr(i, j == std::string::npos ? std::string::npos : j - i));
    if (j == std::string::npos) break;
    i = j + 1;
  }
  for (size_t k = 0; k < segments.size(); ++k) {
    bool last = k + 1 == segments.size();
    if (segments[k] == "." || segments[k] == "..") {
      if (segments[k] == ".." && !out.empty()) out.pop_back();
      if (last) out.push_back("");
      continue;
    }
    out.push_back(segments[k]);
  }
  std::string joined;
  for (size_t k = 0; k < out.size(); ++k) joined += "/" + out[k];
  return joined.empty() ? "/" : joined;
}

}  // namespace

bool PageUrl::hasScheme(const std::string& ref) {
  size_t i = 0;
  if (ref.empty() || !std::isalpha(static_cast<unsigned char>(ref[0]))) return false;
  while (i < ref.size() && (std::isalnum(static_cast<unsigned char>(ref[i])) || ref[i] == '+' ||
                            ref[i] == '-' || ref[i] == '.'))
    ++i;
  return i < ref.size() && ref[i] == ':';
}

std::string PageUrl::resolve(const std::string& baseIn, const std::string& refIn) {
  std::string ref = trimmed(refIn);
  std::string base = trimmed(baseIn);
  if (hasScheme(ref)) return ref;
  size_t schemeEnd = base.find("://");
  if (schemeEnd == std::string::npos) return ref;
  std::string scheme = base.substr(0, schemeEnd);
  size_t authStart = schemeEnd + 3;
  size_t pathStart = base.find_first_of("/?#", authStart);
  if (pathStart == std::string::npos) pathStart = base.size();
  std::string authority = base.substr(authStart, pathStart - authStart);
  std::string rest = base.substr(pathStart);
  std::string path = rest.substr(0, rest.find_first_of("?#"));
  if (path.empty()) path = "/";
  std::string query;
  size_t q = rest.find('?');
  if (q != std::string::npos) query = rest.substr(q, rest.find('#', q) - q);

  if (ref.empty()) return scheme + "://" + authority + path + query;
  if (ref.size() >= 2 && ref[0] == '/' && ref[1] == '/') return scheme + ":" + ref;
  if (ref[0] == '#') return scheme + "://" + authority + path + query + ref;
  if (ref[0] == '?') return scheme + "://" + authority + path + ref;
  size_t refPathEnd = ref.find_first_of("?#");
  std::string refPath = ref.substr(0, refPathEnd);
  std::string refTail = refPathEnd == std::string::npos ? "" : ref.substr(refPathEnd);
  std::string merged;
  if (!refPath.empty() && refPath[0] == '/') {
    merged = refPath;
  } else {
    merged = path.substr(0, path.rfind('/') + 1) + refPath;
  }
  return scheme + "://" + authority + normalizePath(merged) + refTail;
}

std::string PageUrl::fileName(const std::string& url) {
  std::string path = url.substr(0, url.find_first_of("?#"));
  size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string safe;
  for (char c : name) {
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-') safe += c;
  }
  if (safe.empty() || safe == "." || safe == "..") safe = "embedded";
  return safe;
}

}  // namespace vesk
