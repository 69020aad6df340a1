#pragma once
// One HID interface (a top-level collection of a node), opened or not, with
// bounded reads and writes that close() from another thread cuts short.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/hid_backend.h"
#include "device/hid_descriptor.h"

namespace rxt {

// One enumeration entry: a top-level collection of a node. Where the node's
// descriptor holds several collections, path is the node path followed by
// "&col" and the two-digit collection number (from 01).
struct HidPathEntry {
    std::string path;
    std::string nodePath;
    size_t collectionIndex = 0;  // 0-based index into the node's collections
    uint16_t vendor = 0;
    uint16_t product = 0;
    uint16_t version = 0;
    uint32_t interfaceNumber = 0;
    uint32_t collectionNumber = 0;  // as read back from the path
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint16_t inputLength = 0;
    uint16_t outputLength = 0;
    uint16_t featureLength = 0;
    std::vector<uint8_t> descriptor;  // the node's whole report descriptor
    bool describable = true;          // false when the descriptor could not be parsed
};

class HidPathList {
  public:
    // The entry at the cursor, advancing it; null when empty or exhausted.
    const HidPathEntry* next();
    void reset() { cursor_ = 0; }
    void clear();
    size_t count() const { return entries_.size(); }
    const std::vector<HidPathEntry>& entries() const { return entries_; }
    std::vector<HidPathEntry>& entries() { return entries_; }
    const HidPathEntry* find(std::string_view path) const;

  private:
    std::vector<HidPathEntry> entries_;
    size_t cursor_ = 0;
};

struct HidCaps {
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint16_t inputLength = 0;
    uint16_t outputLength = 0;
    uint16_t featureLength = 0;
};

struct HidAttributes {
    uint16_t vendor = 0;
    uint16_t product = 0;
    uint16_t version = 0;
};

class HidDevice {
  public:
    // A null backend means defaultHidBackend(), resolved at each enumerate/open.
    explicit HidDevice(std::shared_ptr<HidBackend> backend = nullptr);
    ~HidDevice();
    HidDevice(const HidDevice&) = delete;
    HidDevice& operator=(const HidDevice&) = delete;

    // Fills the path list with every present entry, cursor at 0. True on
    // success (an empty bus included); on failure the list is empty.
    bool enumerate();
    // The path at the cursor, advancing it; null when none is left.
    const HidPathEntry* nextPath() { return paths_.next(); }
    void freePathList() { paths_.clear(); }
    HidPathList& pathList() { return paths_; }

    // Opens an entry by path (first closing any open one). True when open and
    // described; on failure no handle is kept, flags and path stay recorded.
    bool open(std::string_view path, bool read, bool write, bool overlapped, bool exclusive);
    // Why the last open failed: an errno value (EACCES when the node may not
    // be opened, ENOENT when the path is not present ...) and a short text.
    // 0 and "" after a successful open.
    int lastError() const;
    std::string lastErrorText() const;

    // Presence probe of an entry without opening it for transfers: its node
    // still exists and is the same device. An entry of a multi-collection
    // node is resolved to its node.
    bool present(std::string_view path);
    // Releases a waiting transfer, then closes the handle. Safe from another thread.
    void close();
    bool isOpen() const;

    // One report each, waiting at most timeoutMs. False on time-out, cancel
    // or failure, with *outCount = 0; the handle stays open.
    bool read(size_t length, uint8_t* buffer, int timeoutMs, size_t* outCount = nullptr);
    bool write(size_t length, const uint8_t* buffer, int timeoutMs, size_t* outCount = nullptr);
    // A reader that skips other collections' reports rests this long after
    // reading all that is queued (0, the default: it never rests). Kept
    // across opens.
    void setForeignReportPause(int ms);

    // Decodes a report of this interface into items (see unpackReport).
    bool unpackReport(std::vector<HidDataItem>& items, HidReportType type, const uint8_t* report,
                      size_t length) const;

    const std::string& devicePath() const { return devicePath_; }
    const HidCaps& caps() const { return caps_; }
    const HidAttributes& attributes() const { return attributes_; }
    uint32_t interfaceNumber() const { return interfaceNumber_; }
    uint32_t collectionNumber() const { return collectionNumber_; }
    const HidCollectionInfo& collection() const { return collection_; }
    std::vector<HidDataItem>& items(HidReportType type) {
        return items_[static_cast<size_t>(type)];
    }
    std::vector<uint8_t>& reportBuffer(HidReportType type) {
        return buffers_[static_cast<size_t>(type)];
    }
    bool openForReading() const { return openRead_; }
    bool openForWriting() const { return openWrite_; }
    bool overlapped() const { return overlapped_; }
    bool exclusive() const { return exclusive_; }
    const std::shared_ptr<HidBackend>& backend() const { return backend_; }

  private:
    std::shared_ptr<HidBackend> backendNow();
    bool transfer(bool isRead, size_t length, uint8_t* buffer, int timeoutMs, size_t* outCount);
    void closeLocked(std::unique_lock<std::mutex>& lock);
    bool openLocked(std::string_view path, bool read, bool write);
    void setError(int error, std::string text);

    std::shared_ptr<HidBackend> backend_;
    HidPathList paths_;
    bool openRead_ = false;
    bool openWrite_ = false;
    bool overlapped_ = false;
    bool exclusive_ = false;
    std::string devicePath_;
    std::string nodePath_;  // the node behind devicePath_ while open
    HidCaps caps_;
    HidAttributes attributes_;
    HidCollectionInfo collection_;
    std::vector<HidDataItem> items_[3];
    std::vector<uint8_t> buffers_[3];
    uint32_t interfaceNumber_ = 0;
    uint32_t collectionNumber_ = 0;

    // fd_ is only closed once no transfer uses it: close() signals cancelFd_
    // and waits for busy_ to drop to 0.
    mutable std::mutex mutex_;
    std::condition_variable idle_;
    int fd_ = -1;
    int cancelFd_ = -1;  // eventfd, one signal releases one waiter
    int busy_ = 0;
    bool closing_ = false;      // new transfers refuse while close waits
    bool isSocket_ = false;     // send() with MSG_NOSIGNAL instead of write()
    bool filterInput_ = false;  // the node has other collections whose reports we skip
    int foreignPauseMs_ = 0;
    int socketTimeoutMs_ = -2;  // SO_RCVTIMEO as last set; -2 unknown
    int lastError_ = 0;
    std::string lastErrorText_;
    std::atomic<bool> readInProgress_{false};
    std::atomic<bool> writeInProgress_{false};
};

}  // namespace rxt
