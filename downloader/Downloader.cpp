#include "downloader/Downloader.h"
