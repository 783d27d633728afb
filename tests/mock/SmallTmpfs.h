#pragma once

#include <QString>
#include <QTemporaryDir>

// A small tmpfs mounted on a temporary folder while the guard lives: a real file system that
// a test can fill up. Mounting needs root; without it mounted() is false and whyNot() says why.
class SmallTmpfs {
public:
    explicit SmallTmpfs(int kilobytes);
    ~SmallTmpfs();
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool mounted() const { return m_mounted; }
    QString whyNot() const { return m_whyNot; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    // Takes all space that is left with a filler file; true when the file system is full.
    bool fill();
    // Removes the filler again.
    void freeSpace();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_whyNot;
};
