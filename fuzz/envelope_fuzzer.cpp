// Feeds uncompressed page envelopes, compressed here, to the response decoder.
// Any Exception is a clean rejection; a crash, overrun or leak is a finding.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "browser/service/PageResponseDecoder.h"
#include "tests/browser/FakeResponseHost.h"
#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Logger.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool quiet = (Logger::getLogger()->setOutputType(Logger::NO_OUTPUT), true);
  (void)quiet;
  if (size > (1 << 20)) return 0;
  uLongf packedSize = compressBound(static_cast<uLong>(size));
  std::vector<char> packed(packedSize);
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, data, static_cast<uLong>(size), 1) !=
      Z_OK)
    return 0;
  FakeResponseHost host;
  host.menuMode = size > 0 && (data[0] & 1);  // both command paths get explored
  Page page;
  ByteArrayInputStream in(packed.data(), 0, static_cast<int>(packedSize));
  try {
    PageResponseDecoder decoder(&host);
    decoder.decodePageResponse(&page, &in, true);
  } catch (const Exception&) {
  }
  return 0;
}
