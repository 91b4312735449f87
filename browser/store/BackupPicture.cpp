#include "browser/store/BackupPicture.h"

const char16_t BackupPicture::LOGO[] = u"resource:///vesklogo.gif";

std::vector<char> BackupPicture::wrap(const std::vector<char>&, const std::vector<char>&) { return {}; }

std::vector<char> BackupPicture::wrap(const std::vector<char>&) { return {}; }

std::vector<char> BackupPicture::unwrap(const std::vector<char>&) { return {}; }

std::vector<char> BackupPicture::readLogo() { return {}; }
