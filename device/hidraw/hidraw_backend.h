#pragma once
// Real devices: hidraw nodes found through libudev.

#include <sys/types.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "device/hid_backend.h"

namespace rxt {

class HidrawBackend : public HidBackend {
  public:
    bool enumerate(std::vector<HidNodeInfo>& nodes) override;
    // hidraw has no sharing modes, so exclusive is not enforced.
    int openNode(const std::string& path, bool read, bool write, bool exclusive) override;
    // The node exists and is the same character device seen at enumeration.
    bool present(const std::string& path) override;
    // A udev monitor on "hidraw" add and remove events.
    int openWatch() override;
    void drainWatch(int watchFd) override;
    std::string describe() const override { return "hidraw"; }

  private:
    std::mutex mutex_;
    std::map<std::string, dev_t> devices_;  // node path -> device number at enumeration
};

// The report descriptor of an open hidraw node (HIDIOCGRDESC); false when the
// node refuses the request.
bool readDescriptorFromNode(int fd, std::vector<uint8_t>& out);

}  // namespace rxt
