#include "app/shell/skin_change.h"

#include <vector>

namespace rxt::shell {

SkinChangeReceiver::~SkinChangeReceiver() {
    // Copy: remove() edits the set.
    const auto observers = observers_;
    for (SkinChangeObserver* observer : observers) {
        observer->remove(*this);
    }
}

SkinChangeObserver::~SkinChangeObserver() {
    std::lock_guard lock(mutex_);
    for (auto& [key, receiver] : receivers_) {
        receiver->observers_.erase(this);
    }
}

void SkinChangeObserver::add(SkinChangeReceiver& receiver) {
    std::lock_guard lock(mutex_);
    if (receiver.observers_.count(this) != 0) {
        return;
    }
    receivers_[++count_] = &receiver;
    receiver.observers_.insert(this);
}

void SkinChangeObserver::remove(SkinChangeReceiver& receiver) {
    std::lock_guard lock(mutex_);
    for (auto it = receivers_.begin(); it != receivers_.end();) {
        it = it->second == &receiver ? receivers_.erase(it) : std::next(it);
    }
    receiver.observers_.erase(this);
}

void SkinChangeObserver::broadcast(const SkinChangedParam& param) {
    std::vector<SkinChangeReceiver*> order;
    {
        std::lock_guard lock(mutex_);
        for (auto& [key, receiver] : receivers_) {
            order.push_back(receiver);
        }
    }
    for (SkinChangeReceiver* receiver : order) {
        receiver->receive(param);
    }
}

size_t SkinChangeObserver::receivers() const {
    std::lock_guard lock(mutex_);
    return receivers_.size();
}

SkinChangeObserver& skinChangeObserver() {
    static SkinChangeObserver observer;
    return observer;
}

}  // namespace rxt::shell
