#include "platform/control_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/single_instance.h"

namespace rxt {

std::filesystem::path controlFolder(bool create) {
    const std::filesystem::path base = runtimeFolder();
    if (base.empty()) {
        return {};
    }
    const std::filesystem::path folder = base / kControlFolderName;
    if (create && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return {};
    }
    // A folder someone else owns or can enter is no place for the socket.
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & 077) != 0) {
        return {};
    }
    return folder;
}

std::filesystem::path controlSocketPath(bool create) {
    const std::filesystem::path folder = controlFolder(create);
    return folder.empty() ? folder : folder / kControlSocketName;
}

bool encodeControlRequest(const std::vector<std::string>& args, std::string& line) {
    line.clear();
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i].find_first_of("\t\r\n") != std::string::npos) {
            return false;
        }
        line += (i == 0 ? "" : "\t") + args[i];
    }
    line += '\n';
    return line.size() <= kMaxControlLine;
}

std::vector<std::string> decodeControlRequest(std::string_view line) {
    std::vector<std::string> args;
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (line.empty()) {
        return args;
    }
    for (size_t start = 0;;) {
        const size_t tab = line.find('\t', start);
        args.emplace_back(line.substr(start, tab - start));
        if (tab == std::string_view::npos) {
            break;
        }
        start = tab + 1;
    }
    return args;
}

std::string encodeControlAnswer(const ControlAnswer& answer) {
    std::string out;
    for (const std::string& text : answer.lines) {
        for (size_t start = 0;;) {
            const size_t nl = text.find('\n', start);
            out += "> " + text.substr(start, nl - start) + "\n";
            if (nl == std::string::npos) {
                break;
            }
            start = nl + 1;
        }
    }
    std::string reason = answer.reason;
    for (char& c : reason) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    switch (answer.status) {
        case 0:
            out += "ok\n";
            break;
        case 2:
            out += "usage " + reason + "\n";
            break;
        default:
            out += "fail " + reason + "\n";
            break;
    }
    return out;
}

bool ControlAnswerReader::feed(std::string_view line) {
    if (line.substr(0, 2) == "> ") {
        answer_.lines.emplace_back(line.substr(2));
        return false;
    }
    if (line == "ok") {
        answer_.status = 0;
        return true;
    }
    for (const auto& [word, status] : {std::pair<std::string_view, int>{"usage", 2}, {"fail", 1}}) {
        if (line.substr(0, word.size()) == word) {
            answer_.status = status;
            const std::string_view rest = line.substr(word.size());
            answer_.reason = std::string(rest.empty() ? rest : rest.substr(1));
            return true;
        }
    }
    // A line of no known form ends the answer as a failure rather than
    // leaving the caller waiting.
    answer_.status = 1;
    answer_.reason = "the program answered \"" + std::string(line) + "\"";
    return true;
}

ControlClient::~ControlClient() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool ControlClient::connect(const std::filesystem::path& path) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.native().size() >= sizeof addr.sun_path) {
        return false;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.native().size() + 1);
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        return false;
    }
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    return true;
}

std::optional<ControlAnswer> ControlClient::request(const std::vector<std::string>& args,
                                                    std::chrono::milliseconds bound,
                                                    std::string& error) {
    std::string line;
    if (!encodeControlRequest(args, line)) {
        error = "an argument holds a tab or a line break, or the request is too long";
        return std::nullopt;
    }
    for (size_t sent = 0; sent < line.size();) {
        const ssize_t n = ::send(fd_, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            // A program that closed the connection first is the same case
            // as one that closes it while the answer is awaited.
            error = errno == EPIPE || errno == ECONNRESET
                        ? std::string("the program closed the connection before it answered")
                        : std::string("cannot send to the program: ") + std::strerror(errno);
            return std::nullopt;
        }
        sent += static_cast<size_t>(n);
    }
    ControlAnswerReader reader;
    const auto end = std::chrono::steady_clock::now() + bound;
    for (;;) {
        for (size_t nl = buffer_.find('\n'); nl != std::string::npos; nl = buffer_.find('\n')) {
            const std::string answerLine = buffer_.substr(0, nl);
            buffer_.erase(0, nl + 1);
            if (reader.feed(answerLine)) {
                return reader.answer();
            }
        }
        if (buffer_.size() > kMaxControlLine) {
            error = "the program's answer has a line too long";
            return std::nullopt;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        pollfd p{fd_, POLLIN, 0};
        const int ready = left.count() > 0 ? ::poll(&p, 1, static_cast<int>(left.count())) : 0;
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            error = "the program gave no answer in " + std::to_string(bound.count() / 1000) + " s";
            return std::nullopt;
        }
        char buf[4096];
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n <= 0) {
            error = "the program closed the connection before it answered";
            return std::nullopt;
        }
        buffer_.append(buf, static_cast<size_t>(n));
    }
}

}  // namespace rxt
