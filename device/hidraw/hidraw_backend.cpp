#include "device/hidraw/hidraw_backend.h"

#include <fcntl.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

#include "device/hidraw/sysfs_fields.h"

namespace rxt {
namespace {

struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
    void operator()(udev_monitor* m) const { udev_monitor_unref(m); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

bool readFile(const std::string& file, std::vector<uint8_t>& out) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad() && !out.empty();
}

std::optional<uint32_t> hexSysattr(udev_device* device, const char* name) {
    if (device == nullptr) {
        return std::nullopt;
    }
    const char* value = udev_device_get_sysattr_value(device, name);
    return value != nullptr ? parseHexAttribute(value) : std::nullopt;
}

// Fills a node from its udev device; false when it lacks what a node needs.
bool describeNode(udev_device* device, HidNodeInfo& node, dev_t& number) {
    const char* devnode = udev_device_get_devnode(device);
    if (devnode == nullptr) {
        return false;
    }
    node.path = devnode;
    number = udev_device_get_devnum(device);

    // The parents belong to device and must not be unreferenced.
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(device, "hid", nullptr);
    if (hid != nullptr) {
        const char* id = udev_device_get_property_value(hid, "HID_ID");
        if (auto parsed = id != nullptr ? parseHidId(id) : std::nullopt) {
            node.vendor = parsed->vendor;
            node.product = parsed->product;
        }
        const char* syspath = udev_device_get_syspath(hid);
        if (syspath != nullptr) {
            readFile(std::string(syspath) + "/report_descriptor", node.descriptor);
        }
    }
    if (node.descriptor.empty()) {
        const int fd = ::open(devnode, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            readDescriptorFromNode(fd, node.descriptor);
            ::close(fd);
        }
    }
    udev_device* interface =
        udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_interface");
    node.interfaceNumber = hexSysattr(interface, "bInterfaceNumber").value_or(0);
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
    node.version = static_cast<uint16_t>(hexSysattr(usb, "bcdDevice").value_or(0));
    return true;
}

}  // namespace

bool readDescriptorFromNode(int fd, std::vector<uint8_t>& out) {
    int size = 0;
    if (::ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size <= 0 || size > HID_MAX_DESCRIPTOR_SIZE) {
        return false;
    }
    hidraw_report_descriptor descriptor{};
    descriptor.size = static_cast<uint32_t>(size);
    if (::ioctl(fd, HIDIOCGRDESC, &descriptor) < 0) {
        return false;
    }
    out.assign(descriptor.value, descriptor.value + descriptor.size);
    return true;
}

bool HidrawBackend::enumerate(std::vector<HidNodeInfo>& nodes) {
    nodes.clear();
    UdevPtr<udev> context(udev_new());
    if (!context) {
        return false;
    }
    UdevPtr<udev_enumerate> scan(udev_enumerate_new(context.get()));
    if (!scan || udev_enumerate_add_match_subsystem(scan.get(), "hidraw") < 0 ||
        udev_enumerate_scan_devices(scan.get()) < 0) {
        return false;
    }
    std::map<std::string, dev_t> numbers;
    udev_list_entry* entry;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(scan.get())) {
        const char* syspath = udev_list_entry_get_name(entry);
        UdevPtr<udev_device> device(udev_device_new_from_syspath(context.get(), syspath));
        if (!device) {
            continue;  // gone since the scan
        }
        HidNodeInfo node;
        dev_t number = 0;
        if (describeNode(device.get(), node, number)) {
            numbers[node.path] = number;
            nodes.push_back(std::move(node));
        }
    }
    std::lock_guard lock(mutex_);
    devices_ = std::move(numbers);
    return true;
}

int HidrawBackend::openNode(const std::string& path, bool read, bool write, bool) {
    int access = O_RDONLY;
    if (read && write) {
        access = O_RDWR;
    } else if (write) {
        access = O_WRONLY;
    }
    return ::open(path.c_str(), access | O_NONBLOCK | O_CLOEXEC);
}

bool HidrawBackend::present(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) {
        return false;
    }
    std::lock_guard lock(mutex_);
    auto it = devices_.find(path);
    return it == devices_.end() || it->second == st.st_rdev;
}

int HidrawBackend::openWatch() {
    UdevPtr<udev> context(udev_new());
    if (!context) {
        return -1;
    }
    UdevPtr<udev_monitor> monitor(udev_monitor_new_from_netlink(context.get(), "udev"));
    if (!monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor.get(), "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor.get()) < 0) {
        return -1;
    }
    // The socket keeps its filter and membership through the duplicate, so the
    // monitor object can go and the caller owns a plain descriptor.
    const int fd = ::fcntl(udev_monitor_get_fd(monitor.get()), F_DUPFD_CLOEXEC, 0);
    if (fd >= 0) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    return fd;
}

void HidrawBackend::drainWatch(int watchFd) {
    char buffer[8192];
    while (::recv(watchFd, buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
    }
}

}  // namespace rxt
