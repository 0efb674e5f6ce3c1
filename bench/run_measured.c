/* Runs a command in a folder and prints "cpu_ms wall_ms maxrss_kib" from the kernel's own
 * accounting of that one child. A small C launcher keeps its own memory out of the figure
 * (the child's peak before exec counts too). Usage: run_measured FOLDER PROGRAM [ARG...]  */
#include <fcntl.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  struct timespec start, end;
  clock_gettime(CLOCK_MONOTONIC, &start);
  pid_t child = fork();
  if (child == 0) {
    if (chdir(argv[1]) != 0) _exit(126);
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    execv(argv[2], argv + 2);
    _exit(127);
  }
  int status;
  struct rusage usage;
  wait4(child, &status, 0, &usage);
  clock_gettime(CLOCK_MONOTONIC, &end);
  double cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
               (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
  double wall = (end.tv_sec - start.tv_sec) * 1e3 + (end.tv_nsec - start.tv_nsec) / 1e6;
  printf("%.3f %.3f %ld\n", cpu, wall, usage.ru_maxrss);
  return 0;
}
