#include "vwt/platform/InputScript.h"

#include <stdio.h>
#include <stdlib.h>

#include <fstream>
#include <mutex>
#include <sstream>

#include "vwt/platform/PngWriter.h"
#include "vwt/platform/ScriptAnswers.h"
#include "vwt/platform/VirtualKeys.h"

namespace vwt {
namespace platform {

namespace {

std::mutex gCheckLock;
std::function<bool()> gWorkersRunning;

// `idle` gives up after this long: a program that never settles must not hang its test.
const int IDLE_LIMIT_MS = 30000;
const int IDLE_POLL_MS = 10;
// A drag moves in steps this far apart in time.
const int DRAG_STEP_MS = 16;
const int MAX_COORDINATE = 32767;
const int MAX_WAIT_MS = 600000;

struct KeyName {
  const char* name;
  int virtualKey;
};
const KeyName KEYS[] = {
    {"star", VK_ASTERISK},  {"pound", VK_POUND},   {"up", VK_UP},         {"down", VK_DOWN},
    {"left", VK_LEFT},      {"right", VK_RIGHT},   {"select", VK_RETURN}, {"soft1", VK_F1},
    {"soft2", VK_F2},       {"escape", VK_ESCAPE}, {"back", VK_BACK},     {"shift", VK_SHIFT},
    {"backspace", VK_BACK}, {"delete", VK_DELETE},
};

int keyCode(const std::string& name) {
  if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') return name[0];
  for (const KeyName& k : KEYS)
    if (name == k.name) return k.virtualKey;
  return -1;
}

bool number(const std::string& word, int lo, int hi, int* out) {
  if (word.empty() || word.size() > 9) return false;
  size_t i = word[0] == '-' ? 1 : 0;
  if (i == word.size()) return false;
  for (size_t j = i; j < word.size(); ++j)
    if (word[j] < '0' || word[j] > '9') return false;
  int v = atoi(word.c_str());
  if (v < lo || v > hi) return false;
  *out = v;
  return true;
}

// The text after the first `words` words, as written, without the blanks around it.
std::string restOf(const std::string& line, int words) {
  size_t at = 0;
  auto blank = [&](size_t i) { return line[i] == ' ' || line[i] == '\t'; };
  for (int k = 0; k < words; ++k) {
    while (at < line.size() && blank(at)) ++at;
    while (at < line.size() && !blank(at)) ++at;
  }
  while (at < line.size() && blank(at)) ++at;
  std::string rest = line.substr(at);
  while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t' || rest.back() == '\r')) rest.pop_back();
  return rest;
}

// UTF-8 to UTF-16 units; false for a malformed sequence.
bool utf16(const std::string& s, std::u16string* out) {
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (extra < 0 || i + extra >= s.size()) return false;
    uint32_t cp = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      unsigned char d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      cp = cp << 6 | (d & 0x3F);
    }
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out->push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out->push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out->push_back(static_cast<char16_t>(cp));
    }
    i += extra + 1;
  }
  return true;
}

}  // namespace

void InputScript::setWorkerCheck(std::function<bool()> workersRunning) {
  std::lock_guard<std::mutex> g(gCheckLock);
  gWorkersRunning = std::move(workersRunning);
}

std::unique_ptr<InputScript> InputScript::parse(const std::string& text, std::string* error, int* errorLine) {
  std::unique_ptr<InputScript> script(new InputScript());
  std::istringstream in(text);
  std::string line;
  int n = 0;
  auto fail = [&](const std::string& why) {
    *error = std::to_string(n) + ": " + why;
    *errorLine = n;
    return nullptr;
  };
  while (std::getline(in, line)) {
    ++n;
    size_t hash = line.find('#');
    std::string code = hash == std::string::npos ? line : line.substr(0, hash);
    std::istringstream words(code);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    if (w.empty()) continue;
    const std::string& op = w[0];
    Command c;
    c.line = n;
    int x1, y1, x2, y2, ms;
    auto point = [&](size_t i, int* x, int* y) {
      return number(w[i], 0, MAX_COORDINATE, x) && number(w[i + 1], 0, MAX_COORDINATE, y);
    };
    if (op == "key") {
      if (w.size() < 2 || w.size() > 3) return fail("key NAME [down|up]");
      int vk = keyCode(w[1]);
      if (vk < 0) return fail("unknown key " + w[1]);
      c.a = vk;
      if (w.size() == 3 && w[2] != "down" && w[2] != "up") return fail("key NAME [down|up]");
      if (w.size() == 2 || w[2] == "down") {
        c.kind = Command::KEY_DOWN;
        script->commands_.push_back(c);
      }
      if (w.size() == 2 || w[2] == "up") {
        c.kind = Command::KEY_UP;
        script->commands_.push_back(c);
      }
    } else if (op == "type") {
      c.kind = Command::TYPE;
      // '#' inside typed text is text: take the raw rest of the line.
      c.text = restOf(line, 1);
      std::u16string units;
      if (c.text.empty() || !utf16(c.text, &units)) return fail("type TEXT (UTF-8)");
      script->commands_.push_back(c);
    } else if (op == "tap" || op == "press" || op == "move" || op == "release") {
      if (w.size() != 3 || !point(1, &x1, &y1)) return fail(op + " X Y");
      c.a = x1;
      c.b = y1;
      c.kind = op == "move" ? Command::MOVE : op == "release" ? Command::RELEASE : Command::PRESS;
      script->commands_.push_back(c);
      if (op == "tap") {
        c.kind = Command::RELEASE;
        script->commands_.push_back(c);
      }
    } else if (op == "drag") {
      if (w.size() != 6 || !point(1, &x1, &y1) || !point(3, &x2, &y2) || !number(w[5], 0, MAX_WAIT_MS, &ms))
        return fail("drag X1 Y1 X2 Y2 MS");
      c.kind = Command::PRESS;
      c.a = x1;
      c.b = y1;
      script->commands_.push_back(c);
      int steps = ms / DRAG_STEP_MS > 0 ? ms / DRAG_STEP_MS : 1;
      for (int i = 1; i <= steps; ++i) {
        Command wait;
        wait.kind = Command::WAIT;
        wait.line = n;
        wait.a = (ms * i) / steps - (ms * (i - 1)) / steps;
        script->commands_.push_back(wait);
        Command move;
        move.kind = Command::MOVE;
        move.line = n;
        move.a = x1 + (x2 - x1) * i / steps;
        move.b = y1 + (y2 - y1) * i / steps;
        script->commands_.push_back(move);
      }
      c.kind = Command::RELEASE;
      c.a = x2;
      c.b = y2;
      script->commands_.push_back(c);
    } else if (op == "wait") {
      if (w.size() != 2 || !number(w[1], 0, MAX_WAIT_MS, &ms)) return fail("wait MS");
      c.kind = Command::WAIT;
      c.a = ms;
      script->commands_.push_back(c);
    } else if (op == "idle" || op == "quit") {
      if (w.size() != 1) return fail(op + " takes nothing");
      c.kind = op == "idle" ? Command::IDLE : Command::QUIT;
      script->commands_.push_back(c);
    } else if (op == "shot") {
      c.text = restOf(code, 1);
      if (w.size() != 2 || c.text.size() < 5 || c.text.compare(c.text.size() - 4, 4, ".png") != 0)
        return fail("shot FILE.png");
      c.kind = Command::SHOT;
      script->commands_.push_back(c);
    } else if (op == "answer") {
      if (w.size() < 2 || !number(w[1], -1, 1000000, &c.a)) return fail("answer N [TEXT]");
      c.kind = Command::ANSWER;
      if (w.size() > 2) c.text = restOf(code, 2);
      script->commands_.push_back(c);
    } else {
      return fail("unknown command " + op);
    }
  }
  return script;
}

std::unique_ptr<InputScript> InputScript::load(const std::string& path, std::string* error, int* errorLine) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "0: cannot read " + path;
    *errorLine = 0;
    return nullptr;
  }
  std::stringstream all;
  all << in.rdbuf();
  return parse(all.str(), error, errorLine);
}

int InputScript::step(InputSink& sink, Host& host, int64_t now) {
  while (next_ < commands_.size()) {
    const Command& c = commands_[next_];
    switch (c.kind) {
      case Command::WAIT:
        if (waitUntil_ < 0) waitUntil_ = now + c.a;
        if (now < waitUntil_) return static_cast<int>(waitUntil_ - now);
        waitUntil_ = -1;
        ++next_;
        continue;
      case Command::IDLE: {
        bool workers = false;
        {
          std::lock_guard<std::mutex> g(gCheckLock);
          if (gWorkersRunning) workers = gWorkersRunning();
        }
        if (idleSince_ < 0) idleSince_ = now;
        if ((workers || host.isBusy()) && now - idleSince_ < IDLE_LIMIT_MS) return IDLE_POLL_MS;
        if (now - idleSince_ >= IDLE_LIMIT_MS)
          fprintf(stderr, "input script: line %d: still busy, going on\n", c.line);
        idleSince_ = -1;
        ++next_;
        continue;
      }
      case Command::SHOT:
        if (!writePng(c.text, host.screen())) {
          fprintf(stderr, "input script: line %d: cannot write %s\n", c.line, c.text.c_str());
          exit(2);
        }
        ++next_;
        continue;
      case Command::ANSWER:
        ScriptAnswers::push(c.a, c.text);
        ++next_;
        continue;
      case Command::KEY_DOWN:
        sink.keyDown(c.a, false);
        break;
      case Command::KEY_UP:
        sink.keyUp(c.a);
        break;
      case Command::TYPE: {
        std::u16string units;
        utf16(c.text, &units);
        for (char16_t u : units) sink.character(u);
        break;
      }
      case Command::PRESS:
        sink.pointerDown(c.a, c.b);
        break;
      case Command::MOVE:
        sink.pointerMove(c.a, c.b);
        break;
      case Command::RELEASE:
        sink.pointerUp(c.a, c.b);
        break;
      case Command::QUIT:
        sink.closeRequested();
        break;
    }
    ++next_;
    return 0;
  }
  return -1;
}

}  // namespace platform
}  // namespace vwt
