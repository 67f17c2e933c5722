#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>

class QLocalServer;

namespace kadivo {

class MainFrame;

// The local socket on which the running Kadivo of this user takes sequences to open:
// in $XDG_RUNTIME_DIR, or the temporary folder, named with the user's id.
QString InstanceSocketName();

// Hands `path` to the Kadivo listening on `socketName`: true once that program has taken
// it, false at once when none listens.
bool HandToRunningInstance(const QString& socketName, const std::string& path);

// Listens on `socketName` and calls `open` with each path another start of the program
// hands over. A socket left behind by a program that ended without closing it is replaced;
// one that a running program answers on is left alone.
class InstanceListener : public QObject {
public:
    InstanceListener(const QString& socketName, std::function<void(const std::string&)> open);
    ~InstanceListener() override;
    bool Listening() const;

private:
    void TakeConnection();

    std::unique_ptr<QLocalServer> server_;
    std::function<void(const std::string&)> open_;
};

// The main frame's listener: a handed-over sequence opens in it (or comes forward when it
// is open already) and the main window is raised.
std::unique_ptr<InstanceListener> ListenForSequences(MainFrame& frame, const QString& socketName);

}  // namespace kadivo
