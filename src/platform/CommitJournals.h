#pragma once
// The super-journals of the commit files in a tables' directory. SQLite
// makes one for every commit over several table files and deletes it at
// the commit point; a process killed while it writes the super-journal,
// before any table's journal names it, leaves it behind for good: no
// journal points to it, so no later rollback removes it.
//
// Every database holds its directory (a shared lock on it) while it has
// connections there. The first database to open a directory that nobody
// else holds (no other process, no other database of this process) takes
// the lock exclusively for a moment and removes the super-journals that no
// journal names any more; a live writer's super-journal is never touched,
// since its writer holds the directory, and one that a table's hot journal
// still names stays for the rollback that needs it.
#include <QByteArray>
#include <QString>

// The name of the shared commit file (the main database of every
// connection) in a tables' directory; a user's own one adds "-u<uid>".
inline constexpr const char* CommitFileName = ".korva-commit";

// True for the name SQLite gives a super-journal of this system's commit
// files (".korva-commit" or ".korva-commit-u<uid>", then "-mj" and hex
// digits).
bool IsCommitSuperJournalName(const QByteArray& name);

// The hold of one database on its directory.
class CommitDirectoryHold {
public:
    CommitDirectoryHold() = default;
    ~CommitDirectoryHold() { Release(); }
    CommitDirectoryHold(const CommitDirectoryHold&) = delete;
    CommitDirectoryHold& operator=(const CommitDirectoryHold&) = delete;

    // Holds dir; when nobody else holds it, first removes what dead commits
    // left there. A directory that cannot be opened is not held.
    void Take(const QString& dir);
    void Release();

private:
    int m_fd = -1;
};

// Removes the abandoned super-journals of dir when nobody holds it; returns
// how many went, -1 when the directory is held (or cannot be held).
int RemoveAbandonedSuperJournals(const QString& dir);

// Whether a super-journal is still needed: a journal it lists is there and
// names it, or one cannot be read. One that is not may go, unless its
// writer is still at work (it names the super-journal in the journals only
// after writing it).
bool SuperJournalStillNamed(const QString& path);
