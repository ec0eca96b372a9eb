#include "rig/rigctld_models.h"

#include "rig/rig_reading.h"

namespace wexon::rig {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

// The fields of a line split at runs of two or more spaces (or a tab).
std::vector<std::string_view> wideFields(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        std::size_t start = i;
        while (i < line.size()) {
            if (line[i] == '\t' || (line[i] == ' ' && i + 1 < line.size() && line[i + 1] == ' ')) {
                break;
            }
            ++i;
        }
        if (i > start) {
            out.push_back(trimmed(line.substr(start, i - start)));
        }
    }
    return out;
}

bool printable(std::string_view s, bool tabs = false) {
    for (char c : s) {
        if ((static_cast<unsigned char>(c) < 0x20 && !(tabs && c == '\t')) || c == 0x7f) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string HamlibModel::label() const {
    std::string text = maker.empty() ? name : maker + " " + name;
    return text + " (" + std::to_string(number) + ")";
}

std::vector<HamlibModel> parseRigctlModelList(std::string_view text, std::size_t maxModels) {
    std::vector<HamlibModel> models;
    std::size_t makerAt = 0, nameAt = 0, versionAt = 0;
    bool columns = false;
    while (!text.empty() && models.size() < maxModels) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.size() > 1024 || !printable(trimmed(line), true)) {
            continue;
        }
        if (line.find("Rig #") != std::string_view::npos) {
            makerAt = line.find("Mfg");
            nameAt = line.find("Model");
            versionAt = line.find("Version");
            columns = makerAt != std::string_view::npos && nameAt != std::string_view::npos &&
                      versionAt != std::string_view::npos && makerAt < nameAt &&
                      nameAt < versionAt;
            continue;
        }
        std::string_view rest = trimmed(line);
        std::size_t digits = 0;
        while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') {
            ++digits;
        }
        auto number = digitsValue(rest.substr(0, digits));
        if (!number || digits > 7 || *number < 1 || digits == rest.size() ||
            (rest[digits] != ' ' && rest[digits] != '\t')) {
            continue;
        }
        HamlibModel m;
        m.number = static_cast<int>(*number);
        if (columns && line.size() > nameAt) {
            m.maker = std::string(trimmed(line.substr(makerAt, nameAt - makerAt)));
            m.name = std::string(trimmed(line.substr(nameAt, versionAt - nameAt)));
        } else {
            std::vector<std::string_view> f = wideFields(rest.substr(digits));
            if (!f.empty()) {
                m.maker = std::string(f[0]);
            }
            if (f.size() > 1) {
                m.name = std::string(f[1]);
            }
        }
        if (m.name.empty()) {
            continue;
        }
        models.push_back(std::move(m));
    }
    return models;
}

std::optional<std::string> rigctldLaunchProblem(const RigctldLaunch& launch) {
    if (launch.model < 1) {
        return "Choose a Hamlib model";
    }
    if (!launch.device.empty() && (launch.device.front() != '/' || !printable(launch.device))) {
        return "The serial device must be a full path such as /dev/ttyUSB0";
    }
    if (launch.speed < 0 || launch.speed > 1000000) {
        return "The serial speed is not a speed";
    }
    if (launch.port < 1 || launch.port > 65535) {
        return "The rigctld port is not a TCP port number (1-65535)";
    }
    if (launch.host.empty() || !printable(launch.host)) {
        return "No rigctld host";
    }
    return std::nullopt;
}

std::vector<std::string> rigctldArguments(const RigctldLaunch& launch) {
    std::vector<std::string> args = {"-m", std::to_string(launch.model)};
    if (!launch.device.empty()) {
        args.insert(args.end(), {"-r", launch.device});
    }
    if (launch.speed > 0) {
        args.insert(args.end(), {"-s", std::to_string(launch.speed)});
    }
    args.insert(args.end(), {"-T", launch.host, "-t", std::to_string(launch.port)});
    return args;
}

} // namespace wexon::rig
