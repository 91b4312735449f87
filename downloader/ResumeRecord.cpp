#include "downloader/ResumeRecord.h"

#include "vwt/io/DataInputStream.h"
#include "vwt/io/DataOutputStream.h"
#include "vwt/io/File.h"
#include "vwt/io/FileInputStream.h"
#include "vwt/io/FileOutputStream.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/VectorV.h"

namespace {

// "VDRR": a record of this program, first version.
const int MAGIC = 0x56445252;
const int VERSION = 1;
const char16_t SUFFIX[] = u".resume";

void writeLength(DataOutputStream& out, int64_t length) {
  out.writeInt(static_cast<int>(static_cast<uint64_t>(length) >> 32));
  out.writeInt(static_cast<int>(length & 0xFFFFFFFF));
}

int64_t readLength(DataInputStream& in) {
  uint64_t high = static_cast<uint32_t>(in.readInt());
  uint64_t low = static_cast<uint32_t>(in.readInt());
  return static_cast<int64_t>(high << 32 | low);
}

}  // namespace

bool ResumeRecord::hasValidator() const { return !etag.isNull() || !lastModified.isNull(); }

String ResumeRecord::pathFor(const String& dataPath) { return dataPath + String(SUFFIX, false); }

bool ResumeRecord::load(const String& dataPath) {
  try {
    DataInputStream in(new FileInputStream(pathFor(dataPath)));
    if (in.readInt() != MAGIC || in.readInt() != VERSION) return false;
    String u = in.readUTF();
    String e = in.readUTF();
    String m = in.readUTF();
    int64_t total = readLength(in);
    if (total < -1) return false;
    url = u;
    etag = e;
    lastModified = m;
    totalLength = total;
    return true;
  } catch (const Exception&) {
    return false;
  }
}

void ResumeRecord::save(const String& dataPath) const {
  // Written aside and renamed over the old record, so that a crash never
  // leaves half a record.
  String path = pathFor(dataPath);
  String temporary = path + u".new"_s;
  {
    DataOutputStream out(new FileOutputStream(temporary));
    out.writeInt(MAGIC);
    out.writeInt(VERSION);
    out.writeUTF(url);
    out.writeUTF(etag);
    out.writeUTF(lastModified);
    writeLength(out, totalLength);
    out.close();
  }
  if (!File(temporary).renameTo(File(path))) {
    File(temporary).doDelete();
    throw Exception(Resource::getString(21013, path));
  }
}

void ResumeRecord::remove(const String& dataPath) { File(pathFor(dataPath)).doDelete(); }

String ResumeRecord::findPartial(const String& directory, const String& url) {
  String folder = directory;
  if (!folder.endsWith(File::separator)) folder = folder + File::separator;
  VectorV<String> names;
  try {
    File(folder).list(File::FILES, true, &names);
  } catch (const Exception&) {
    return String::null;
  }
  String suffix(SUFFIX, false);
  for (int i = 0; i < names.size(); ++i) {
    String recordPath = names.elementAt(i);
    if (!recordPath.endsWith(suffix)) continue;
    String dataPath = recordPath.substring(0, recordPath.length() - suffix.length());
    ResumeRecord record;
    if (record.load(dataPath) && record.url.equals(url) && record.hasValidator() && File(dataPath).isFile())
      return dataPath;
  }
  return String::null;
}
