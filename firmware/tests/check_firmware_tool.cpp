// SPDX-License-Identifier: MIT
// `--check-firmware` as a program of its own, so tests and benchmarks can run the command as a
// process without the dialogs: check_firmware_tool --check-firmware FILE [--image OUT].
#include "firmware/check_firmware.h"

int main(int argc, char** argv) { return checkFirmwareMain(argc, argv); }
