/* The C interface, compiled as C: the member table by name without a port, then a session
 * against the simulator program over its pty. Prints each failed check and exits non-zero if
 * any failed. */
#define _POSIX_C_SOURCE 200809L
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "veltro/ftdx10_c.h"

static int failures = 0;

#define CHECK(cond)                                                                            \
  do {                                                                                         \
    if (!(cond)) {                                                                             \
      fprintf(stderr, "%s:%d: check failed: %s (last error: %s)\n", __FILE__, __LINE__, #cond, \
              veltro_last_error());                                                            \
      ++failures;                                                                              \
    }                                                                                          \
  } while (0)

static int changes = 0;
static void on_change(void* user, int16_t* state) {
  int* count = (int*)user;
  if (*state >= 1 && *state <= 4) ++*count;
}

static void without_port(veltro_protocol* p) {
  veltro_value r = {0}, idx = veltro_int(101);
  CHECK(veltro_get(p, "About", NULL, 0, &r) == VELTRO_OK);
  CHECK(r.type == VELTRO_STRING && strcmp(r.s, "FTDX-10 V1.1.0") == 0);
  /* The errors' numbers and texts come through. */
  CHECK(veltro_get(p, "Property", &idx, 1, &r) == 9);
  CHECK(strcmp(veltro_last_error(), "Subscript out of range") == 0);
  CHECK(veltro_get(p, "Property", NULL, 0, &r) == VELTRO_E_ARGUMENT_COUNT);
  CHECK(veltro_get(p, "NoSuchMember", NULL, 0, &r) == VELTRO_E_UNKNOWN_MEMBER);
  CHECK(veltro_call(p, "Freq", NULL, 0, &r) == VELTRO_E_UNKNOWN_MEMBER);

  veltro_value seven = veltro_int(7), bad = veltro_int(1);
  CHECK(veltro_let(p, "ChannelMin", &seven) == VELTRO_OK);
  CHECK(veltro_get(p, "ChannelMin", NULL, 0, &r) == VELTRO_OK);
  CHECK(r.type == VELTRO_INTEGER && r.i == 7);
  CHECK(veltro_let(p, "Freq", &seven) == VELTRO_E_READ_ONLY);
  /* Any non-zero number is true and reads back as -1; a tag outside the enumeration is refused. */
  CHECK(veltro_let(p, "CKBuffer", &seven) == VELTRO_OK);
  CHECK(veltro_get(p, "CKBuffer", NULL, 0, &r) == VELTRO_OK);
  CHECK(r.type == VELTRO_BOOLEAN && r.i == -1);
  bad.type = (veltro_type)99;
  CHECK(veltro_let(p, "CKBuffer", &bad) == 13);
  CHECK(strcmp(veltro_last_error(), "Type mismatch") == 0);

  /* A rewritten argument comes back in place. */
  veltro_value args[2] = {veltro_string("FA014250000;FB"), veltro_bool(0)};
  CHECK(veltro_call(p, "ReadBuffer", args, 2, NULL) == VELTRO_OK);
  CHECK(args[0].type == VELTRO_STRING && strcmp(args[0].s, "FB") == 0);
  veltro_value_clear(&args[0]);
  CHECK(veltro_get(p, "VFOA_Freq", NULL, 0, &r) == VELTRO_OK && r.d == 14.25);

  CHECK(veltro_member_count() > 100 && veltro_member_name(veltro_member_count()) == NULL);
}

/* SetPort with blank Address, Code and MSG; its boolean result, or 1 when the call failed. */
static int set_port(veltro_protocol* p, int open) {
  veltro_value args[4] = {veltro_int(open), veltro_string(""), veltro_string(""),
                          veltro_string("")};
  veltro_value r = {0};
  int rc = veltro_call(p, "SetPort", args, 4, &r);
  for (int i = 0; i < 4; ++i) veltro_value_clear(&args[i]);
  return rc == VELTRO_OK && r.type == VELTRO_BOOLEAN ? r.i : 1;
}

static void session(veltro_protocol* p) {
  /* The shell prints its pid and becomes the simulator, which prints its pty's path. */
  FILE* sim = popen("echo $$; exec " SIM_PROGRAM, "r");
  int pid = 0;
  char path[256];
  CHECK(sim && fscanf(sim, "%d %255s", &pid, path) == 2);
  if (pid <= 0) return;

  veltro_value v[2] = {veltro_string(path), veltro_string("38400")};
  CHECK(veltro_let(p, "PortDevice", &v[0]) == VELTRO_OK);
  CHECK(veltro_let(p, "PortSpeed", &v[1]) == VELTRO_OK);
  veltro_value_clear(&v[0]);
  veltro_value_clear(&v[1]);
  CHECK(set_port(p, 1) == -1);

  uint64_t id = 0;
  CHECK(veltro_subscribe(p, on_change, &changes, &id) == VELTRO_OK);
  veltro_value cat = veltro_int(1);
  veltro_value r = {0};
  CHECK(veltro_call(p, "SetCAT", &cat, 1, &r) == VELTRO_OK && r.i == -1);
  veltro_run_events(3000);
  CHECK(changes > 0);
  CHECK(veltro_get(p, "VFOA_Freq", NULL, 0, &r) == VELTRO_OK);
  CHECK(r.type == VELTRO_DOUBLE && r.d > 0.03);
  CHECK(veltro_unsubscribe(p, id) == VELTRO_OK);
  CHECK(veltro_unsubscribe(p, id) == VELTRO_E_INVALID_ARGUMENT);

  CHECK(set_port(p, 0) == -1);
  kill(pid, SIGTERM);
  pclose(sim);
}

int main(void) {
  veltro_class_factory* f = NULL;
  CHECK(veltro_can_unload_now() == 0);
  CHECK(veltro_get_class_object("FTDX10_Protocol", &f) == VELTRO_E_UNKNOWN_CLASS);
  CHECK(veltro_get_class_object("FTDX10_Connector", &f) == VELTRO_OK);
  CHECK(veltro_can_unload_now() == 1); /* the factory is alive */
  veltro_connector* c = NULL;
  CHECK(veltro_class_factory_create(f, &c) == VELTRO_OK);
  veltro_protocol* p = NULL;
  CHECK(veltro_connector_protocol(c, &p) == VELTRO_OK);
  without_port(p);
  session(p);
  veltro_protocol_release(p);
  veltro_connector_release(c);
  veltro_class_factory_release(f);
  /* The port was touched: the library keeps its own connector until it is unloaded. */
  CHECK(veltro_can_unload_now() == 1);
  if (failures) fprintf(stderr, "%d checks failed\n", failures);
  return failures ? 1 : 0;
}
