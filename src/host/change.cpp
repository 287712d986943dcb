#include <algorithm>

#include "host/protocol_impl.h"

namespace veltro {

ChangeHandlerId FTDX10_Protocol::AddChangeHandler(ChangeHandler handler) {
  auto& p = *impl_;
  if (!handler) return 0;
  ChangeHandlerId id = p.next_handler_id++;
  p.handlers.push_back({id, std::make_shared<ChangeHandler>(std::move(handler))});
  return id;
}

bool FTDX10_Protocol::RemoveChangeHandler(ChangeHandlerId id) {
  auto& p = *impl_;
  for (auto& h : p.handlers) {
    if (h.id == id && h.fn) {
      h.fn.reset();  // compacted once no raise is running, so indices stay valid meanwhile
      p.handlers_removed = true;
      if (p.raising == 0) {
        std::erase_if(p.handlers, [](const auto& e) { return !e.fn; });
        p.handlers_removed = false;
      }
      return true;
    }
  }
  return false;
}

}  // namespace veltro

namespace veltro::detail {

// Handlers may add or remove handlers, or raise further events through ReadBuffer; each call
// holds its own reference to the handler, and handlers added meanwhile wait for the next event.
void ProtocolImpl::RaiseChange(std::int16_t state_value) {
  ++raising;
  std::size_t count = handlers.size();
  try {
    for (std::size_t i = 0; i < count && i < handlers.size(); ++i) {
      std::shared_ptr<ChangeHandler> fn = handlers[i].fn;
      if (!fn) continue;
      std::int16_t st = state_value;
      (*fn)(st);
    }
  } catch (...) {
    --raising;
    throw;
  }
  --raising;
  if (raising == 0 && handlers_removed) {
    std::erase_if(handlers, [](const auto& e) { return !e.fn; });
    handlers_removed = false;
  }
}

}  // namespace veltro::detail
