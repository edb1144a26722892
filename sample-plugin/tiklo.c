/* Tiklo: the sample plug-in library. One user block with inputs at the top
   and at the bottom whose output is the four-quadrant arc tangent of the
   top input over the bottom input.

   Its message boxes go through a function the host program may export,
   vemo_plugin_message_box(text, caption, icon); a host without it (the
   batch program, the tests) gets the text on stderr. The library links
   nothing of the host. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <math.h>
#include <stdio.h>

#if defined(__GNUC__)
#define TIKLO_EXPORT __attribute__((visibility("default")))
#else
#define TIKLO_EXPORT
#endif

typedef void (*message_box_fn)(const char* text, const char* caption, int icon);

/* icon: 0 none, 1 error (stop). */
static void message_box(const char* text, const char* caption, int icon) {
  message_box_fn host = (message_box_fn)dlsym(RTLD_DEFAULT, "vemo_plugin_message_box");
  if (host) {
    host(text, caption, icon);
    return;
  }
  fprintf(stderr, "%s: %s\n", caption, text);
}

TIKLO_EXPORT double OnTick(double time, double dtime, double x_up, double x_right, double x_down,
                           double x_left) {
  (void)time;
  (void)dtime;
  (void)x_right;
  (void)x_left;
  return atan2(x_up, x_down);
}

TIKLO_EXPORT double GetTickStep(void) { return 1.0; }

TIKLO_EXPORT unsigned char OnCompile(unsigned char side_up, unsigned char side_right,
                                     unsigned char side_down, unsigned char side_left) {
  if (side_up == 1 && side_down == 1 && side_right != 1 && side_left != 1) return 1;
  message_box("Входы у блока только сверху и снизу!", "Ошибка", 1);
  return 0;
}

TIKLO_EXPORT void About(void) { message_box("Функция atan2!", "О DLL", 0); }
