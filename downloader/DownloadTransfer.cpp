#include "downloader/DownloadTransfer.h"

#include "downloader/TransferListener.h"
#include "vwt/net/HttpConnection.h"

DownloadTransfer::DownloadTransfer(const String& url, const String& referer, const String& cookie,
                                   const String& path)
    : url_(url),
      referer_(referer),
      cookie_(cookie),
      path_(path),
      listener_(nullptr),
      retries_(3),
      cancelled_(false),
      connection_(nullptr),
      statusCode_(0),
      received_(0),
      totalLength_(-1) {}

DownloadTransfer::~DownloadTransfer() {}

void DownloadTransfer::setListener(TransferListener* listener) { listener_ = listener; }
void DownloadTransfer::setRetries(int retries) { retries_ = retries; }
DownloadTransfer::Outcome DownloadTransfer::run() { return CANCELLED; }
void DownloadTransfer::cancel() { cancelled_ = true; }
int DownloadTransfer::getStatusCode() const { return statusCode_; }
String DownloadTransfer::getReasonPhrase() const { return reasonPhrase_; }
int64_t DownloadTransfer::getReceived() const { return received_; }
int64_t DownloadTransfer::getTotalLength() const { return totalLength_; }
String DownloadTransfer::getSuggestedName() const { return suggestedName_; }
