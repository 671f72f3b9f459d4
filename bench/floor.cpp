#include "floor.h"

#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
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
