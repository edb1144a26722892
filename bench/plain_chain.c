/* The chains of bench/chain_scheme.h as a user writes them in plain C:
 * parameters and states in arrays, the signal passed from block to block in
 * a variable, one line per step (the time and the end of the chain, in the
 * batch program's text form). The yardstick of the whole batch program:
 *   plain_chain aperiodic|mixed|limited BLOCKS STEP VIEWTIME
 * prints the same lines as `vemo-cli simulate` of the project that
 * chain_project writes with the same arguments. */
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* " d.ddddddddddddddE+dddd": sign or blank, 15 digits, a 4-digit exponent. */
static void real23(char *out, double v) {
  char buf[40];
  const char *e;
  int ex;
  if (v == 0) v = 0; /* no "-0" */
  snprintf(buf, sizeof buf, "%.14E", fabs(v));
  e = strchr(buf, 'E');
  ex = atoi(e + 2);
  out[0] = v < 0 ? '-' : ' ';
  memcpy(out + 1, buf, 16);
  snprintf(out + 17, 7, "E%c%04d", e[1], ex);
}

static void print_line(double t, double y) {
  char a[24], b[24];
  real23(a, t);
  real23(b, (float)y); /* the batch program keeps samples in single precision */
  printf("%s %s\n", a, b);
}

int main(int argc, char **argv) {
  int n, i, g;
  long k;
  double dt, view;
  if (argc != 5) {
    fprintf(stderr, "usage: plain_chain aperiodic|mixed|limited BLOCKS STEP VIEWTIME\n");
    return 2;
  }
  n = atoi(argv[2]);
  dt = atof(argv[3]);
  view = atof(argv[4]);
  if (n < 1 || !(dt > 0)) return 2;

  if (strcmp(argv[1], "aperiodic") == 0) {
    double *a = malloc(n * sizeof *a), *K = malloc(n * sizeof *K), *s = calloc(n, sizeof *s);
    for (i = 0; i < n; i++) {
      double T = n > 1 ? 0.5 + (double)i / (n - 1) : 0.5;
      a[i] = dt / T < 1 ? dt / T : 1;
      K[i] = 1.0;
    }
    for (k = 0; k * dt < view; k++) {
      double x = 1.0;
      for (i = 0; i < n; i++) {
        s[i] += (x - s[i]) * a[i];
        x = K[i] * s[i];
      }
      print_line(k * dt, x);
    }
    return 0;
  }

  if (strcmp(argv[1], "mixed") == 0 && n % 5 == 0) {
    /* saturation (1, -1), aperiodic (T 0.5, K 1), dead zone 0.01,
       pulse-amplitude element (period 0.1, duty ratio 1), relay (1, -1, 0) */
    const int groups = n / 5;
    const double hi = 1, lo = -1, T = 0.5, K = 1, d = 0.01, P = 0.1, Q = 1, y1 = 1, y2 = -1, thr = 0;
    const double a = dt / T < 1 ? dt / T : 1;
    double *s = calloc(groups, sizeof *s), *phase = malloc(groups * sizeof *phase),
           *held = calloc(groups, sizeof *held);
    for (g = 0; g < groups; g++) phase[g] = P;
    for (k = 0; k * dt < view; k++) {
      double x = 1.0;
      for (g = 0; g < groups; g++) {
        x = x > hi ? hi : x < lo ? lo : x;
        s[g] += (x - s[g]) * a;
        x = K * s[g];
        x = x > d ? x - d : x < -d ? x + d : 0;
        phase[g] += dt;
        if (phase[g] >= P / Q) held[g] = 0;
        if (phase[g] >= P) {
          held[g] = x;
          phase[g] -= P;
        }
        x = held[g];
        x = x < thr ? y2 : y1;
      }
      print_line(k * dt, x);
    }
    return 0;
  }
  if (strcmp(argv[1], "limited") == 0 && n % 4 == 0) {
    /* aperiodic (T 0.5, K 1), saturation (1, -1), dead zone 0.01, gain 1.5 */
    const int groups = n / 4;
    const double T = 0.5, K = 1, hi = 1, lo = -1, d = 0.01, G = 1.5;
    const double a = dt / T < 1 ? dt / T : 1;
    double *s = calloc(groups, sizeof *s);
    for (k = 0; k * dt < view; k++) {
      double x = 1.0;
      for (g = 0; g < groups; g++) {
        s[g] += (x - s[g]) * a;
        x = K * s[g];
        x = x > hi ? hi : x < lo ? lo : x;
        x = x > d ? x - d : x < -d ? x + d : 0;
        x = G * x;
      }
      print_line(k * dt, x);
    }
    return 0;
  }
  fprintf(stderr, "plain_chain: unknown chain, or a mixed (limited) chain not of whole groups of 5 (4)\n");
  return 2;
}
