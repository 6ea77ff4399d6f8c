#include "device_nodes.hpp"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path kHidDevices = "/sys/bus/hid/devices";

std::string readText(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool isCharacterDevice(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode);
}

std::optional<DeviceNode> findNode(const std::string& uniq) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(kHidDevices, error)) {
        const std::string uevent = readText(entry.path() / "uevent");
        if (uevent.find("\nHID_UNIQ=" + uniq + "\n") == std::string::npos) {
            continue;
        }
        std::error_code inner;
        for (const auto& raw : fs::directory_iterator(entry.path() / "hidraw", inner)) {
            const std::string name = raw.path().filename().string();
            if (name.rfind("hidraw", 0) != 0) {
                continue;
            }
            DeviceNode node;
            node.sysfsName = entry.path().filename().string();
            node.hidrawNumber = std::stoi(name.substr(6));
            node.devicePath = "/dev/" + name;
            return node;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<DeviceNode> waitForNode(const std::string& uniq, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (auto node = findNode(uniq); node && isCharacterDevice(node->devicePath)) {
            return node;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(5ms);
    }
}

bool waitForRemoval(const DeviceNode& node, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        std::error_code error;
        if (!fs::exists(kHidDevices / node.sysfsName, error) &&
            !fs::exists(node.devicePath, error)) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
}

}  // namespace e2e
