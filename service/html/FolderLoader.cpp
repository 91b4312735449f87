#include "service/html/FolderLoader.h"

#include <iconv.h>

#include <fstream>
#include <iterator>

namespace vesk {

namespace {

std::string contentType(const std::string& path) {
  std::string ext = path.substr(path.rfind('.') == std::string::npos ? path.size() : path.rfind('.'));
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == ".html" || ext == ".htm") return "text/html";
  if (ext == ".css") return "text/css";
  if (ext == ".png") return "image/png";
  if (ext == ".jpg" || ext == ".jpeg") return "image/jpeg";
  if (ext == ".gif") return "image/gif";
  if (ext == ".swf") return "application/x-shockwave-flash";
  return "application/octet-stream";
}

std::string lowerAscii(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

FolderLoader::FolderLoader(const std::string& folder, const std::string& urlPrefix)
    : folder_(folder), prefix_(urlPrefix) {}

std::string FolderLoader::toUtf8(const std::string& html) {
  std::string head = lowerAscii(html.substr(0, 2048));
  const char* from = nullptr;
  if (head.find("shift_jis") != std::string::npos || head.find("sjis") != std::string::npos) from = "CP932";
  if (head.find("euc-jp") != std::string::npos) from = "EUC-JP";
  if (!from) return html;
  iconv_t cd = iconv_open("UTF-8", from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return html;
  std::string out;
  char buf[4096];
  char* in = const_cast<char*>(html.data());
  size_t inLeft = html.size();
  while (inLeft > 0) {
    char* o = buf;
    size_t oLeft = sizeof buf;
    size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    out.append(buf, static_cast<size_t>(o - buf));
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      // A byte that is not in the charset: replace it and go on.
      out += "\xEF\xBF\xBD";
      ++in;
      --inLeft;
    }
  }
  iconv_close(cd);
  return out;
}

FetchedResource FolderLoader::load(const std::string& url, size_t maxBytes) {
  FetchedResource r;
  r.url = url;
  if (url.compare(0, prefix_.size(), prefix_) != 0) {
    r.error = "outside the folder";
    return r;
  }
  std::string path = url.substr(prefix_.size());
  path = path.substr(0, path.find_first_of("?#"));
  if (path.find("..") != std::string::npos) {
    r.error = "outside the folder";
    return r;
  }
  std::ifstream in(folder_ + "/" + path, std::ios::binary);
  if (!in) {
    r.status = 404;
    r.error = "not found";
    return r;
  }
  std::string body((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (body.size() > maxBytes) body.resize(maxBytes);
  r.status = 200;
  r.contentType = contentType(path);
  r.body = r.contentType == "text/html" ? toUtf8(body) : body;
  return r;
}

}  // namespace vesk
