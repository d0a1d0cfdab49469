/* The least an inspector of item files can do: open each file, read its 400 bytes, close it. Used as
 * the yardstick for `relicwright-cli info` over the same files.
 *
 * With --same-calls as the first argument it also makes the calls that info cannot leave out: the
 * reader's fstat (which also gives the size) and its exclusive lock. That tells the cost of those
 * calls apart from the cost of our own code. */
#define _DEFAULT_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv) {
    int failed = 0;
    unsigned checksum = 0;
    int first = 1;
    const int sameCalls = argc > 1 && strcmp(argv[1], "--same-calls") == 0;
    if (sameCalls) {
        first = 2;
    }
    for (int i = first; i < argc; ++i) {
        unsigned char bytes[400];
        struct stat info;
        const int fd = open(argv[i], O_RDONLY | O_CLOEXEC);
        if (sameCalls && fd >= 0 && (fstat(fd, &info) != 0 || flock(fd, LOCK_EX | LOCK_NB) != 0)) {
            perror(argv[i]);
            failed = 1;
        } else if (fd < 0 || read(fd, bytes, sizeof bytes) != (ssize_t)sizeof bytes) {
            perror(argv[i]);
            failed = 1;
        } else {
            checksum += bytes[392];
        }
        if (fd >= 0) {
            close(fd);
        }
    }
    /* Something that depends on what was read, so nothing can be left out. */
    printf("%u\n", checksum);
    return failed;
}
