// SPDX-License-Identifier: MIT
// `karvel --check-firmware FILE [--image OUT]`: loads a firmware file with the same loaders as
// New Firmware, without a window and without touching any device.
#pragma once

// Runs the command; argv is main()'s (argv[0] the program, argv[1] "--check-firmware").
// Returns the exit status: 0 loaded (and OUT written), 1 the file does not load, 2 usage error.
int checkFirmwareMain(int argc, char** argv);
