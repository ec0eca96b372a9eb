#include "platform/mqtt_station_link.h"

#include <chrono>
#include <cstring>

#include <mosquitto.h>

namespace wexon::platform {

namespace {

// Messages queued for the GUI thread beyond this are refused: a broker that
// floods the station must not exhaust its memory. The whole log of a large
// multi-operator station is well below it.
constexpr std::size_t kMaxQueuedEvents = 500000;

void initLibrary() {
    static const bool done = [] {
        mosquitto_lib_init();
        return true;
    }();
    (void)done;
}

} // namespace

MqttStationLink::MqttStationLink(net::StationSync& sync, QObject* parent)
    : QObject(parent), m_sync(sync) {
    initLibrary();
}

MqttStationLink::~MqttStationLink() { stop(); }

bool MqttStationLink::start(const MqttSettings& settings, std::string& error) {
    stop();
    m_settings = settings;
    m_settings.keepAliveSeconds = std::max(5, settings.keepAliveSeconds);
    const net::SyncConfig& config = m_sync.config();
    const std::string clientId = config.station + "-" + config.instance;
    m_client = mosquitto_new(clientId.c_str(), true, this);
    if (m_client == nullptr) {
        error = "the MQTT client could not be created";
        return false;
    }
    mosquitto_threaded_set(m_client, true);
    mosquitto_int_option(m_client, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    // Each contact is a small packet of its own: send it now rather than wait
    // for the acknowledgement of the one before.
    mosquitto_int_option(m_client, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_connect_callback_set(m_client, &MqttStationLink::onConnect);
    mosquitto_subscribe_callback_set(m_client, &MqttStationLink::onSubscribe);
    mosquitto_message_callback_set(m_client, &MqttStationLink::onMessage);
    mosquitto_publish_callback_set(m_client, &MqttStationLink::onPublish);
    mosquitto_disconnect_callback_set(m_client, &MqttStationLink::onDisconnect);
    if (!settings.user.empty()) {
        mosquitto_username_pw_set(m_client, settings.user.c_str(),
                                  settings.password.empty() ? nullptr : settings.password.c_str());
    }
    if (settings.tls) {
        int rc = mosquitto_tls_set(m_client, settings.caFile.c_str(), nullptr, nullptr, nullptr,
                                   nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            error = "TLS could not be set up with the CA file \"" + settings.caFile +
                    "\": " + mosquitto_strerror(rc);
            mosquitto_destroy(m_client);
            m_client = nullptr;
            return false;
        }
    }
    // The broker says "down" for this station when its link breaks.
    const std::string willTopic = net::statusTopic(config.contestId, config.station);
    const std::string will = net::encodeStatus({config.station, config.instance, false});
    mosquitto_will_set(m_client, willTopic.c_str(), static_cast<int>(will.size()), will.data(), 1,
                       true);
    m_stopping = false;
    setError("connecting to " + settings.host + ":" + std::to_string(settings.port));
    m_thread = std::thread([this] { runNetwork(); });
    return true;
}

void MqttStationLink::stop() {
    if (m_client == nullptr) {
        return;
    }
    if (m_linked) {
        const net::SyncConfig& config = m_sync.config();
        const std::string topic = net::statusTopic(config.contestId, config.station);
        const std::string down = net::encodeStatus({config.station, config.instance, false});
        int mid = 0;
        mosquitto_publish(m_client, &mid, topic.c_str(), static_cast<int>(down.size()),
                          down.data(), 1, true);
        // Let the goodbye reach the broker before the disconnect.
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
        while (std::chrono::steady_clock::now() < until && m_socketUp &&
               mosquitto_want_write(m_client)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    m_stopping = true;
    mosquitto_disconnect(m_client);
    if (m_thread.joinable()) {
        m_thread.join();
    }
    mosquitto_destroy(m_client);
    m_client = nullptr;
    {
        std::lock_guard lock(m_mutex);
        m_events.clear();
    }
    m_inFlight.clear();
    if (m_linked) {
        m_linked = false;
        m_sync.linkDown();
    }
}

// The network thread: connect, run the client, reconnect after a second when
// the connection fails or breaks, until stop().
void MqttStationLink::runNetwork() {
    bool haveSocket = false;
    while (!m_stopping) {
        if (!haveSocket) {
            // Asynchronous, so that a broker that does not answer never keeps
            // stop() waiting for the system's connect timeout.
            int rc = mosquitto_connect_async(m_client, m_settings.host.c_str(), m_settings.port,
                                             m_settings.keepAliveSeconds);
            if (rc != MOSQ_ERR_SUCCESS) {
                setError(rc == MOSQ_ERR_ERRNO ? std::strerror(errno) : mosquitto_strerror(rc));
                for (int i = 0; i < 20 && !m_stopping; ++i) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                }
                continue;
            }
            haveSocket = true;
        }
        int rc = mosquitto_loop(m_client, 50, 1);
        if (rc != MOSQ_ERR_SUCCESS && !m_stopping) {
            haveSocket = false;
            if (m_socketUp.exchange(false)) {
                post({Event::Kind::Lost, {}, {}, false, 0});
            }
            setError(rc == MOSQ_ERR_ERRNO ? std::strerror(errno) : mosquitto_strerror(rc));
            for (int i = 0; i < 20 && !m_stopping; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
    }
}

void MqttStationLink::onConnect(mosquitto* mosq, void* self, int rc) {
    auto* link = static_cast<MqttStationLink*>(self);
    if (rc != 0) {
        link->setError(std::string("the broker refused the connection: ") +
                       mosquitto_connack_string(rc));
        mosquitto_disconnect(mosq);
        return;
    }
    link->m_socketUp = true;
    const std::string filter = net::contestFilter(link->m_sync.config().contestId);
    mosquitto_subscribe(mosq, nullptr, filter.c_str(), 1);
}

void MqttStationLink::onSubscribe(mosquitto*, void* self, int, int count, const int* qos) {
    auto* link = static_cast<MqttStationLink*>(self);
    if (count < 1 || qos[0] > 2) {
        link->setError("the broker refused the subscription to the contest's topics");
        return;
    }
    link->setError({});
    link->post({Event::Kind::Subscribed, {}, {}, false, 0});
}

void MqttStationLink::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* link = static_cast<MqttStationLink*>(self);
    Event e{Event::Kind::Message, message->topic ? message->topic : "", {}, message->retain, 0};
    // Only one byte past the limit is kept: enough for the reader to refuse it.
    const auto length = static_cast<std::size_t>(std::max(0, message->payloadlen));
    e.payload.assign(static_cast<const char*>(message->payload),
                     std::min(length, net::kMaxMessageBytes + 1));
    link->post(std::move(e));
}

void MqttStationLink::onPublish(mosquitto*, void* self, int mid) {
    static_cast<MqttStationLink*>(self)->post({Event::Kind::Acknowledged, {}, {}, false, mid});
}

void MqttStationLink::onDisconnect(mosquitto*, void* self, int) {
    auto* link = static_cast<MqttStationLink*>(self);
    if (link->m_socketUp.exchange(false)) {
        link->post({Event::Kind::Lost, {}, {}, false, 0});
    }
}

void MqttStationLink::post(Event event) {
    bool first = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_events.size() >= kMaxQueuedEvents && event.kind == Event::Kind::Message) {
            return;
        }
        first = m_events.empty();
        m_events.push_back(std::move(event));
    }
    if (first) {
        QMetaObject::invokeMethod(this, [this] { drain(); }, Qt::QueuedConnection);
    }
}

void MqttStationLink::drain() {
    std::vector<Event> events;
    {
        std::lock_guard lock(m_mutex);
        events.swap(m_events);
    }
    std::vector<net::Incoming> batch;
    auto flush = [&] {
        if (!batch.empty()) {
            m_sync.receive(batch);
            batch.clear();
        }
    };
    for (Event& e : events) {
        switch (e.kind) {
        case Event::Kind::Message:
            if (m_linked) {
                batch.push_back({std::move(e.topic), std::move(e.payload), e.retained});
            }
            break;
        case Event::Kind::Subscribed:
            flush();
            m_linked = true;
            m_sync.linkUp(this);
            break;
        case Event::Kind::Acknowledged:
            if (auto it = m_inFlight.find(e.mid); it != m_inFlight.end()) {
                flush();
                m_sync.acknowledged(it->second.first, it->second.second);
                m_inFlight.erase(it);
            }
            break;
        case Event::Kind::Lost:
            flush();
            // What was in flight is sent again after the next marker.
            m_inFlight.clear();
            if (m_linked) {
                m_linked = false;
                m_sync.linkDown();
            }
            break;
        }
    }
    flush();
    emit stateChanged();
}

bool MqttStationLink::publish(const net::Outgoing& message) {
    if (m_client == nullptr) {
        return false;
    }
    int mid = 0;
    int rc = mosquitto_publish(m_client, &mid, message.topic.c_str(),
                               static_cast<int>(message.payload.size()), message.payload.data(), 1,
                               message.retained);
    if (rc != MOSQ_ERR_SUCCESS) {
        return false;
    }
    if (!message.contactId.empty()) {
        m_inFlight[mid] = {message.contactId, message.revision};
    }
    return true;
}

void MqttStationLink::setError(std::string text) {
    std::lock_guard lock(m_mutex);
    m_lastError = std::move(text);
}

std::string MqttStationLink::lastError() const {
    std::lock_guard lock(m_mutex);
    return m_lastError;
}

} // namespace wexon::platform
