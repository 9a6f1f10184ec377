#include "check_firmware.h"

int check_firmware_main(int, char**) { return 2; }
