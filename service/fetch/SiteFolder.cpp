#include "service/fetch/SiteFolder.h"

#include <openssl/evp.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "service/AsciiText.h"
#include "service/fetch/WebUrl.h"

namespace vesk {

namespace fs = std::filesystem;

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string percentDecode(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0) {
      out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

bool readFile(const fs::path& p, std::string& out) {
  std::ifstream in(p, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  out = all.str();
  return true;
}

HopResponse answer(int status, const std::string& text) {
  HopResponse r;
  r.status = status;
  r.headers.emplace_back("content-type", "text/html; charset=utf-8");
  r.body = "<html><head><title>" + text + "</title></head><body><h1>" + text + "</h1></body></html>";
  return r;
}

std::string base64Decode(const std::string& in) {
  if (in.size() % 4 != 0 || in.size() > 4096) return std::string();
  std::vector<unsigned char> out(in.size() / 4 * 3 + 1);
  int n = EVP_DecodeBlock(out.data(), reinterpret_cast<const unsigned char*>(in.data()),
                          static_cast<int>(in.size()));
  if (n < 0) return std::string();
  size_t len = static_cast<size_t>(n);
  for (size_t i = in.size(); i > 0 && in[i - 1] == '='; --i) --len;  // padding decodes to zeros
  return std::string(reinterpret_cast<char*>(out.data()), len);
}

struct AuthRule {
  std::string realm;
  std::vector<std::string> users;  // "name:password"
};

bool readAuth(const fs::path& file, AuthRule& rule) {
  std::string text;
  if (!readFile(file, text)) return false;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    line = trimBlanks(line, " \t\r");
    if (line.empty() || line[0] == '#') continue;
    if (line.compare(0, 6, "realm=") == 0) rule.realm = line.substr(6);
    if (line.compare(0, 5, "user=") == 0) rule.users.push_back(line.substr(5));
  }
  if (rule.realm.empty()) rule.realm = "Restricted";
  return true;
}

bool credentialsAccepted(const AuthRule& rule, const HopRequest& request) {
  for (const auto& h : request.headers) {
    if (h.first != "authorization" || asciiLower(h.second.substr(0, 6)) != "basic ") continue;
    std::string pair = base64Decode(trimBlanks(h.second.substr(6), " \t\r"));
    for (const auto& u : rule.users)
      if (!pair.empty() && pair == u) return true;
  }
  return false;
}

}  // namespace

SiteFolder::SiteFolder(std::string name, std::string folder) : name_(asciiLower(std::move(name))) {
  std::error_code ec;
  fs::path canon = fs::canonical(folder, ec);
  folder_ = ec ? folder : canon.string();
}

std::string SiteFolder::contentTypeFor(const std::string& fileName) {
  static const std::map<std::string, std::string> types = {
      {".html", "text/html"},      {".htm", "text/html"},         {".css", "text/css"},
      {".js", "text/javascript"},  {".txt", "text/plain"},        {".png", "image/png"},
      {".gif", "image/gif"},       {".jpg", "image/jpeg"},        {".jpeg", "image/jpeg"},
      {".svg", "image/svg+xml"},   {".ico", "image/x-icon"},      {".bmp", "image/bmp"},
      {".webp", "image/webp"},     {".json", "application/json"}, {".xml", "application/xml"},
      {".zip", "application/zip"}, {".pdf", "application/pdf"},
  };
  std::string ext = asciiLower(fs::path(fileName).extension().string());
  auto it = types.find(ext);
  return it != types.end() ? it->second : "application/octet-stream";
}

HopResponse SiteFolder::serve(const HopRequest& request) const {
  auto url = WebUrl::parse(request.url);
  if (!url) return answer(400, "Bad Request");
  std::string path = percentDecode(url->path());
  if (path.find('\0') != std::string::npos || path.find('\\') != std::string::npos)
    return answer(404, "Not Found");
  // Walk the segments: no "..", no hidden or sidecar names.
  fs::path file = folder_;
  std::vector<std::string> segments;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string seg = path.substr(start, end - start);
    start = end + 1;
    if (seg.empty() || seg == ".") continue;
    if (seg[0] == '.' || asciiLower(fs::path(seg).extension().string()) == ".headers")
      return answer(404, "Not Found");
    segments.push_back(seg);
    file /= seg;
  }
  std::error_code ec;
  fs::path real = fs::canonical(file, ec);
  std::string root = folder_ + "/";
  if (ec || (real.string() != folder_ && real.string().compare(0, root.size(), root) != 0))
    return answer(404, "Not Found");
  if (fs::is_directory(real, ec)) {
    if (path.empty() || path.back() != '/') {
      // Relative links on the index page need the folder's address to end with '/'.
      HopResponse r = answer(301, "Moved Permanently");
      std::string q = url->pathAndQuery().substr(url->path().size());
      r.headers.emplace_back("location", url->path() + "/" + q);
      return r;
    }
    real /= "index.html";
    if (!fs::is_regular_file(real, ec)) return answer(404, "Not Found");
  }
  if (!fs::is_regular_file(real, ec)) return answer(404, "Not Found");

  // The nearest .auth from the file's folder up to the site's root decides.
  for (fs::path dir = real.parent_path();; dir = dir.parent_path()) {
    AuthRule rule;
    if (fs::exists(dir / ".auth", ec) && readAuth(dir / ".auth", rule)) {
      if (credentialsAccepted(rule, request)) break;
      HopResponse r = answer(401, "Authorization Required");
      r.headers.emplace_back("www-authenticate", "Basic realm=\"" + rule.realm + "\"");
      return r;
    }
    if (dir.string().size() <= folder_.size()) break;
  }

  uintmax_t size = fs::file_size(real, ec);
  if (ec) return answer(404, "Not Found");
  HopResponse r;
  if (request.maxBytes && size > request.maxBytes) {
    r.failure = FetchFailure::TOO_LARGE;
    r.error = "the file has " + std::to_string(size) + " bytes";
    return r;
  }
  if (!readFile(real, r.body)) return answer(404, "Not Found");
  r.status = 200;
  r.headers.emplace_back("content-type", contentTypeFor(real.filename().string()));
  std::string sidecar;
  if (readFile(real.string() + ".headers", sidecar)) {
    std::istringstream lines(sidecar);
    std::string line;
    while (std::getline(lines, line)) {
      line = trimBlanks(line, " \t\r");
      size_t colon = line.find(':');
      if (line.empty() || line[0] == '#' || colon == std::string::npos) continue;
      std::string name = asciiLower(trimBlanks(line.substr(0, colon), " \t\r"));
      std::string value = trimBlanks(line.substr(colon + 1), " \t\r");
      if (name == "status") {
        int status = std::atoi(value.c_str());
        if (status >= 100 && status <= 599) r.status = status;
        continue;
      }
      if (name == "content-type") {
        for (auto& h : r.headers)
          if (h.first == name) h.second = value;
        continue;
      }
      r.headers.emplace_back(name, value);
    }
  }
  return r;
}

}  // namespace vesk
