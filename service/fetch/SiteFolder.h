#pragma once

#include <string>

#include "service/fetch/FetchModel.h"

namespace vesk {

// A local folder served as one web host without any network ("--site NAME=DIR"): index.html
// for folders, content types by extension, and sidecar files beside the pages:
//   page.html.headers  extra answer headers, one "Name: value" a line (Set-Cookie, Content-Type
//                      with a charset, "Status: 302" with a Location)
//   .auth              basic authentication for its folder and everything below:
//                      "realm=TEXT" and one "user=NAME:PASSWORD" a line
// A path that could leave the folder ("..", a symbolic link that points out, NUL) and the
// sidecar files themselves are answered 404.
class SiteFolder {
 public:
  SiteFolder(std::string name, std::string folder);

  const std::string& name() const { return name_; }
  const std::string& folder() const { return folder_; }
  HopResponse serve(const HopRequest& request) const;

  static std::string contentTypeFor(const std::string& fileName);

 private:
  std::string name_;
  std::string folder_;
};

}  // namespace vesk
