#include "vwt/ui/Module.h"

#include "vwt/io/File.h"
#include "vwt/lang/Exception.h"
#include "vwt/platform/SharedLibrary.h"

namespace {
void* load(const String& fileName) {
  try {
    return vwt::platform::openLibrary(File::toNativePath(fileName));
  } catch (const Exception&) {
    return nullptr;  // a name the code page cannot hold names no library
  }
}
}  // namespace

Module::Module(const String& fileName) : fileName_(fileName), handle_(load(fileName)) {}

Module::~Module() { vwt::platform::closeLibrary(handle_); }

void* Module::getProcAddress(const char* name) const { return vwt::platform::findSymbol(handle_, name); }
