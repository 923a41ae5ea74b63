#pragma once

#include <QString>
#include <memory>

class QLockFile;

// Holds the per-user lock of one application folder while the program runs: the
// lock's name is made of the user and the folder. A lock left by a process that no
// longer exists is taken over.
class SingleInstance
{
public:
    explicit SingleInstance(const QString& appDir);
    ~SingleInstance();

    // False when another running process holds the lock.
    bool acquire();
    QString lockPath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
