#pragma once
// A small Linux machine on disk for the Linux backend's tests: a sysfs tree
// laid out as the kernel lays it out (/sys/devices with the device folders,
// /sys/dev/block with relative links to them), a mountinfo file and a /dev
// folder for links. A reader that counts what it reads comes with it.

#include "disk/linux/MachineReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

class CountingReader : public MachineReader {
public:
    using MachineReader::MachineReader;

    std::optional<std::string> readFile(const std::string& path) const override
    {
        ++reads[path];
        return MachineReader::readFile(path);
    }
    std::vector<std::string> listFolder(const std::string& path) const override
    {
        ++reads[path];
        return MachineReader::listFolder(path);
    }
    std::optional<std::string> readLink(const std::string& path) const override
    {
        ++reads[path];
        return MachineReader::readLink(path);
    }
    std::optional<std::string> readMountInfo() const override
    {
        ++reads["mountinfo"];
        return MachineReader::readMountInfo();
    }

    // Path (or "mountinfo") -> times read.
    mutable std::map<std::string, int> reads;
};

class FakeMachine : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = std::filesystem::path(testing::TempDir()) /
               ("fake-machine-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "sys/dev/block");
        std::filesystem::create_directories(root / "dev");
    }
    void TearDown() override { std::filesystem::remove_all(root); }

    // A block device at `path` below /sys/devices ("pci0/ata1/.../block/sda").
    void device(const std::string& path, const std::string& majMin)
    {
        std::filesystem::create_directories(root / "sys/devices" / path);
        std::filesystem::create_symlink("../../devices/" + path, root / "sys/dev/block" / majMin);
    }
    void partition(const std::string& diskPath, const std::string& name, const std::string& majMin, int number)
    {
        device(diskPath + "/" + name, majMin);
        attribute(diskPath + "/" + name, "partition", std::to_string(number));
    }
    // A dm device over `slaves` (names of devices).
    void mapper(const std::string& name, const std::string& majMin, const std::string& mapperName,
                std::initializer_list<std::string> slaves)
    {
        const std::string path = "virtual/block/" + name;
        device(path, majMin);
        std::filesystem::create_directories(root / "sys/devices" / path / "slaves");
        for (const auto& slave : slaves)
            write(root / "sys/devices" / path / "slaves" / slave, "");
        attribute(path, "dm/name", mapperName);
    }
    void attribute(const std::string& devicePath, const std::string& name, const std::string& value)
    {
        std::filesystem::create_directories((root / "sys/devices" / devicePath / name).parent_path());
        write(root / "sys/devices" / devicePath / name, value + "\n");
    }
    void btrfs(const std::string& uuid, std::initializer_list<std::string> members)
    {
        std::filesystem::create_directories(root / "sys/fs/btrfs" / uuid / "devices");
        for (const auto& member : members)
            write(root / "sys/fs/btrfs" / uuid / "devices" / member, "");
    }
    // A link below /dev: devLink("disk/by-uuid/x", "../../sdb2").
    void devLink(const std::string& path, const std::string& target)
    {
        std::filesystem::create_directories((root / "dev" / path).parent_path());
        std::filesystem::create_symlink(target, root / "dev" / path);
    }
    void mountinfo(const std::string& text) { write(root / "mountinfo", text); }

    std::unique_ptr<CountingReader> reader() const
    {
        return std::make_unique<CountingReader>((root / "sys").string(), (root / "mountinfo").string(),
                                                (root / "dev").string());
    }

    static void write(const std::filesystem::path& file, const std::string& text) { std::ofstream(file) << text; }

    std::filesystem::path root;
};

// Device folders of a SATA, a USB and an NVMe disk.
inline const std::string kSata = "pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0/block/sda";
inline const std::string kSataB = "pci0000:00/0000:00:1f.2/ata2/host1/target1:0:0/1:0:0:0/block/sdb";
inline const std::string kUsb = "pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0/block/sdc";
inline const std::string kNvme = "pci0000:00/0000:00:04.0/nvme/nvme0/nvme0n1";
