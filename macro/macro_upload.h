#pragma once
// UploadMacros and UploadCursorSchemes: the macros of a device kind (or the
// mouse's four cursor schemes) read from their files, packed into one
// MacroBlock and sent, followed for the macros by the current assignment
// bank. An upload stops at the first command that fails and sends nothing
// after it, so a device that is gone, silent or refusing is never reported
// as updated.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "device/device_link.h"
#include "macro/macro_catalogue.h"

namespace rxt {

// Message keys the page shows.
inline constexpr std::string_view kMessageBlockTooLarge = "message_text_16";  // "%d": steps
inline constexpr std::string_view kMessageNoMemory = "message_text_7";
inline constexpr std::string_view kMessageUploadNotConnected = "message_text_upload_not_connected";
inline constexpr std::string_view kMessageUploadNoAnswer = "message_text_upload_no_answer";
inline constexpr std::string_view kMessageUploadRefused = "message_text_upload_refused";

enum class UploadOutcome {
    Done,
    TooLarge,      // the block does not fit the device's macro memory
    NoMemory,      // the block could not be allocated
    NotConnected,  // nothing sent
    NoAnswer,      // a command got no reply (or its write failed)
    Refused,       // a command was answered with a refusal status
};

struct UploadResult {
    UploadOutcome outcome = UploadOutcome::Done;
    int result = kResultDone;  // the failing command's result
    std::string command;       // the failing command's name
    int excessSteps = 0;       // TooLarge: steps to remove
    size_t blockSize = 0;      // bytes of the block built (0: none sent)

    bool done() const { return outcome == UploadOutcome::Done; }
    // The message key to show, empty when done.
    std::string_view message() const;
};

// Counts the steps the block would need removed to fit `capacityBytes`:
// floor((total - capacity) / 4) + 1.
int excessSteps(size_t total, size_t capacityBytes);

// The kind's macros in catalogue order into one block (a missing file is a
// macro of no steps); checked against capacityUnits x 128 bytes; sent with
// BeginSession, WriteMacroData, EndSession unless there are no macros; then
// BeginSession, WriteBank(bankNumber, bankBytes), EndSession. Refused blocks
// send nothing at all, neither macros nor the bank.
UploadResult UploadMacros(DeviceLink& link, const MacroCatalogue& catalogue, uint8_t capacityUnits,
                          int bankNumber, std::span<const uint8_t> bankBytes);

// The mouse catalogue's cursor schemes (CURSORCOUNT, CURSORNAME/<i>, each
// "<name>.cur") into one block sent with BeginSession, WriteCursorData,
// EndSession. No capacity check; a count of 0 sends nothing.
UploadResult UploadCursorSchemes(DeviceLink& link, const MacroCatalogue& catalogue);

}  // namespace rxt
