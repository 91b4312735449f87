#include "service/FixtureLibrary.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "service/FixtureParser.h"
#include "service/StateFile.h"

namespace vesk {

namespace fs = std::filesystem;

FixtureLibrary::FixtureLibrary(std::string folder) : folder_(std::move(folder)) {}

std::optional<std::string> FixtureLibrary::fixturePath(const std::string& url) {
  std::string path = url;
  size_t scheme = path.find("://");
  if (scheme != std::string::npos) {
    size_t slash = path.find('/', scheme + 3);
    path = slash == std::string::npos ? std::string() : path.substr(slash);
  }
  size_t cut = path.find_first_of("?#;");
  if (cut != std::string::npos) path.resize(cut);
  while (!path.empty() && path[0] == '/') path.erase(0, 1);
  if (path.empty() || path.back() == '/') path += "index";
  for (char c : path)
    if (static_cast<unsigned char>(c) < 0x20 || c == '\\' || c == 0x7F) return std::nullopt;
  // no "." or ".." segments, no empty segments
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string seg = path.substr(start, end - start);
    if (seg.empty() || seg == "." || seg == "..") return std::nullopt;
    start = end + 1;
  }
  return path;
}

std::shared_ptr<const Page> FixtureLibrary::find(const std::string& url) const {
  if (folder_.empty()) return nullptr;
  auto rel = fixturePath(url);
  if (!rel) return nullptr;
  std::string file = folder_ + "/" + *rel + ".page";
  struct stat st;
  if (stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = cache_.find(file);
    if (it != cache_.end() && it->second.mtime == static_cast<long long>(st.st_mtime) &&
        it->second.size == static_cast<long long>(st.st_size))
      return it->second.page;
  }
  std::string text;
  if (!StateFile::read(file, text)) return nullptr;
  std::string dir = fs::path(file).parent_path().string();
  auto page = std::make_shared<const Page>(FixtureParser(dir, *rel + ".page").parse(text));
  std::lock_guard<std::mutex> lock(mutex_);
  cache_[file] = {static_cast<long long>(st.st_mtime), static_cast<long long>(st.st_size), page};
  return page;
}

std::vector<std::string> FixtureLibrary::list(size_t limit) const {
  std::vector<std::string> out;
  std::error_code ec;
  if (folder_.empty() || !fs::is_directory(folder_, ec)) return out;
  for (auto it = fs::recursive_directory_iterator(folder_, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_regular_file(ec) || it->path().extension() != ".page") continue;
    std::string rel = fs::relative(it->path(), folder_, ec).string();
    out.push_back(rel.substr(0, rel.size() - 5));
  }
  std::sort(out.begin(), out.end());
  if (out.size() > limit) out.resize(limit);
  return out;
}

}  // namespace vesk
