#include <algorithm>
#include <mutex>
#include <ostream>
#include <vector>

#include "device/device_kind.h"
#include "device/device_link.h"
#include "tools/commands.h"
#include "tools/json_text.h"
#include "tools/kind_link.h"

namespace rxt::tools {
namespace {

struct RawArgs {
    long long offset = 0;
    long long length = -1;
    long long bank = 0;
    long long blockSize = kMaxBlockSize;
    std::vector<uint8_t> data;
    bool hasData = false;
};

bool needsData(Command c) {
    switch (c) {
        case Command::WriteRecord:
        case Command::WriteBank:
        case Command::StreamFrame:
        case Command::WriteMacroData:
        case Command::WriteCursorData:
            return true;
        default:
            return false;
    }
}

// The most bytes --length may ask for: the chunked writes are cut into
// reports of 56 by the link, so they take whole transfers (a mouse bank is
// 126 bytes); the record commands carry one report.
long long maxLength(Command c) {
    switch (c) {
        case Command::WriteBank:
        case Command::StreamFrame:
        case Command::WriteMacroData:
        case Command::WriteCursorData:
            return 0xFFFF;
        default:
            return static_cast<long long>(kMaxChunk);
    }
}

// Runs one command; data read back lands in `read`.
int runCommand(DeviceLink& link, Command c, RawArgs& a, std::vector<uint8_t>& read) {
    const auto total = static_cast<uint16_t>(a.data.size());
    switch (c) {
        case Command::BeginSession:
            return link.BeginSession();
        case Command::EndSession:
            return link.EndSession();
        case Command::ReadInfo:
            read.assign(kInfoSize, 0);
            return link.ReadInfo(read.data());
        case Command::ReadRecord: {
            const auto n = static_cast<uint8_t>(a.length < 0 ? kMaxChunk : a.length);
            read.assign(n, 0);
            return link.ReadRecord(read.data(), n, static_cast<uint16_t>(a.offset));
        }
        case Command::WriteRecord:
            return link.WriteRecord(a.data.data(), static_cast<uint8_t>(total),
                                    static_cast<uint16_t>(a.offset));
        case Command::ReadBlock:
            read.assign(link.blockSize(), 0);
            return link.ReadBlock(read.data());
        case Command::ReadBank:
            read.assign(link.blockSize(), 0);
            return link.ReadBank(read.data(), static_cast<int>(a.bank));
        case Command::WriteBank:
            return link.WriteBank(a.data.data(), total, static_cast<int>(a.bank));
        case Command::ResetDevice:
            return link.ResetDevice();
        case Command::StreamFrame:
            return link.StreamFrame(a.data.data(), total);
        case Command::WriteMacroData:
            return link.WriteMacroData(a.data.data(), total);
        case Command::WriteCursorData:
            return link.WriteCursorData(a.data.data(), total);
    }
    return kResultNoDevice;
}

}  // namespace

int cmdRaw(const Context& ctx, const std::vector<std::string>& args) {
    if (args.size() < 3) {
        ctx.err << "usage: rxtctl raw KIND COMMAND [--offset N] [--length N] [--bank N] "
                   "[--data HEX] [--block-size N]\n";
        return kExitUsage;
    }
    auto kind = kindArgument(ctx, args[1]);
    if (!kind) {
        return kExitUsage;
    }
    auto command = commandFromName(args[2]);
    if (!command) {
        ctx.err << "rxtctl: unknown command \"" << args[2]
                << "\" (BeginSession, ReadInfo, ReadBlock, ReadBank, WriteBank, ReadRecord, "
                   "WriteRecord, ResetDevice, StreamFrame, WriteMacroData, WriteCursorData, "
                   "EndSession)\n";
        return kExitUsage;
    }

    OptionMap opts;
    std::string error;
    RawArgs a;
    const bool ok =
        opts.parse(args, 3, {"--offset", "--length", "--bank", "--data", "--block-size"}, error) &&
        opts.number("--offset", 0, 0xFFFF, a.offset, error) &&
        opts.number("--length", 0, maxLength(*command), a.length, error) &&
        opts.number("--bank", 0, 255, a.bank, error) &&
        opts.number("--block-size", 1, kMaxBlockSize, a.blockSize, error);
    if (!ok) {
        ctx.err << "rxtctl: " << error << "\n";
        return kExitUsage;
    }
    if (auto hex = opts.text("--data")) {
        if (!parseHexBytes(*hex, a.data)) {
            ctx.err << "rxtctl: --data must be hexadecimal bytes, such as \"01 ff 20\"\n";
            return kExitUsage;
        }
        a.hasData = true;
    }
    if (needsData(*command) && !a.hasData) {
        ctx.err << "rxtctl: " << args[2] << " needs --data HEX\n";
        return kExitUsage;
    }
    if (*command == Command::WriteRecord && a.data.size() > kMaxChunk) {
        ctx.err << "rxtctl: WriteRecord carries at most " << kMaxChunk << " bytes\n";
        return kExitUsage;
    }
    if (a.data.size() > 0xFFFF) {
        ctx.err << "rxtctl: --data is longer than 65535 bytes\n";
        return kExitUsage;
    }
    if (a.length >= 0 && a.hasData) {
        // An explicit length pads with zeros or cuts the data.
        a.data.resize(static_cast<size_t>(a.length), 0);
    }

    DeviceLink link;
    if (const int status = openKindLink(ctx, *kind, link); status != kExitOk) {
        return status;
    }
    if (!link.setBlockSize(static_cast<uint16_t>(a.blockSize))) {
        ctx.err << "rxtctl: block size " << a.blockSize << " refused\n";
        return kExitUsage;
    }

    std::vector<uint8_t> read;
    const int result = runCommand(link, *command, a, read);
    link.setConnected(false);
    link.device().close();

    if (ctx.options.json) {
        ctx.out << "{\"result\": " << result;
        if (result != kResultDone) {
            read.clear();
        }
        if (!read.empty()) {
            ctx.out << ", \"data\": " << jsonString(hexBytes(read.data(), read.size()));
        }
        ctx.out << "}\n";
    } else {
        ctx.out << "result " << result << "\n";
        if (result != kResultDone) {
            read.clear();
        }
        for (size_t i = 0; i < read.size(); i += 16) {
            ctx.out << hexBytes(read.data() + i, std::min<size_t>(16, read.size() - i)) << "\n";
        }
    }
    return result == kResultDone ? kExitOk : kExitFailed;
}

}  // namespace rxt::tools
