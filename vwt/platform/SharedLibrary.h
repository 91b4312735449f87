#pragma once

#include <string>

namespace vwt {
namespace platform {

// Libraries loaded while the program runs. A handle is null when the library cannot be loaded.
using LibraryHandle = void*;

// fileName as the loader takes it: a path, or a bare name searched on the library path.
LibraryHandle openLibrary(const std::string& fileName);
// Nothing for null.
void closeLibrary(LibraryHandle library);
// The address of an exported symbol; null when the library or the symbol is missing.
void* findSymbol(LibraryHandle library, const char* name);

}  // namespace platform
}  // namespace vwt
