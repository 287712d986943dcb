// The C interface: handles around the C++ objects, values converted both ways, and every
// exception caught at the boundary and turned into a number and a text.
#include "veltro/ftdx10_c.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/library.h"
#include "veltro/events.h"
#include "veltro/ftdx10.h"
#include "veltro/members.h"

struct veltro_connector {
  std::unique_ptr<veltro::FTDX10_Connector> connector;
};
struct veltro_protocol {
  std::shared_ptr<veltro::FTDX10_Protocol> protocol;
};
struct veltro_class_factory {};

namespace {

using veltro::Variant;

thread_local std::string g_last_error;
// Handles the interface has handed out and not yet seen released.
std::atomic<int> g_live{0};

int Ok() {
  g_last_error.clear();
  return VELTRO_OK;
}

int Fail(int code, std::string text) {
  g_last_error = std::move(text);
  return code;
}

// Runs `body`, mapping whatever it throws to a result code.
template <typename F>
int Guard(F&& body) noexcept {
  try {
    return body();
  } catch (const veltro::AutomationError& e) {
    return Fail(e.Number(), e.what());
  } catch (const std::invalid_argument& e) {
    return Fail(VELTRO_E_ARGUMENT_COUNT, e.what());
  } catch (const std::logic_error& e) {
    return Fail(VELTRO_E_READ_ONLY, e.what());
  } catch (const std::exception& e) {
    return Fail(VELTRO_E_FAILED, e.what());
  } catch (...) {
    return Fail(VELTRO_E_FAILED, "unknown error");
  }
}

char* CopyText(const std::string& s) {
  char* out = static_cast<char*>(std::malloc(s.size() + 1));
  if (!out) throw std::bad_alloc();
  std::memcpy(out, s.c_str(), s.size() + 1);
  return out;
}

Variant ToVariant(const veltro_value& v) {
  // The tag is read as the integer the host stored: a value outside the enumeration must not be
  // loaded as the enumeration type.
  static_assert(sizeof(veltro_type) == sizeof(int));
  int tag;
  std::memcpy(&tag, &v.type, sizeof tag);
  switch (tag) {
    case VELTRO_BOOLEAN:
      return Variant(v.i != 0);
    case VELTRO_INTEGER:
      return Variant(static_cast<std::int16_t>(v.i));
    case VELTRO_LONG:
      return Variant(static_cast<std::int32_t>(v.i));
    case VELTRO_DOUBLE:
      return Variant(v.d);
    case VELTRO_STRING:
      return Variant(std::string(v.s ? v.s : ""));
    case VELTRO_EMPTY:
      return Variant();
  }
  // A tag outside the enumeration (memory the host never filled in) is refused, not sent as 0.
  throw veltro::AutomationError(veltro::ErrorNumber::kTypeMismatch);
}

// Replaces `out` (freeing its text) with `v`; a 16-bit value of a Boolean member reads BOOLEAN.
void FromVariant(const Variant& v, bool boolean, veltro_value* out) {
  veltro_value r{};
  const auto& value = v.value();
  if (auto* i16 = std::get_if<std::int16_t>(&value)) {
    r.type = boolean ? VELTRO_BOOLEAN : VELTRO_INTEGER;
    r.i = *i16;
  } else if (auto* i32 = std::get_if<std::int32_t>(&value)) {
    r.type = VELTRO_LONG;
    r.i = *i32;
  } else if (auto* d = std::get_if<double>(&value)) {
    r.type = VELTRO_DOUBLE;
    r.d = *d;
  } else if (auto* b = std::get_if<bool>(&value)) {
    r.type = VELTRO_BOOLEAN;
    r.i = *b ? -1 : 0;
  } else if (auto* s = std::get_if<std::string>(&value)) {
    r.type = VELTRO_STRING;
    r.s = CopyText(*s);
  }
  veltro_value_clear(out);
  *out = r;
}

int Invoke(veltro_protocol* p, const char* name, veltro_value* args, std::size_t nargs,
           veltro_value* result, veltro::MemberKind kind) {
  if (!p || !p->protocol || !name || (nargs && !args)) {
    return Fail(VELTRO_E_INVALID_ARGUMENT, "a null handle or argument");
  }
  const veltro::Member* m = veltro::FindMember(name);
  if (!m || m->Kind() != kind) {
    return Fail(VELTRO_E_UNKNOWN_MEMBER,
                std::string("no ") +
                    (kind == veltro::MemberKind::kProperty ? "property" : "method") + " named " +
                    name);
  }
  return Guard([&] {
    std::vector<Variant> values;
    values.reserve(nargs);
    for (std::size_t i = 0; i < nargs; ++i) values.push_back(ToVariant(args[i]));
    Variant r = m->Get(*p->protocol, values);
    for (std::size_t i = 0; i < nargs; ++i) {
      if (m->Params()[i].rewritten) {
        FromVariant(values[i], m->Params()[i].type == veltro::ValueType::kBoolean, &args[i]);
      }
    }
    if (result) FromVariant(r, m->Type() == veltro::ValueType::kBoolean, result);
    return Ok();
  });
}

}  // namespace

extern "C" {

veltro_value veltro_int(int32_t v) {
  veltro_value r{};
  r.type = v >= -32768 && v <= 32767 ? VELTRO_INTEGER : VELTRO_LONG;
  r.i = v;
  return r;
}

veltro_value veltro_bool(int v) {
  veltro_value r{};
  r.type = VELTRO_BOOLEAN;
  r.i = v ? -1 : 0;
  return r;
}

veltro_value veltro_double(double v) {
  veltro_value r{};
  r.type = VELTRO_DOUBLE;
  r.d = v;
  return r;
}

veltro_value veltro_string(const char* v) {
  veltro_value r{};
  r.type = VELTRO_STRING;
  std::size_t n = v ? std::strlen(v) : 0;
  r.s = static_cast<char*>(std::malloc(n + 1));
  if (!r.s) return veltro_value{};
  if (n) std::memcpy(r.s, v, n);
  r.s[n] = '\0';
  return r;
}

void veltro_value_clear(veltro_value* v) {
  if (!v) return;
  if (v->type == VELTRO_STRING) std::free(v->s);
  *v = veltro_value{};
}

int veltro_connector_create(veltro_connector** out) {
  if (!out) return Fail(VELTRO_E_INVALID_ARGUMENT, "out is null");
  *out = nullptr;
  return Guard([&] {
    auto c = std::make_unique<veltro_connector>();
    c->connector = std::make_unique<veltro::FTDX10_Connector>();
    *out = c.release();
    ++g_live;
    return Ok();
  });
}

void veltro_connector_release(veltro_connector* c) {
  if (!c) return;
  delete c;
  --g_live;
}

int veltro_connector_protocol(veltro_connector* c, veltro_protocol** out) {
  if (!c || !out) return Fail(VELTRO_E_INVALID_ARGUMENT, "a null handle");
  *out = nullptr;
  return Guard([&] {
    auto p = c->connector->FTDX10_Protocol();
    if (!p) return Fail(VELTRO_E_NO_OBJECT, "the protocol object was dropped");
    *out = new veltro_protocol{std::move(p)};
    ++g_live;
    return Ok();
  });
}

void veltro_protocol_release(veltro_protocol* p) {
  if (!p) return;
  delete p;
  --g_live;
}

int veltro_get(veltro_protocol* p, const char* name, veltro_value* args, size_t nargs,
               veltro_value* result) {
  return Invoke(p, name, args, nargs, result, veltro::MemberKind::kProperty);
}

int veltro_call(veltro_protocol* p, const char* name, veltro_value* args, size_t nargs,
                veltro_value* result) {
  return Invoke(p, name, args, nargs, result, veltro::MemberKind::kMethod);
}

int veltro_let(veltro_protocol* p, const char* name, const veltro_value* value) {
  if (!p || !p->protocol || !name || !value) {
    return Fail(VELTRO_E_INVALID_ARGUMENT, "a null handle or argument");
  }
  const veltro::Member* m = veltro::FindMember(name);
  if (!m || m->Kind() != veltro::MemberKind::kProperty) {
    return Fail(VELTRO_E_UNKNOWN_MEMBER, std::string("no property named ") + name);
  }
  if (!m->Settable()) return Fail(VELTRO_E_READ_ONLY, std::string(name) + " is read-only");
  return Guard([&] {
    m->Let(*p->protocol, ToVariant(*value));
    return Ok();
  });
}

int veltro_member_count(void) { return static_cast<int>(veltro::Members().size()); }

const char* veltro_member_name(int i) {
  if (i < 0 || i >= veltro_member_count()) return nullptr;
  return veltro::Members()[static_cast<std::size_t>(i)].Name().c_str();
}

int veltro_member_kind(int i) {
  if (i < 0 || i >= veltro_member_count()) return -1;
  return veltro::Members()[static_cast<std::size_t>(i)].Kind() == veltro::MemberKind::kMethod;
}

int veltro_member_param_count(int i) {
  if (i < 0 || i >= veltro_member_count()) return -1;
  return static_cast<int>(veltro::Members()[static_cast<std::size_t>(i)].Params().size());
}

int veltro_subscribe(veltro_protocol* p, veltro_change_fn fn, void* user, uint64_t* id) {
  if (!p || !p->protocol || !fn) return Fail(VELTRO_E_INVALID_ARGUMENT, "a null handle");
  return Guard([&] {
    auto handler_id =
        p->protocol->AddChangeHandler([fn, user](std::int16_t& state) { fn(user, &state); });
    if (id) *id = handler_id;
    return Ok();
  });
}

int veltro_unsubscribe(veltro_protocol* p, uint64_t id) {
  if (!p || !p->protocol) return Fail(VELTRO_E_INVALID_ARGUMENT, "a null handle");
  if (!p->protocol->RemoveChangeHandler(id)) {
    return Fail(VELTRO_E_INVALID_ARGUMENT, "no handler with that id");
  }
  return Ok();
}

int veltro_event_fd(void) { return veltro::EventFd(); }
int veltro_dispatch_events(void) { return veltro::DispatchEvents(); }
void veltro_run_events(int ms) { veltro::RunEvents(ms); }
int veltro_next_timeout_ms(int max_ms) { return veltro::NextTimeoutMs(max_ms); }

const char* veltro_last_error(void) { return g_last_error.c_str(); }

int veltro_get_class_object(const char* class_name, veltro_class_factory** out) {
  if (!class_name || !out) return Fail(VELTRO_E_INVALID_ARGUMENT, "a null argument");
  *out = nullptr;
  if (std::strcmp(class_name, "FTDX10_Connector") != 0) {
    return Fail(VELTRO_E_UNKNOWN_CLASS, std::string(class_name) + " is not a creatable class");
  }
  *out = new veltro_class_factory{};
  ++g_live;
  return Ok();
}

int veltro_class_factory_create(veltro_class_factory* f, veltro_connector** out) {
  if (!f) return Fail(VELTRO_E_INVALID_ARGUMENT, "a null factory");
  return veltro_connector_create(out);
}

void veltro_class_factory_release(veltro_class_factory* f) {
  if (!f) return;
  delete f;
  --g_live;
}

int veltro_can_unload_now(void) {
  if (g_live.load() != 0) return 1;
  return veltro::detail::Library::Process().module().ConnectorCount == 0 ? 0 : 1;
}

}  // extern "C"
