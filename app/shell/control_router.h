#pragma once
// Routes the requests of the control socket (rxtctl's commands while the
// program runs) to the page that carries them out, by their leading words:
// "set mouse dpi" goes to the performance page, "set mouse lighting" to the
// mouse lighting page. The longest registered lead wins. As with the
// notifications, a second route for the same lead is a fault of the program
// and throws std::logic_error.

#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/control_socket.h"

namespace rxt::shell {

class ControlRouter {
  public:
    // Given the words after the lead.
    using Handler = std::function<ControlAnswer(std::span<const std::string> rest)>;

    // lead: words separated by single blanks ("set mouse dpi").
    void on(std::string_view lead, Handler handler);
    // The answer of the handler of the longest lead of args; a usage answer
    // naming the request when none has one.
    ControlAnswer route(const std::vector<std::string>& args) const;
    bool handles(std::string_view lead) const;

  private:
    std::map<std::string, Handler, std::less<>> routes_;
};

}  // namespace rxt::shell
