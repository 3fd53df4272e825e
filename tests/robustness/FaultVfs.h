#pragma once

#include <array>
#include <cstdint>

struct sqlite3_vfs;

// The store operations a fault can be put on.
// JournalOpen is the opening of a rollback journal or write-ahead log.
enum class FaultOp { Write, Sync, Lock, Truncate, Delete, JournalOpen };
inline constexpr std::size_t kFaultOpCount = 6;

// A shim over the platform's default store file layer that counts file operations and makes the
// Nth one of a kind fail as a real disk, file system or other program would make it fail.
// While it exists it is the default, so every connection the engine opens goes through it.
class FaultVfs {
public:
    FaultVfs();
    ~FaultVfs();
    FaultVfs(const FaultVfs&) = delete;
    FaultVfs& operator=(const FaultVfs&) = delete;

    // Counts operations from now on and fails none.
    void Count();
    // Counts from now on and fails the nth (1-based) operation of op with resultCode. A sticky
    // fault fails that one and every later one, as a lock another program keeps holding does.
    void Arm(FaultOp op, int64_t nth, int resultCode, bool sticky = false);
    // Stops counting and failing.
    void Stop();

    int64_t Operations(FaultOp op) const { return m_counts[static_cast<std::size_t>(op)]; }
    // How many operations the armed fault has failed.
    int64_t Failed() const { return m_failed; }

private:
    friend struct FaultVfsAccess;
    int Hit(FaultOp op);

    bool m_counting = false;
    bool m_armed = false;
    bool m_sticky = false;
    FaultOp m_op = FaultOp::Write;
    int64_t m_nth = 0;
    int m_resultCode = 0;
    int64_t m_failed = 0;
    std::array<int64_t, kFaultOpCount> m_counts{};
    sqlite3_vfs* m_vfs = nullptr;
};
