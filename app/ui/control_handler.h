#pragma once
// What the program's control socket asks of the main window: one request
// (rxtctl's arguments), carried out on the UI thread.

#include <string>
#include <vector>

#include "platform/control_socket.h"

namespace rxt::ui {

class ControlHandler {
  public:
    virtual ~ControlHandler() = default;
    virtual ControlAnswer control(const std::vector<std::string>& args) = 0;
};

}  // namespace rxt::ui
