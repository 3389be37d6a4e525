#pragma once
// What the Linux backend reads of the machine (sysfs, mountinfo, links in
// /dev), through one object, so tests can point it at a fake tree and count
// what an enumeration reads.

#include <optional>
#include <string>
#include <vector>

class MachineReader {
public:
    // Paths are absolute as on the running machine ("/sys/dev/block",
    // "/proc/self/mountinfo", "/dev/mapper/x"); `sysRoot`, `mountInfo` and
    // `devRoot` say where the three trees really are.
    MachineReader(std::string sysRoot = "/sys", std::string mountInfo = "/proc/self/mountinfo",
                  std::string devRoot = "/dev");
    virtual ~MachineReader() = default;

    // A small text file; nothing when it cannot be read.
    virtual std::optional<std::string> readFile(const std::string& path) const;
    // The names in a folder, "." and ".." left out; empty when it cannot be read.
    virtual std::vector<std::string> listFolder(const std::string& path) const;
    // The target of a symbolic link; nothing when the path is no link.
    virtual std::optional<std::string> readLink(const std::string& path) const;
    // The mountinfo text of this process.
    virtual std::optional<std::string> readMountInfo() const;

    const std::string& devRoot() const { return devRoot_; }

private:
    std::string real(const std::string& path) const;

    std::string sysRoot_;
    std::string mountInfo_;
    std::string devRoot_;
};

// `target` taken from `folder` as a link's target is: a relative target
// starts there and ".." goes up one; folded without asking the file system.
std::string joinLexically(const std::string& folder, const std::string& target);
