#pragma once
// The background skin change, passed to every window that shows the
// background: one process-wide observer calls its receivers in the order
// they registered.

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>

namespace rxt::shell {

struct SkinChangedParam {
    bool useColor = false;  // true: the colour; false: the image
    uint32_t color = 0;     // ARGB
    std::string image;      // skin-relative path or full file path

    bool operator==(const SkinChangedParam&) const = default;
};

class SkinChangeObserver;

class SkinChangeReceiver {
  public:
    SkinChangeReceiver() = default;
    // Leaves every observer it is registered with.
    virtual ~SkinChangeReceiver();
    SkinChangeReceiver(const SkinChangeReceiver&) = delete;
    SkinChangeReceiver& operator=(const SkinChangeReceiver&) = delete;

    virtual void receive(SkinChangedParam param) = 0;

  private:
    friend class SkinChangeObserver;
    std::set<SkinChangeObserver*> observers_;
};

class SkinChangeObserver {
  public:
    SkinChangeObserver() = default;
    ~SkinChangeObserver();
    SkinChangeObserver(const SkinChangeObserver&) = delete;
    SkinChangeObserver& operator=(const SkinChangeObserver&) = delete;

    void add(SkinChangeReceiver& receiver);
    void remove(SkinChangeReceiver& receiver);
    // Every receiver gets its own copy, in registration order.
    void broadcast(const SkinChangedParam& param);
    size_t receivers() const;

  private:
    mutable std::recursive_mutex mutex_;
    std::map<uint64_t, SkinChangeReceiver*> receivers_;
    uint64_t count_ = 0;
};

// The process-wide observer, made on first use.
SkinChangeObserver& skinChangeObserver();

}  // namespace rxt::shell
