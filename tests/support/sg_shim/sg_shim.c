/* SPDX-License-Identifier: MIT */
/* LD_PRELOAD library for the tests: the file named by KARVEL_SG_SHIM_DEVICE (a plain
 * placeholder file) behaves as a SCSI generic device. Its descriptors answer the sg driver's
 * ioctls, and each SG_IO request goes through our ASPI layer to the address in
 * KARVEL_SG_SHIM_ADDRESS (H:T:L), so programs that speak SG_IO (mtx, the sg transport) can
 * drive the simulated jukebox or tgt's changer on machines without SCSI hardware. Every other
 * file and descriptor is left to the C library. */
#define _GNU_SOURCE
#undef _FORTIFY_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <scsi/scsi.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "sg_shim.h"

#define SHIM_EXPORT __attribute__((visibility("default")))

/* The sg driver's version that the shim claims: 3.5.36, the SG_IO interface. */
#define SHIM_SG_VERSION 30536
/* Descriptors above this are never the device's; the table stays small and static. */
#define SHIM_MAX_FD 4096

static unsigned char shimFds[SHIM_MAX_FD];
static int shimTimeout = 60 * 100;
static int shimReservedSize = 32768;

typedef int (*OpenFunction)(const char*, int, ...);
typedef int (*OpenAtFunction)(int, const char*, int, ...);
typedef int (*IoctlFunction)(int, unsigned long, ...);
typedef int (*CloseFunction)(int);

static void* nextSymbol(const char* name) { return dlsym(RTLD_NEXT, name); }

/* Returns 1 when path names the shim's device (by its real path, so links and ./ work). */
static int isShimDevice(const char* path) {
    const char* device = getenv("KARVEL_SG_SHIM_DEVICE");
    if (!device || !*device || !path) return 0;
    if (strcmp(path, device) == 0) return 1;
    char wanted[PATH_MAX];
    char given[PATH_MAX];
    if (!realpath(device, wanted) || !realpath(path, given)) return 0;
    return strcmp(wanted, given) == 0;
}

static int remember(int fd, const char* path) {
    if (fd >= 0 && fd < SHIM_MAX_FD) shimFds[fd] = (unsigned char)isShimDevice(path);
    return fd;
}

static int isShimFd(int fd) { return fd >= 0 && fd < SHIM_MAX_FD && shimFds[fd]; }

static mode_t modeArgument(int flags, va_list arguments) {
    if (flags & (O_CREAT | O_TMPFILE)) return (mode_t)va_arg(arguments, int);
    return 0;
}

SHIM_EXPORT int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    OpenFunction next = (OpenFunction)nextSymbol("open");
    return remember(next(path, flags, mode), path);
}

SHIM_EXPORT int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    OpenFunction next = (OpenFunction)nextSymbol("open64");
    return remember(next(path, flags, mode), path);
}

SHIM_EXPORT int __open_2(const char* path, int flags) { return open(path, flags); }
SHIM_EXPORT int __open64_2(const char* path, int flags) { return open64(path, flags); }

static int openAtVia(const char* name, int directory, const char* path, int flags, mode_t mode) {
    OpenAtFunction next = (OpenAtFunction)nextSymbol(name);
    int fd = next(directory, path, flags, mode);
    /* Only paths that name the file on their own: a relative path under another directory
     * descriptor is never the device. */
    if (path && (path[0] == '/' || directory == AT_FDCWD)) return remember(fd, path);
    return remember(fd, NULL);
}

SHIM_EXPORT int openat(int directory, const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    return openAtVia("openat", directory, path, flags, mode);
}

SHIM_EXPORT int openat64(int directory, const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    return openAtVia("openat64", directory, path, flags, mode);
}

SHIM_EXPORT int __openat_2(int directory, const char* path, int flags) { return openat(directory, path, flags); }

SHIM_EXPORT int close(int fd) {
    if (fd >= 0 && fd < SHIM_MAX_FD) shimFds[fd] = 0;
    CloseFunction next = (CloseFunction)nextSymbol("close");
    return next(fd);
}

static int answer(unsigned long request, void* argument) {
    if (!argument && request != SG_GET_TIMEOUT) {
        errno = EFAULT;
        return -1;
    }
    switch (request) {
    case SG_IO: return sgShimExecute((sg_io_hdr_t*)argument);
    case SG_GET_VERSION_NUM: *(int*)argument = SHIM_SG_VERSION; return 0;
    case SG_GET_SCSI_ID: return sgShimScsiId((struct sg_scsi_id*)argument);
    case SG_SET_TIMEOUT: {
        int value = *(const int*)argument;
        if (value < 0) {
            errno = EINVAL;
            return -1;
        }
        shimTimeout = value;
        return 0;
    }
    case SG_GET_TIMEOUT: return shimTimeout; /* the driver returns it as the ioctl's value */
    case SG_SET_RESERVED_SIZE: shimReservedSize = *(const int*)argument; return 0;
    case SG_GET_RESERVED_SIZE: *(int*)argument = shimReservedSize; return 0;
    case SCSI_IOCTL_GET_IDLUN: return sgShimIdLun((int*)argument);
    case SCSI_IOCTL_GET_BUS_NUMBER: return sgShimBusNumber((int*)argument);
    case SG_EMULATED_HOST: *(int*)argument = 0; return 0;
    case SG_GET_SG_TABLESIZE: *(int*)argument = 128; return 0;
    case SG_SET_FORCE_PACK_ID:
    case SG_SET_COMMAND_Q:
    case SG_SET_KEEP_ORPHAN:
    case SG_SET_DEBUG: return 0;
    case SG_GET_COMMAND_Q:
    case SG_GET_PACK_ID:
    case SG_GET_NUM_WAITING:
    case SG_GET_KEEP_ORPHAN:
    case SG_GET_LOW_DMA: *(int*)argument = 0; return 0;
    default:
        if (getenv("KARVEL_SG_SHIM_TRACE")) {
            FILE* file = fopen(getenv("KARVEL_SG_SHIM_TRACE"), "a");
            if (file) {
                fprintf(file, "ioctl %lx refused\n", request);
                fclose(file);
            }
        }
        errno = ENOTTY;
        return -1;
    }
}

SHIM_EXPORT int ioctl(int fd, unsigned long request, ...) {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if (isShimFd(fd)) return answer(request, argument);
    IoctlFunction next = (IoctlFunction)nextSymbol("ioctl");
    return next(fd, request, argument);
}
