/* The least a converter of item files can do when it groups its flushes, with the durability of
 * `relicwright-cli convert`: each output is written to a temporary file, flushed, renamed into place,
 * and its directory flushed before the run counts as done.
 *
 *   baseline_convert_grouped [--threads N] FILE...   N threads (default 16), each converting
 *       whole files: per file open, lock, read, close; temporary file, write, fsync, close, rename,
 *       fsync of the directory. The file system lets the waiting flushes share journal commits.
 *   baseline_convert_grouped --syncfs N FILE...      windows of N files: write every temporary
 *       file, flush the whole file system once (syncfs), rename all, fsync the directory once. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <pthread.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <unistd.h>

static const char hellfireHeader[28] = "HELLFIRE ITEM FILE";
static char** files;
static int fileCount;
static atomic_int nextFile;
static atomic_int failed;

/* Reads the source and writes the .hif image to "<title>.tmp"; returns its descriptor or -1. */
static int writeTemporary(const char* path, char* target, char* temporary) {
    unsigned char source[400] = {0};
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0 || flock(fd, LOCK_EX | LOCK_NB) != 0 || read(fd, source, sizeof source) < 0) {
        perror(path);
        if (fd >= 0) {
            close(fd);
        }
        return -1;
    }
    close(fd);
    unsigned char output[400] = {0};
    memcpy(output, hellfireHeader, sizeof hellfireHeader);
    memcpy(output + 28, source + 32, 368);
    const char* dot = strrchr(path, '.');
    const int titleLength = dot ? (int)(dot - path) : (int)strlen(path);
    snprintf(target, 4096, "%.*s.hif", titleLength, path);
    snprintf(temporary, 4096, "%.*s.tmp", titleLength, path);
    fd = open(temporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 || write(fd, output, sizeof output) != (ssize_t)sizeof output) {
        perror(temporary);
        if (fd >= 0) {
            close(fd);
        }
        return -1;
    }
    return fd;
}

static int flushDirectory(void) {
    const int fd = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int result = fd < 0 || fsync(fd) != 0 ? -1 : 0;
    if (fd >= 0) {
        close(fd);
    }
    return result;
}

static void* worker(void* unused) {
    (void)unused;
    char target[4096];
    char temporary[4096];
    for (int i; (i = atomic_fetch_add(&nextFile, 1)) < fileCount;) {
        const int fd = writeTemporary(files[i], target, temporary);
        if (fd < 0 || fsync(fd) != 0 || close(fd) != 0 || rename(temporary, target) != 0 || flushDirectory() != 0) {
            perror(target);
            atomic_store(&failed, 1);
        }
    }
    return NULL;
}

static void inWindows(int window) {
    char (*targets)[4096] = malloc(sizeof(char[4096]) * (size_t)window);
    char (*temporaries)[4096] = malloc(sizeof(char[4096]) * (size_t)window);
    int* written = malloc(sizeof(int) * (size_t)window);
    const int directory = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int start = 0; start < fileCount; start += window) {
        const int end = start + window < fileCount ? start + window : fileCount;
        for (int i = start; i < end; ++i) {
            const int fd = writeTemporary(files[i], targets[i - start], temporaries[i - start]);
            written[i - start] = fd >= 0 && close(fd) == 0;
        }
        if (syncfs(directory) != 0) {
            perror("syncfs");
            atomic_store(&failed, 1);
        }
        for (int i = 0; i < end - start; ++i) {
            if (written[i] && rename(temporaries[i], targets[i]) != 0) {
                perror(targets[i]);
                atomic_store(&failed, 1);
            }
        }
        if (flushDirectory() != 0) {
            atomic_store(&failed, 1);
        }
    }
    close(directory);
    free(written);
    free(targets);
    free(temporaries);
}

int main(int argc, char** argv) {
    int first = 1;
    int threads = 16;
    int window = 0;
    if (argc > 2 && strcmp(argv[1], "--threads") == 0) {
        threads = atoi(argv[2]);
        first = 3;
    } else if (argc > 2 && strcmp(argv[1], "--syncfs") == 0) {
        window = atoi(argv[2]);
        first = 3;
    }
    files = argv + first;
    fileCount = argc - first;
    if (window > 0) {
        inWindows(window);
        return atomic_load(&failed);
    }
    pthread_t pool[256];
    threads = threads < 1 ? 1 : threads > 256 ? 256 : threads;
    for (int t = 0; t < threads; ++t) {
        pthread_create(&pool[t], NULL, worker, NULL);
    }
    for (int t = 0; t < threads; ++t) {
        pthread_join(pool[t], NULL);
    }
    return atomic_load(&failed);
}
