#pragma once

// A rigctld the program runs itself, for operators who do not start one:
//
//   RigctldDaemon daemon;                    // "rigctld" from PATH
//   std::string err = daemon.start(launch);  // empty when it runs
//   daemon.stop();                           // also on destruction
//
//   HamlibModelListing listing([](std::vector<rig::HamlibModel> models) { ... });
//
// start() keeps a daemon already running with the same arguments, and
// otherwise stops it and starts a new one. Arguments go to the program as a
// list, never through a shell. The model listing runs "rigctl -l" in the
// background; its output is read up to kModelListLimit bytes and it is
// stopped after kModelListTimeoutMs. Destroying the listing stops it.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "rig/rigctld_models.h"

class QProcess;
class QTimer;

namespace wexon::platform {

class RigctldDaemon {
  public:
    explicit RigctldDaemon(QString program = QStringLiteral("rigctld"));
    ~RigctldDaemon();

    std::string start(const rig::RigctldLaunch& launch);
    // Asks the daemon to end, and kills it when it has not within a second.
    void stop();
    bool running() const;
    QStringList arguments() const { return m_arguments; }

  private:
    QString m_program;
    QStringList m_arguments;
    std::unique_ptr<QProcess> m_process;
};

inline constexpr int kModelListLimit = 1024 * 1024;
inline constexpr int kModelListTimeoutMs = 5000;

// Runs "<program> -l" and hands the models to `done` on the event loop, once
// (an empty list when the program is missing, fails or takes too long).
// Destroying the listing stops the program; `done` is not called after that.
class HamlibModelListing {
  public:
    explicit HamlibModelListing(std::function<void(std::vector<rig::HamlibModel>)> done,
                                const QString& program = QStringLiteral("rigctl"));
    ~HamlibModelListing();
    HamlibModelListing(const HamlibModelListing&) = delete;
    HamlibModelListing& operator=(const HamlibModelListing&) = delete;
    bool finished() const { return m_finished; }

  private:
    void finish(bool ok);

    std::function<void(std::vector<rig::HamlibModel>)> m_done;
    std::unique_ptr<QProcess> m_process;
    std::unique_ptr<QTimer> m_limit;
    QByteArray m_output;
    bool m_finished = false;
};

} // namespace wexon::platform
