#include "vwt/platform/SharedLibrary.h"

#include <dlfcn.h>

namespace vwt {
namespace platform {

LibraryHandle openLibrary(const std::string& fileName) {
  if (fileName.empty()) return nullptr;  // an empty name would be the program itself
  return dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void closeLibrary(LibraryHandle library) {
  if (library) dlclose(library);
}

void* findSymbol(LibraryHandle library, const char* name) {
  if (!library || !name) return nullptr;
  return dlsym(library, name);
}

}  // namespace platform
}  // namespace vwt
