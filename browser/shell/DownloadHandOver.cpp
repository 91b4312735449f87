#include "browser/shell/DownloadHandOver.h"

#include <exception>

#include "vwt/lang/Exception.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Window.h"

DownloadHandOver::Channel DownloadHandOver::through(Window* sender) {
  Channel c;
  c.send = [sender](const String& windowClass, const char* data, int length) {
    return sender->sendShortMessage(windowClass, data, length);
  };
  c.launch = [](const String& commandLine) {
    Application* app = Application::getCurrentApp();
    if (!app) throw Exception(u"no application"_s);
    app->launch(Application::LAUNCH_DOWNLOADER_ITEM, commandLine);
  };
  return c;
}

String DownloadHandOver::commandLine(const String& url, const String& referrer, const String& extra) {
  static const String kBetween = u"\"\t\""_s;
  return ((((u"\""_s + url) + kBetween + referrer) + kBetween + extra) + u"\"");
}

std::string DownloadHandOver::message(const String& commandLine) {
  const char16_t* units = commandLine.getCString();
  int n = commandLine.length();
  std::string bytes(static_cast<size_t>(n + 1) * 2, '\0');
  for (int i = 0; i < n; ++i) {
    bytes[2 * i] = static_cast<char>(units[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(units[i] >> 8);
  }
  return bytes;
}

int DownloadHandOver::handOver(const Channel& channel, const String& url, const String& referrer,
                               const String& extra) {
  String line = commandLine(url, referrer, extra);
  try {
    std::string bytes = message(line);
    int result = channel.send(u"DOWNLOADER"_s, bytes.data(), static_cast<int>(bytes.size()));
    if (result == -1) channel.launch(line);
    if (result == 1) return MESSAGE_BUSY;
    return 0;
  } catch (const Exception&) {
    return MESSAGE_FAILED;
  } catch (const std::exception&) {
    return MESSAGE_FAILED;
  }
}
