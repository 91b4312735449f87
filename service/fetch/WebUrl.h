#pragma once

#include <optional>
#include <string>

namespace vesk {

// The parts of an http or https address the fetcher needs; host in lower case.
class WebUrl {
 public:
  static std::optional<WebUrl> parse(const std::string& url);
  // ref made absolute against base (ref may already be absolute); nothing when either is no
  // http or https address.
  static std::optional<std::string> resolve(const std::string& base, const std::string& ref);

  const std::string& scheme() const { return scheme_; }
  const std::string& host() const { return host_; }
  int port() const { return port_; }
  // Path with its query ("/a/b?x=1"), as sent in the request line.
  const std::string& pathAndQuery() const { return pathAndQuery_; }
  const std::string& path() const { return path_; }
  const std::string& text() const { return text_; }

 private:
  std::string scheme_, host_, path_, pathAndQuery_, text_;
  int port_ = 0;
};

}  // namespace vesk
