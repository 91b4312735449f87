#include "service/fetch/FormMethods.h"

#include <gumbo.h>

#include <algorithm>

#include "service/AsciiText.h"
#include "service/fetch/WebUrl.h"

namespace vesk {

namespace {

std::string attribute(const GumboElement& e, const char* name) {
  const GumboAttribute* a = gumbo_get_attribute(&e.attributes, name);
  return a ? a->value : std::string();
}

void collect(const GumboNode* node, const std::string& base, std::vector<FormMethods::Form>& out, int depth) {
  if (node->type != GUMBO_NODE_ELEMENT || depth > 400) return;
  const GumboElement& e = node->v.element;
  if (e.tag == GUMBO_TAG_FORM) {
    std::string action = attribute(e, "action");
    auto absolute = WebUrl::resolve(base, action.empty() ? base : action);
    if (absolute) out.push_back({FormMethods::key(*absolute), asciiLower(attribute(e, "method")) != "post"});
  }
  for (unsigned i = 0; i < e.children.length; ++i)
    collect(static_cast<const GumboNode*>(e.children.data[i]), base, out, depth + 1);
}

}  // namespace

std::string FormMethods::key(const std::string& url) { return url.substr(0, url.find_first_of("?#")); }

std::vector<FormMethods::Form> FormMethods::scan(const std::string& html, const std::string& url) {
  std::vector<Form> out;
  if (asciiLower(html).find("<form") == std::string::npos) return out;
  GumboOutput* doc = gumbo_parse_with_options(&kGumboDefaultOptions, html.data(), html.size());
  if (!doc) return out;
  collect(doc->root, url, out, 0);
  gumbo_destroy_output(&kGumboDefaultOptions, doc);
  return out;
}

void FormMethods::remember(int32_t user, const std::vector<Form>& forms) {
  if (forms.empty()) return;
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = forms_.find(user);
  if (it == forms_.end()) {
    if (users_.size() >= MAX_USERS) {
      forms_.erase(users_.front());
      users_.pop_front();
    }
    users_.push_back(user);
    it = forms_.emplace(user, std::deque<Form>()).first;
  }
  std::deque<Form>& list = it->second;
  for (const Form& f : forms) {
    list.erase(std::remove_if(list.begin(), list.end(), [&](const Form& o) { return o.action == f.action; }),
               list.end());
    list.push_back(f);
    if (list.size() > MAX_FORMS_PER_USER) list.pop_front();
  }
}

bool FormMethods::isGet(int32_t user, const std::string& action) const {
  std::string k = key(action);
  if (auto u = WebUrl::parse(action)) k = key(u->text());
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = forms_.find(user);
  if (it == forms_.end()) return false;
  for (auto f = it->second.rbegin(); f != it->second.rend(); ++f)
    if (f->action == k) return f->get;
  return false;
}

}  // namespace vesk
