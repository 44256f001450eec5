// Small helpers of the platform tests: a temporary folder and whole-file access.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <ftw.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

class TempDir
{
public:
    TempDir()
    {
        char tmpl[] = "/tmp/neapwise-test-XXXXXX";
        const char* p = ::mkdtemp(tmpl);
        m_path = p ? p : "/tmp";
    }
    ~TempDir()
    {
        ::chmod(m_path.c_str(), 0755);
        ::nftw(m_path.c_str(), Remove, 16, FTW_DEPTH | FTW_PHYS);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    static int Remove(const char* path, const struct stat*, int, struct FTW*)
    {
        ::remove(path);
        return 0;
    }
    std::string m_path;
};

inline bool WriteBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

inline std::string ReadBytes(const std::string& path)
{
    std::string out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.append(buf, n);
    std::fclose(f);
    return out;
}

inline bool Exists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// Entries of a folder, for checks that no temporary file is left behind.
#include <dirent.h>
#include <vector>
inline std::vector<std::string> ListDir(const std::string& path)
{
    std::vector<std::string> names;
    if (DIR* d = ::opendir(path.c_str()))
    {
        while (struct dirent* e = ::readdir(d))
        {
            std::string n = e->d_name;
            if (n != "." && n != "..")
                names.push_back(n);
        }
        ::closedir(d);
    }
    return names;
}
