#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace verz {

// The folder for the scratch file: appFolder when it can be written, else
// cacheFolder, created when missing. Empty when neither can be used; problem
// (when given) then says why, in French, for the user.
QString ScratchFolderIn(const QString &appFolder, const QString &cacheFolder,
                        QString *problem = nullptr);

// A process's right to one scratch file name in a folder. Every window of a
// user shares the folder, so only one of them may use "Verz.txt": the first
// takes it and holds "Verz.txt.lock" for as long as the claim lives; a window
// that finds the lock held by a live process writes "Verz-<pid>.txt" instead.
// A lock left by a process that died is taken over. With an empty folder the
// claim has an empty path: pages are then kept in memory only.
class ScratchFileClaim {
public:
    explicit ScratchFileClaim(const QString &folder);
    ~ScratchFileClaim();
    ScratchFileClaim(const ScratchFileClaim &) = delete;
    ScratchFileClaim &operator=(const ScratchFileClaim &) = delete;

    const QString &path() const { return path_; }
    // True when this claim holds the shared name "Verz.txt".
    bool holdsSharedName() const { return lock_ != nullptr; }

private:
    std::unique_ptr<QLockFile> lock_;
    QString path_;
};

// This process's scratch file: claimed in the application's folder, or the
// user's cache folder when that cannot be written, on first use, and held until
// the process ends. A folder that cannot be used is reported once on standard
// error. Only the window calls this, at its first download: taking the lock
// syncs it to disk, which would cost every start-up tens of milliseconds.
QString ScratchFilePath();

// The scratch file this process has claimed; empty while ScratchFilePath has
// not been called (nothing was downloaded, so there is no file of ours).
QString ClaimedScratchFilePath();

}  // namespace verz
