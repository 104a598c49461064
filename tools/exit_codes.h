// What the convertapi tool's exit code means. Where an export returns a result
// code, the tool exits with the first one that was not ConvertAPISuccess
// (2 to 22, see include/convertapi.h); its own outcomes use the other numbers.
#pragma once

namespace convertapi_cli {

constexpr int kExitOk = 0;
// The conversion ran but did not give what was asked: the round trip changed
// or lost a setting, or the driver wrote no ticket.
constexpr int kExitDiffers = 1;
// The command line is not understood (a missing or unknown option).
constexpr int kExitUsage = 64;
// An input file cannot be read, or it is not what it should be (a DEVMODEW
// file shorter than its own sizes, a ticket the library cannot read).
constexpr int kExitBadInput = 65;
// The printer, the printer's driver or the ticket library cannot be reached.
constexpr int kExitUnavailable = 69;
// An output file cannot be written, or a registry key or printer data value
// cannot be deleted.
constexpr int kExitCannotWrite = 73;

}  // namespace convertapi_cli
