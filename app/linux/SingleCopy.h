#pragma once

#include "control/CommandRequest.h"

#include <QObject>

#include <functional>
#include <string>

class QLocalServer;
class QLocalSocket;

// One running copy per files folder, so that two copies never write over each other's list nor click the same
// targets twice. The first copy holds two locks: one on a file named after the folder's path in the user's private
// runtime folder, which holds also when the files folder cannot be made, and one on the folder itself, which copies
// of other users see too. flock works in a read-only folder, and the system drops it when the process ends however it
// ends, so a crash never blocks the next start. The first copy also listens on a socket in that private folder and
// answers commands there (askRunningCopy); a later copy finds a lock taken, sends the running copy the command `show`
// and ends.
class TSingleCopy : public QObject {
    Q_OBJECT
public:
    explicit TSingleCopy(const std::string& folder, QObject* parent = nullptr);
    ~TSingleCopy() override;

    // True unless another copy holds the folder (also when the folder cannot be locked at all: the window then says
    // what is wrong with it).
    bool isFirst() const { return m_first; }
    // For a later copy: whether the running copy was reached and shows its window.
    bool otherShown() const { return m_otherShown; }
    // For a later copy: one line for stderr saying what happened.
    std::string message() const;
    // For the first copy: why a later start cannot reach it, one sentence; empty when it listens.
    const std::string& channelProblem() const { return m_channelProblem; }
    // For a process that ends without unwinding (exit() from the toolkit): the listening socket's file goes; the lock
    // goes with the process anyway.
    void removeSocketFile();

    // For the first copy: what answers each command that arrives.
    void setCommandHandler(std::function<TCommandAnswer(const TCommandRequest&)> handler) {
        m_handler = std::move(handler);
    }

private:
    void takeLocks();
    void listen();
    void serve(QLocalSocket* peer);
    void askOtherToShow();

    std::string m_folder;
    std::string m_channelProblem;
    QString m_socketName;
    int m_pathLockFd = -1;
    int m_folderLockFd = -1;
    bool m_first = true;
    bool m_otherShown = false;
    QLocalServer* m_server = nullptr;
    std::function<TCommandAnswer(const TCommandRequest&)> m_handler;
    int m_peers = 0;
};

// Sends `request` to the copy running with the files in `folder` and waits for its answer. When no copy of this user
// answers, exit code 3 and one sentence saying so. The copy may be a moment from listening after a start: `patienceMs`
// is how long to keep trying to reach it.
TCommandAnswer askRunningCopy(const std::string& folder, const TCommandRequest& request, int patienceMs = 0);
