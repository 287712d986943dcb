/* The C interface of Veltro_FTDX10, for hosts in other languages. It reaches every member of the
 * protocol object by name through the library's member table, with typed values; no C++
 * exception ever crosses it. Every call runs on the host's thread, like the C++ interface.
 *
 *   veltro_connector* c; veltro_protocol* p;
 *   veltro_connector_create(&c);
 *   veltro_connector_protocol(c, &p);
 *   veltro_value speed = veltro_string("38400");
 *   veltro_let(p, "PortSpeed", &speed);
 *   veltro_value_clear(&speed);
 *   ...
 *   veltro_protocol_release(p);
 *   veltro_connector_release(c);
 *
 * Results: VELTRO_OK (0), an automation error number (6 overflow, 9 subscript out of range,
 * 13 type mismatch), or one of the negative VELTRO_E_ codes. veltro_last_error() gives the text.
 */
#ifndef VELTRO_FTDX10_C_H
#define VELTRO_FTDX10_C_H

#include <stddef.h>
#include <stdint.h>

#if defined(VELTRO_BUILDING) || defined(VELTRO_STATIC)
#define VELTRO_C_API __attribute__((visibility("default")))
#else
#define VELTRO_C_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define VELTRO_OK 0
#define VELTRO_E_INVALID_ARGUMENT (-1) /* a null pointer or a bad handle */
#define VELTRO_E_UNKNOWN_MEMBER (-2)   /* no member of that name (or of that kind) */
#define VELTRO_E_ARGUMENT_COUNT (-3)   /* too many or too few arguments */
#define VELTRO_E_READ_ONLY (-4)        /* a let of a property without one */
#define VELTRO_E_NO_OBJECT (-5)        /* the connector's protocol object was dropped */
#define VELTRO_E_UNKNOWN_CLASS (-6)    /* veltro_get_class_object: not a creatable class */
#define VELTRO_E_FAILED (-7)           /* anything else; see veltro_last_error() */

typedef struct veltro_connector veltro_connector;
typedef struct veltro_protocol veltro_protocol;
typedef struct veltro_class_factory veltro_class_factory;

/* A typed value. Booleans are -1 (true) or 0 in `i` (any non-zero `i` passed in is true);
 * Single results arrive as DOUBLE. A STRING value owns `s` (allocated by the library): release
 * it with veltro_value_clear. A type outside this list fails the call with 13, nothing sent. */
typedef enum veltro_type {
  VELTRO_EMPTY = 0,
  VELTRO_BOOLEAN = 1,
  VELTRO_INTEGER = 2, /* 16-bit */
  VELTRO_LONG = 3,    /* 32-bit */
  VELTRO_DOUBLE = 4,
  VELTRO_STRING = 5
} veltro_type;

typedef struct veltro_value {
  veltro_type type;
  int32_t i;
  double d;
  char* s;
} veltro_value;

VELTRO_C_API veltro_value veltro_int(int32_t v); /* INTEGER when it fits 16 bits, else LONG */
VELTRO_C_API veltro_value veltro_bool(int v);    /* any non-zero is true (-1) */
VELTRO_C_API veltro_value veltro_double(double v);
VELTRO_C_API veltro_value veltro_string(const char* v); /* copies; NULL gives "" */
/* Frees a STRING's text and leaves the value EMPTY. Safe on any value and twice. */
VELTRO_C_API void veltro_value_clear(veltro_value* v);

/* Connectors and the shared protocol object. Each handle is released once. */
VELTRO_C_API int veltro_connector_create(veltro_connector** out);
VELTRO_C_API void veltro_connector_release(veltro_connector* c);
/* A new handle on the one shared protocol object; VELTRO_E_NO_OBJECT once it was dropped. */
VELTRO_C_API int veltro_connector_protocol(veltro_connector* c, veltro_protocol** out);
VELTRO_C_API void veltro_protocol_release(veltro_protocol* p);

/* Members by name. `args` holds one value per parameter (a property's indices, a method's
 * arguments); rewritten arguments come back changed in place (their old STRING text is freed).
 * `result` receives the value (EMPTY for none); it may be NULL when not wanted. */
VELTRO_C_API int veltro_get(veltro_protocol* p, const char* name, veltro_value* args, size_t nargs,
                            veltro_value* result);
VELTRO_C_API int veltro_let(veltro_protocol* p, const char* name, const veltro_value* value);
VELTRO_C_API int veltro_call(veltro_protocol* p, const char* name, veltro_value* args, size_t nargs,
                             veltro_value* result);

/* The member table: count, and the name, kind (0 property, 1 method) and parameter count of
 * member i; NULL / -1 for an index outside the table. */
VELTRO_C_API int veltro_member_count(void);
VELTRO_C_API const char* veltro_member_name(int i);
VELTRO_C_API int veltro_member_kind(int i);
VELTRO_C_API int veltro_member_param_count(int i);

/* The Change event: `fn(user, &state)` runs synchronously while answers are parsed (state 1
 * split or mode, 3 S-meter, 4 level or function); it may call back into the library. */
typedef void (*veltro_change_fn)(void* user, int16_t* state);
VELTRO_C_API int veltro_subscribe(veltro_protocol* p, veltro_change_fn fn, void* user,
                                  uint64_t* id);
VELTRO_C_API int veltro_unsubscribe(veltro_protocol* p, uint64_t id);

/* The host's event loop: see veltro/events.h. */
VELTRO_C_API int veltro_event_fd(void);
VELTRO_C_API int veltro_dispatch_events(void);
VELTRO_C_API void veltro_run_events(int ms);
VELTRO_C_API int veltro_next_timeout_ms(int max_ms);

/* Text of the last failure on this thread ("" after a success). */
VELTRO_C_API const char* veltro_last_error(void);

/* Class factory and unloading. veltro_get_class_object("FTDX10_Connector", &f) gives a factory
 * whose create makes connectors; FTDX10_Protocol is not creatable. veltro_can_unload_now is 0
 * when nothing the library handed out is alive and it holds no object of its own, else 1. */
VELTRO_C_API int veltro_get_class_object(const char* class_name, veltro_class_factory** out);
VELTRO_C_API int veltro_class_factory_create(veltro_class_factory* f, veltro_connector** out);
VELTRO_C_API void veltro_class_factory_release(veltro_class_factory* f);
VELTRO_C_API int veltro_can_unload_now(void);

#ifdef __cplusplus
}
#endif

#endif /* VELTRO_FTDX10_C_H */
