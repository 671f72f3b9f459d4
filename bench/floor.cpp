// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "floor.h"

#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#if TAVLO_URING
#include <liburing.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

namespace floorWork {

namespace {

int compareNames(const void *a, const void *b)
{
    return std::strcmp(*static_cast<char *const *>(a), *static_cast<char *const *>(b));
}

// The sorted names of the notes in the directory, each malloc'ed, as a
// malloc'ed array; *count is set to their number.
char **listNames(const char *directory, size_t *count)
{
    *count = 0;
    DIR *dir = opendir(directory);
    if (!dir)
        return nullptr;
    size_t capacity = 1024;
    char **names = static_cast<char **>(std::malloc(capacity * sizeof(char *)));
    while (const dirent *entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st;
            regular = fstatat(dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
        }
        if (!regular)
            continue;
        if (*count == capacity) {
            capacity *= 2;
            names = static_cast<char **>(std::realloc(names, capacity * sizeof(char *)));
        }
        names[(*count)++] = strdup(entry->d_name);
    }
    closedir(dir);
    std::qsort(names, *count, sizeof(char *), compareNames);
    return names;
}

void freeNames(char **names, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        std::free(names[i]);
    std::free(names);
}

} // namespace

long rebuild(const char *directory, bool statEach)
{
    size_t count = 0;
    char **names = listNames(directory, &count);
    const size_t directoryLength = std::strlen(directory);
    char path[4096];
    char block[4096];
    long readable = 0;
    std::memcpy(path, directory, directoryLength);
    for (size_t i = 0; i < count; ++i) {
        const size_t nameLength = std::strlen(names[i]);
        if (directoryLength + nameLength + 1 > sizeof path)
            continue;
        std::memcpy(path + directoryLength, names[i], nameLength + 1);
        const int fd = open(path, O_RDONLY);
        if (fd < 0)
            continue;
        struct stat st;
        if (statEach && fstat(fd, &st) != 0)
            st.st_mode = 0;
        if (read(fd, block, sizeof block) >= 0)
            ++readable;
        close(fd);
    }
    freeNames(names, count);
    return readable;
}

#if TAVLO_URING

namespace {

// Hands everything prepared to the kernel and takes in `count` completions,
// storing each result at results[user_data].
bool submitAndWait(struct io_uring *ring, unsigned count, int *results)
{
    if (io_uring_submit_and_wait(ring, count) < 0)
        return false;
    for (unsigned done = 0; done < count; ++done) {
        struct io_uring_cqe *cqe;
        if (io_uring_wait_cqe(ring, &cqe) < 0)
            return false;
        results[io_uring_cqe_get_data64(cqe)] = cqe->res;
        io_uring_cqe_seen(ring, cqe);
    }
    return true;
}

} // namespace

long rebuildMany(const char *directory, unsigned depth)
{
    struct io_uring ring;
    if (io_uring_queue_init(depth, &ring, 0) < 0)
        return -1;
    size_t count = 0;
    char **names = listNames(directory, &count);
    const size_t directoryLength = std::strlen(directory);
    char(*paths)[4096] = static_cast<char(*)[4096]>(std::malloc(depth * 4096));
    char(*blocks)[4096] = static_cast<char(*)[4096]>(std::malloc(depth * 4096));
    int *fds = static_cast<int *>(std::malloc(depth * sizeof(int)));
    int *got = static_cast<int *>(std::malloc(depth * sizeof(int)));
    long readable = 0;
    bool ok = true;
    for (size_t first = 0; ok && first < count; first += depth) {
        const unsigned n = unsigned(count - first < depth ? count - first : depth);
        for (unsigned k = 0; k < n; ++k) {
            const size_t nameLength = std::strlen(names[first + k]);
            std::memcpy(paths[k], directory, directoryLength);
            std::memcpy(paths[k] + directoryLength, names[first + k], nameLength + 1);
            struct io_uring_sqe *sqe = io_uring_get_sqe(&ring);
            io_uring_prep_openat(sqe, AT_FDCWD, paths[k], O_RDONLY, 0);
            io_uring_sqe_set_data64(sqe, k);
        }
        ok = submitAndWait(&ring, n, fds);
        unsigned reads = 0;
        for (unsigned k = 0; ok && k < n; ++k) {
            got[k] = -1;
            if (fds[k] < 0)
                continue;
            struct io_uring_sqe *sqe = io_uring_get_sqe(&ring);
            io_uring_prep_read(sqe, fds[k], blocks[k], 4096, 0);
            io_uring_sqe_set_data64(sqe, k);
            ++reads;
        }
        ok = ok && submitAndWait(&ring, reads, got);
        for (unsigned k = 0; ok && k < n; ++k) {
            if (fds[k] < 0)
                continue;
            readable += got[k] >= 0;
            struct io_uring_sqe *sqe = io_uring_get_sqe(&ring);
            io_uring_prep_close(sqe, fds[k]);
            io_uring_sqe_set_data64(sqe, k);
        }
        ok = ok && submitAndWait(&ring, reads, got);
    }
    std::free(got);
    std::free(fds);
    std::free(blocks);
    std::free(paths);
    freeNames(names, count);
    io_uring_queue_exit(&ring);
    return ok ? readable : -1;
}

#else

long rebuildMany(const char *, unsigned)
{
    return -1; // built without liburing
}

#endif

std::vector<Row> expectedRows(const char *directory)
{
    size_t count = 0;
    char **names = listNames(directory, &count);
    std::vector<Row> rows;
    for (size_t i = 0; i < count; ++i) {
        const std::string path = std::string(directory) + names[i];
        const int fd = open(path.c_str(), O_RDONLY);
        if (fd < 0)
            continue;
        std::string text;
        char block[65536];
        ssize_t got;
        while ((got = read(fd, block, sizeof block)) > 0)
            text.append(block, size_t(got));
        close(fd);
        if (got < 0)
            continue;

        std::string caption;
        if (text.empty()) {
            caption = "<empty file>";
        } else {
            if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
                text.erase(0, 3);
            std::string line = text.substr(0, text.find('\n'));
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            caption = line.empty() ? "<no caption>" : line;
        }
        rows.push_back({names[i], caption});
    }
    freeNames(names, count);
    return rows;
}

} // namespace floorWork
