#pragma once

// What a component tells its listeners about; the kinds derive from it.
class EventListener {
 public:
  virtual ~EventListener() = default;
};
