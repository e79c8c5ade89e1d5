#include "persist/save_failure.h"

#include "platform/store/store.h"

std::string saveCause(uint32_t error) {
    switch (error) {
        case platform::ERROR_DISK_FULL:
            return "The disk is full.";
        case platform::ERROR_INVALID_PARAMETER:
            return "Invalid parameter.";
        case platform::ERROR_BUSY:
            return "Another program is using the store.";
        case platform::ERROR_ACCESS_DENIED:
            return "The store cannot be written: permission denied.";
        case platform::ERROR_WRITE_PROTECT:
            return "The store is on a read-only file system.";
        case platform::ERROR_NOT_ENOUGH_MEMORY:
            return "Not enough memory.";
        case platform::ERROR_FILE_NOT_FOUND:
            return "No database exists with the specified name.";
        case platform::ERROR_INVALID_HANDLE:
            return "The store is not open.";
        default:
            return "The store could not be written (input/output error).";
    }
}

std::string saveFailureText(const char* what, uint32_t error) {
    if (error == platform::ERROR_DISK_FULL) return "Disk is full!";
    if (error == platform::ERROR_INVALID_PARAMETER) return "Invalid parameter!";
    return std::string(what) + " could not be saved. " + saveCause(error);
}
