#pragma once

// A rigctld the program runs itself, for operators who do not start one:
//
//   RigctldDaemon daemon;                    // "rigctld" from PATH
//   std::string err = daemon.start(launch);  // empty when it runs
//   daemon.stop();                           // also on destruction
//
//   listHamlibModels(context, [](std::vector<rig::HamlibModel> models) { ... });
//
// start() keeps a daemon already running with the same arguments, and
// otherwise stops it and starts a new one. Arguments go to the program as a
// list, never through a shell. The model list runs "rigctl -l" in the
// background; its output is read up to kModelListLimit bytes and it is
// stopped after kModelListTimeoutMs.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

#include "rig/rigctld_models.h"

class QObject;
class QProcess;

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

// Runs "<program> -l" and hands the models to `done` on the event loop (an
// empty list when the program is missing or fails). Nothing is handed on once
// `context` is destroyed.
void listHamlibModels(QObject* context, std::function<void(std::vector<rig::HamlibModel>)> done,
                      const QString& program = QStringLiteral("rigctl"));

} // namespace wexon::platform
