// A folder of its own for one test, removed with its files at the end, and
// the whole-file reads and writes that tests need.
#pragma once

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    // The full path of a file in the folder.
    std::string File(const std::string& name) const;

private:
    std::string m_path;
};

// The bytes of a file; "<missing>" when it cannot be opened.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// False while another handle holds the file without sharing.
bool CanOpenForReading(const std::string& path);
