#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace vesk {

// The handset submits every form the same way (the action as the address, the fields as "p"),
// so the service remembers the methods of the forms on the pages it served to each user: a
// GET form sends its fields as the action's query, anything else posts them.
class FormMethods {
 public:
  static const size_t MAX_FORMS_PER_USER = 64;
  static const size_t MAX_USERS = 4096;

  struct Form {
    std::string action;  // absolute, without query and fragment
    bool get = false;
  };

  // The forms of a document, actions made absolute against its address.
  static std::vector<Form> scan(const std::string& html, const std::string& url);
  // The address without query and fragment, the key forms are remembered by.
  static std::string key(const std::string& url);

  void remember(int32_t user, const std::vector<Form>& forms);
  // Whether the user's form with this action was a GET form; false when unknown.
  bool isGet(int32_t user, const std::string& action) const;

 private:
  mutable std::mutex mutex_;
  std::map<int32_t, std::deque<Form>> forms_;
  std::deque<int32_t> users_;  // in the order first seen, to bound the memory
};

}  // namespace vesk
