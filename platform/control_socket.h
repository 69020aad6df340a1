#pragma once
// The running program's control socket, through which rxtctl's commands
// reach the program's own pages: "control" in the folder "rx-t7100" (mode
// 0700, this user's) inside the user's runtime folder. One request a line,
// the command's arguments separated by tabs; the answer is any number of
// "> TEXT" lines (what the command prints) and one closing line: "ok",
// "fail REASON" (exit status 1) or "usage REASON" (exit status 2).

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rxt {

inline constexpr std::string_view kControlFolderName = "rx-t7100";
inline constexpr std::string_view kControlSocketName = "control";
inline constexpr size_t kMaxControlLine = 64 * 1024;

// The private folder, made when `create` and missing; empty when it cannot
// be had or is not this user's alone.
std::filesystem::path controlFolder(bool create);
// The socket's path in it; empty as above.
std::filesystem::path controlSocketPath(bool create);

struct ControlAnswer {
    int status = 0;  // 0 done, 1 refused or failed, 2 usage
    std::vector<std::string> lines;
    std::string reason;

    static ControlAnswer done(std::vector<std::string> lines = {}) {
        return {0, std::move(lines), {}};
    }
    static ControlAnswer failed(std::string why) { return {1, {}, std::move(why)}; }
    static ControlAnswer usage(std::string why) { return {2, {}, std::move(why)}; }
};

// False for an argument that holds a tab or a line break (it cannot be sent).
bool encodeControlRequest(const std::vector<std::string>& args, std::string& line);
std::vector<std::string> decodeControlRequest(std::string_view line);
// Every line of the answer, each ended by '\n'. Line breaks inside a text
// start a new "> " line; in the reason they become blanks.
std::string encodeControlAnswer(const ControlAnswer& answer);

// Reads answers line by line: true once the closing line has come.
class ControlAnswerReader {
  public:
    bool feed(std::string_view line);
    const ControlAnswer& answer() const { return answer_; }

  private:
    ControlAnswer answer_;
};

// rxtctl's side.
class ControlClient {
  public:
    ControlClient() = default;
    ~ControlClient();
    ControlClient(const ControlClient&) = delete;
    ControlClient& operator=(const ControlClient&) = delete;

    // False when nobody listens at path (no program runs).
    bool connect(const std::filesystem::path& path);
    // The answer, or nullopt with the reason when the program broke off or
    // gave no closing line within `bound`.
    std::optional<ControlAnswer> request(const std::vector<std::string>& args,
                                         std::chrono::milliseconds bound, std::string& error);

  private:
    int fd_ = -1;
    std::string buffer_;
};

}  // namespace rxt
