// Ways a real store file becomes unwritable, for the tests: a read-only file or folder
// that root cannot write either, a tiny tmpfs that fills up, a full disk as SQLite sees
// it, and another program reading the file.
#pragma once

#include <linux/capability.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace store_conditions {

// While it lives, this thread has no power to pass over file permissions (root's
// CAP_DAC_OVERRIDE and the like), so that a read-only file is read-only for the test
// too. Without root it changes nothing.
class NoOverride {
  public:
    NoOverride() {
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        if (syscall(SYS_capget, &header_, saved_) != 0) return;
        __user_cap_data_struct lowered[2];
        std::memcpy(lowered, saved_, sizeof lowered);
        lowered[0].effective &=
            ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        dropped_ = syscall(SYS_capset, &header_, lowered) == 0;
    }
    ~NoOverride() {
        if (dropped_) syscall(SYS_capset, &header_, saved_);
    }
    NoOverride(const NoOverride&) = delete;
    NoOverride& operator=(const NoOverride&) = delete;

  private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
    bool dropped_ = false;
};

// A tmpfs of `bytes` mounted over `dir`, in a mount namespace of this process alone (it
// goes with the process). False, with the reason, where mounting is not allowed.
inline bool mountTinyTmpfs(const std::string& dir, size_t bytes, std::string& why) {
    static bool privateMounts = false;
    if (!privateMounts) {
        if (unshare(CLONE_NEWNS) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            why = std::string("no private mounts: ") + std::strerror(errno);
            return false;
        }
        privateMounts = true;
    }
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0700";
    if (mount("tmpfs", dir.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        why = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
        return false;
    }
    return true;
}

inline void unmount(const std::string& dir) {
    umount2(dir.c_str(), MNT_DETACH);
}

// Fills the file system of `dir` to the last byte with a file named `name`.
inline void fillUp(const std::string& dir, const char* name = "filler") {
    std::ofstream out(dir + "/" + name, std::ios::binary);
    const std::vector<char> block(4096, 'f');
    while (out.write(block.data(), static_cast<std::streamsize>(block.size()))) {
    }
    out.close();
    // The last partial block.
    std::ofstream tail(dir + "/" + name + "-tail", std::ios::binary);
    while (tail.put('f') && tail.flush()) {
    }
}

// SQLite's view of a full disk: while `full` is set, every write to a file opened through
// it fails as the disk's would (SQLITE_FULL). Registered as the default for its lifetime;
// files opened before keep their own.
class FullDisk {
  public:
    FullDisk() {
        real_ = sqlite3_vfs_find(nullptr);
        vfs_ = *real_;
        vfs_.zName = "tallreed-full-disk";
        vfs_.szOsFile = static_cast<int>(sizeof(File)) + real_->szOsFile;
        vfs_.pAppData = this;
        vfs_.xOpen = &FullDisk::open;
        sqlite3_vfs_register(&vfs_, 1);
    }
    ~FullDisk() { sqlite3_vfs_unregister(&vfs_); }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    static inline std::atomic<bool> full{false};

  private:
    struct File {
        sqlite3_file base;
        sqlite3_file* real;
    };
    static sqlite3_file* inner(sqlite3_file* f) { return reinterpret_cast<File*>(f)->real; }

    static int open(sqlite3_vfs* vfs, const char* name, sqlite3_file* f, int flags, int* out) {
        auto* self = static_cast<FullDisk*>(vfs->pAppData);
        File* file = reinterpret_cast<File*>(f);
        file->real = reinterpret_cast<sqlite3_file*>(file + 1);
        file->real->pMethods = nullptr;
        const int rc = self->real_->xOpen(self->real_, name, file->real, flags, out);
        file->base.pMethods = file->real->pMethods ? methods() : nullptr;
        return rc;
    }

    static const sqlite3_io_methods* methods() {
        static const sqlite3_io_methods m = {
            1,
            [](sqlite3_file* f) { return inner(f)->pMethods->xClose(inner(f)); },
            [](sqlite3_file* f, void* b, int n, sqlite3_int64 at) {
                return inner(f)->pMethods->xRead(inner(f), b, n, at);
            },
            [](sqlite3_file* f, const void* b, int n, sqlite3_int64 at) {
                if (full) return SQLITE_FULL;
                return inner(f)->pMethods->xWrite(inner(f), b, n, at);
            },
            [](sqlite3_file* f, sqlite3_int64 size) {
                return inner(f)->pMethods->xTruncate(inner(f), size);
            },
            [](sqlite3_file* f, int flags) { return inner(f)->pMethods->xSync(inner(f), flags); },
            [](sqlite3_file* f, sqlite3_int64* size) {
                return inner(f)->pMethods->xFileSize(inner(f), size);
            },
            [](sqlite3_file* f, int lock) { return inner(f)->pMethods->xLock(inner(f), lock); },
            [](sqlite3_file* f, int lock) { return inner(f)->pMethods->xUnlock(inner(f), lock); },
            [](sqlite3_file* f, int* out) {
                return inner(f)->pMethods->xCheckReservedLock(inner(f), out);
            },
            [](sqlite3_file* f, int op, void* arg) {
                return inner(f)->pMethods->xFileControl(inner(f), op, arg);
            },
            [](sqlite3_file* f) { return inner(f)->pMethods->xSectorSize(inner(f)); },
            [](sqlite3_file* f) { return inner(f)->pMethods->xDeviceCharacteristics(inner(f)); },
            nullptr,
            nullptr,
            nullptr,
            nullptr,
            nullptr,
            nullptr,
        };
        return &m;
    }

    sqlite3_vfs* real_ = nullptr;
    sqlite3_vfs vfs_{};
};

// Another program holding a read transaction on the file (a reader such as the sqlite3
// shell, or a backup in progress) until the object goes.
class Reader {
  public:
    explicit Reader(const std::string& path) {
        int ready[2];
        if (pipe(ready) != 0 || pipe(hold_) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            sqlite3* db = nullptr;
            char c = 0;
            const bool reading =
                sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
                sqlite3_exec(db, "BEGIN; SELECT count(*) FROM reg_value;", nullptr, nullptr,
                             nullptr) == SQLITE_OK;
            c = reading ? 1 : 0;
            if (write(ready[1], &c, 1) != 1) _exit(1);
            close(hold_[1]);
            _exit(read(hold_[0], &c, 1) < 0);
        }
        char c = 0;
        holding_ = read(ready[0], &c, 1) == 1 && c == 1;
        close(ready[0]);
        close(ready[1]);
    }
    ~Reader() {
        close(hold_[0]);
        close(hold_[1]);
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    bool holding() const { return holding_; }

  private:
    int hold_[2] = {-1, -1};
    pid_t pid_ = -1;
    bool holding_ = false;
};

}  // namespace store_conditions
