// SPDX-License-Identifier: MIT
// karvelctl's tests run the program (or a shell pipeline over it) and keep scratch folders
// through the shared test support; its names, as these tests use them unqualified.
#pragma once

#include "child_process.h"
#include "scratch_dir.h"

namespace karvel::ctl::test {

using test_support::Environment;
using test_support::makeScratchDirectory;
using test_support::ProcessOptions;
using test_support::ProcessResult;
using test_support::removeTree;
using test_support::runProcess;

}  // namespace karvel::ctl::test
