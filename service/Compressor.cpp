#include "service/Compressor.h"

#include <zlib.h>

#include "service/ProtocolError.h"

namespace vesk {

std::string Compressor::deflate(const std::string& data, int level) {
  uLongf bound = compressBound(static_cast<uLong>(data.size()));
  std::string out(bound, '\0');
  if (compress2(reinterpret_cast<Bytef*>(&out[0]), &bound, reinterpret_cast<const Bytef*>(data.data()),
                static_cast<uLong>(data.size()), level) != Z_OK)
    throw ProtocolError("compression failed");
  out.resize(bound);
  return out;
}

}  // namespace vesk
