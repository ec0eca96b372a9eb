#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <QObject>

#include "net/station_sync.h"

struct mosquitto;
struct mosquitto_message;

namespace wexon::platform {

// Where the broker is and how to log in.
struct MqttSettings {
    std::string host = "127.0.0.1";
    int port = 1883;
    std::string user;     // empty: no login
    std::string password;
    bool tls = false;
    std::string caFile;   // the CA certificate that signed the broker's, for TLS
    // How soon a silent broker counts as gone (about 1.5 times this); the
    // library takes 5 at the least.
    int keepAliveSeconds = 5;
};

// The station network's link to the MQTT broker, through libmosquitto.
//
// The network work runs on a thread of the link's own: connecting (with name
// lookup), reading, writing and reconnecting every second while the broker
// cannot be reached. What arrives there (the connection, messages in broker
// order, acknowledgements, a lost connection) is queued and handed to the
// synchroniser on the thread the link lives in (the GUI thread) in one queued
// call per burst, so the GUI never waits for the network and the synchroniser
// is never called from two threads. Publishing from the GUI thread only hands
// the message to the library, which the network thread then writes.
class MqttStationLink : public QObject, public net::SyncTransport {
    Q_OBJECT
  public:
    explicit MqttStationLink(net::StationSync& sync, QObject* parent = nullptr);
    ~MqttStationLink() override;
    MqttStationLink(const MqttStationLink&) = delete;
    MqttStationLink& operator=(const MqttStationLink&) = delete;

    // Starts connecting (and keeps trying). False with `error` when the client
    // could not be set up (e.g. a CA file that cannot be read).
    bool start(const MqttSettings& settings, std::string& error);
    // Says "down" for the station, disconnects and ends the network thread.
    // Waits at most about a second for the goodbye to go out.
    void stop();
    bool connected() const { return m_linked; }
    // The last connection error, for the network window; empty while connected.
    std::string lastError() const;

    // --- net::SyncTransport ---
    bool publish(const net::Outgoing& message) override;

  signals:
    // Connected, lost, or any message handled: the state shown may have changed.
    void stateChanged();

  private:
    struct Event {
        enum class Kind { Subscribed, Message, Acknowledged, Lost } kind;
        std::string topic;
        std::string payload;
        bool retained = false;
        int mid = 0;
    };

    static void onConnect(mosquitto* mosq, void* self, int rc);
    static void onSubscribe(mosquitto* mosq, void* self, int mid, int count, const int* qos);
    static void onMessage(mosquitto* mosq, void* self, const mosquitto_message* message);
    static void onPublish(mosquitto* mosq, void* self, int mid);
    static void onDisconnect(mosquitto* mosq, void* self, int rc);

    void runNetwork();
    void post(Event event);
    void drain();
    void setError(std::string text);

    net::StationSync& m_sync;
    MqttSettings m_settings;
    mosquitto* m_client = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_socketUp{false};
    bool m_linked = false; // GUI thread: subscribed and handed to the synchroniser

    mutable std::mutex m_mutex; // guards the two below
    std::vector<Event> m_events;
    std::string m_lastError;

    // GUI thread: message ids of own contacts waiting for the broker's ack.
    std::map<int, std::pair<std::string, std::uint64_t>> m_inFlight;
};

} // namespace wexon::platform
