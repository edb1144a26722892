/* A plug-in for the tests: exports every entry (or, built with
   PROBE_NO_TICK_STEP, lacks GetTickStep) and records what the host called
   in a log the tests read through ProbeLog. Loading it appends a line to
   the file named by VEMO_PROBE_MARK, as any library's code could. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define EXPORT __attribute__((visibility("default")))

static char log_text[4096];

static void note(const char* s) {
  size_t n = strlen(log_text);
  snprintf(log_text + n, sizeof log_text - n, "%s;", s);
}

__attribute__((constructor)) static void mark_loaded(void) {
  const char* path = getenv("VEMO_PROBE_MARK");
  FILE* f = path ? fopen(path, "a") : NULL;
  if (f) {
    fputs("loaded\n", f);
    fclose(f);
  }
}

EXPORT const char* ProbeLog(void) { return log_text; }
EXPORT void ProbeClear(void) { log_text[0] = 0; }

EXPORT void About(void) { note("About"); }
EXPORT void OnInit(void) { note("OnInit"); }
EXPORT void OnDone(void) { note("OnDone"); }
EXPORT void OnParam(void) { note("OnParam"); }
EXPORT unsigned char OnCompile(unsigned char u, unsigned char r, unsigned char d, unsigned char l) {
  char s[64];
  snprintf(s, sizeof s, "OnCompile(%d,%d,%d,%d)", u, r, d, l);
  note(s);
  return 1;
}
#ifndef PROBE_NO_TICK_STEP
EXPORT double GetTickStep(void) { return 0.004; }
#endif
EXPORT void OnRun(double dt) {
  char s[64];
  snprintf(s, sizeof s, "OnRun(%g)", dt);
  note(s);
}
EXPORT double OnTick(double t, double dt, double up, double right, double down, double left) {
  (void)t;
  (void)dt;
  return up * 1000 + right * 100 + down * 10 + left;
}
EXPORT void OnStop(void) { note("OnStop"); }
