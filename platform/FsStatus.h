#pragma once

namespace orvanta {

// Stable numbers for the kinds of file failure. They appear in the error log, so they
// never change. They follow the run-time error numbers that Windows programs of the
// installer's lineage have always written.
enum FsCode : int {
    kOk = 0,
    kInvalidArgument = 5,
    kBadFileName = 52,
    kFileNotFound = 53,
    kDeviceIoError = 57,
    kFileExists = 58,
    kDiskFull = 61,
    kPermissionDenied = 70,
    kPathFileAccessError = 75,
    kPathNotFound = 76,
};

struct FsStatus {
    int code = kOk;

    static FsStatus Ok() { return {}; }
    static FsStatus Fail(int c) { return FsStatus{c}; }
    bool ok() const { return code == kOk; }
    explicit operator bool() const { return ok(); }
};

}  // namespace orvanta
