/* The least a converter of item files can do: per file, open, lock, read and close the source, then
 * write the new bytes to a fresh temporary file, flush it to disk and rename it into place. Used
 * as the yardstick for `relicwright-cli convert` over the same files.
 *
 * With --same-calls as the first argument it also makes the checks our writer makes before it
 * writes: the reader's fstat, the look at an existing output (lstat twice, stat, open) that keeps
 * a file without --force and never writes through a FIFO. */
#define _DEFAULT_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

static const char hellfireHeader[28] = "HELLFIRE ITEM FILE";

int main(int argc, char** argv) {
    int failed = 0;
    const int sameCalls = argc > 1 && strcmp(argv[1], "--same-calls") == 0;
    for (int i = sameCalls ? 2 : 1; i < argc; ++i) {
        const char* path = argv[i];
        unsigned char source[400] = {0};
        struct stat info;
        int fd = open(path, O_RDONLY | O_CLOEXEC);
        if (fd >= 0 && sameCalls && fstat(fd, &info) != 0) {
            perror(path);
        }
        if (fd < 0 || flock(fd, LOCK_EX | LOCK_NB) != 0 || read(fd, source, sizeof source) < 0) {
            perror(path);
            failed = 1;
            if (fd >= 0) {
                close(fd);
            }
            continue;
        }
        close(fd);

        /* .itm record behind the .hif header; the code byte moves with the record. */
        unsigned char output[400] = {0};
        memcpy(output, hellfireHeader, sizeof hellfireHeader);
        memcpy(output + 28, source + 32, 368);

        char target[4096];
        char temporary[4096];
        const char* dot = strrchr(path, '.');
        const int titleLength = dot ? (int)(dot - path) : (int)strlen(path);
        snprintf(target, sizeof target, "%.*s.hif", titleLength, path);
        snprintf(temporary, sizeof temporary, "%.*s.tmp", titleLength, path);
        if (sameCalls) {
            const int existing = lstat(target, &info) + lstat(target, &info) + stat(target, &info);
            const int existingFd = open(target, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (existing != -3 || existingFd >= 0) {
                fprintf(stderr, "%s: already exists\n", target);
                failed = 1;
                continue;
            }
        }
        fd = open(temporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 || write(fd, output, sizeof output) != (ssize_t)sizeof output || fsync(fd) != 0 ||
            close(fd) != 0 || rename(temporary, target) != 0) {
            perror(target);
            failed = 1;
        }
    }
    return failed;
}
