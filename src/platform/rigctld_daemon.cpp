#include "platform/rigctld_daemon.h"

#include <QObject>
#include <QPointer>
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

void listHamlibModels(QObject* context, std::function<void(std::vector<rig::HamlibModel>)> done,
                      const QString& program) {
    auto* process = new QProcess();
    auto output = std::make_shared<QByteArray>();
    auto finished = std::make_shared<bool>(false);
    QPointer<QObject> owner(context);
    auto finish = [process, output, finished, owner, done](bool ok) {
        if (*finished) {
            return;
        }
        *finished = true;
        if (process->state() != QProcess::NotRunning) {
            process->kill();
        }
        process->deleteLater();
        if (owner) {
            done(ok ? rig::parseRigctlModelList(output->toStdString())
                    : std::vector<rig::HamlibModel>());
        }
    };
    QObject::connect(process, &QProcess::readyReadStandardOutput, process, [process, output] {
        QByteArray more = process->readAllStandardOutput();
        if (output->size() < kModelListLimit) {
            output->append(more.left(kModelListLimit - output->size()));
        }
    });
    QObject::connect(process, &QProcess::finished, process, [process, output, finish](int, QProcess::ExitStatus) {
        output->append(process->readAllStandardOutput().left(kModelListLimit - output->size()));
        finish(true);
    });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [finish](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart || error == QProcess::Crashed) {
                             finish(false);
                         }
                     });
    QTimer::singleShot(kModelListTimeoutMs, process, [finish] { finish(false); });
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start(program, {QStringLiteral("-l")});
}

} // namespace wexon::platform
