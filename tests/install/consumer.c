/* The C interface from a C program built with the installed pkg-config file: the library's
 * About text through the member table. */
#include <stdio.h>
#include <veltro/ftdx10_c.h>

int main(void) {
  veltro_connector* c = NULL;
  veltro_protocol* p = NULL;
  veltro_value about = {VELTRO_EMPTY, 0, 0.0, NULL};
  int ok = veltro_connector_create(&c) == VELTRO_OK &&
           veltro_connector_protocol(c, &p) == VELTRO_OK &&
           veltro_get(p, "About", NULL, 0, &about) == VELTRO_OK && about.s && about.s[0];
  printf("%s\n", ok ? about.s : veltro_last_error());
  veltro_value_clear(&about);
  if (p) veltro_protocol_release(p);
  if (c) veltro_connector_release(c);
  return ok ? 0 : 1;
}
