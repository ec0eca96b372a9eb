#include "platform/rigctld_daemon.h"

#include <QObject>
#include <QProcess>
#include <QTimer>

namespace wexon::platform {

namespace {

constexpr int kStartLimitMs = 2000;
constexpr int kStopLimitMs = 1000;

} // namespace

RigctldDaemon::RigctldDaemon(QString program) : m_program(std::move(program)) {}

RigctldDaemon::~RigctldDaemon() {
    stop();
}

bool RigctldDaemon::running() const {
    return m_process && m_process->state() != QProcess::NotRunning;
}

std::string RigctldDaemon::start(const rig::RigctldLaunch& launch) {
    if (auto problem = rig::rigctldLaunchProblem(launch)) {
        return *problem;
    }
    QStringList arguments;
    for (const std::string& a : rig::rigctldArguments(launch)) {
        arguments << QString::fromStdString(a);
    }
    if (running() && arguments == m_arguments) {
        return {};
    }
    stop();
    m_process = std::make_unique<QProcess>();
    m_process->setProgram(m_program);
    m_process->setArguments(arguments);
    // Its messages are not read; they must not fill a pipe and stall it.
    m_process->setStandardOutputFile(QProcess::nullDevice());
    m_process->setStandardErrorFile(QProcess::nullDevice());
    m_process->start();
    if (!m_process->waitForStarted(kStartLimitMs)) {
        std::string why = m_process->errorString().toStdString();
        m_process.reset();
        return "rigctld could not be started: " + why;
    }
    m_arguments = arguments;
    return {};
}

void RigctldDaemon::stop() {
    if (!m_process) {
        return;
    }
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(kStopLimitMs)) {
            m_process->kill();
            m_process->waitForFinished(kStopLimitMs);
        }
    }
    m_process.reset();
    m_arguments.clear();
}

HamlibModelListing::HamlibModelListing(std::function<void(std::vector<rig::HamlibModel>)> done,
                                       const QString& program)
    : m_done(std::move(done)), m_process(std::make_unique<QProcess>()),
      m_limit(std::make_unique<QTimer>()) {
    QProcess* process = m_process.get();
    QObject::connect(process, &QProcess::readyReadStandardOutput, process, [this] {
        const QByteArray more = m_process->readAllStandardOutput();
        m_output.append(more.left(kModelListLimit - m_output.size()));
    });
    QObject::connect(process, &QProcess::finished, process, [this](int, QProcess::ExitStatus) {
        m_output.append(m_process->readAllStandardOutput().left(kModelListLimit - m_output.size()));
        finish(true);
    });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [this](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             finish(false);
                         }
                     });
    m_limit->setSingleShot(true);
    QObject::connect(m_limit.get(), &QTimer::timeout, m_limit.get(), [this] { finish(false); });
    m_limit->start(kModelListTimeoutMs);
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start(program, {QStringLiteral("-l")});
}

HamlibModelListing::~HamlibModelListing() {
    m_process->disconnect(); // nothing is handed on from here
    m_limit->stop();
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(kStopLimitMs);
    }
}

void HamlibModelListing::finish(bool ok) {
    if (m_finished) {
        return;
    }
    m_finished = true;
    m_limit->stop();
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill(); // too slow: its end is reported as a failure, not read
    }
    m_done(ok ? rig::parseRigctlModelList(m_output.toStdString())
              : std::vector<rig::HamlibModel>());
}

} // namespace wexon::platform
