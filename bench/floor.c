/* The floor: the least a polling wait for a file can cost, to measure
 * Hollowbrook against. Usage: floor FILE PAUSE_MS */
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        fputs("usage: floor FILE PAUSE_MS\n", stdout);
        return 0;
    }
    long milliseconds = atol(argv[2]);
    struct timespec pause = {milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    struct stat attributes;
    while (lstat(argv[1], &attributes) != 0) {
        nanosleep(&pause, NULL);
    }
    return 0;
}
