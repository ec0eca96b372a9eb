#include "net/network_journal.h"

#include <charconv>
#include <string_view>

namespace wexon::net {

namespace {

constexpr std::size_t kMaxJournalBytes = 256u * 1024u * 1024u;

std::optional<std::uint64_t> number(std::string_view text) {
    std::uint64_t v = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || p != text.data() + text.size()) {
        return std::nullopt;
    }
    return v;
}

std::string_view field(std::string_view& rest) {
    std::size_t tab = rest.find('\t');
    std::string_view f = rest.substr(0, tab);
    rest = tab == std::string_view::npos ? std::string_view() : rest.substr(tab + 1);
    return f;
}

} // namespace

NetworkJournal::Content NetworkJournal::read(const std::string& contestId) const {
    Content content;
    auto bytes = core::readWholeFile(m_path, kMaxJournalBytes);
    if (!bytes) {
        return content;
    }
    std::string_view all = *bytes;
    while (!all.empty()) {
        std::size_t end = all.find('\n');
        if (end == std::string_view::npos) {
            // A torn last line: its write never finished, so it never counted.
            ++content.skippedLines;
            break;
        }
        std::string_view line = all.substr(0, end);
        all.remove_prefix(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        ++content.lines;
        std::string_view rest = line;
        std::string_view kind = field(rest);
        bool used = false;
        if (kind == "own") {
            auto sent = number(field(rest));
            ParsedContact p = parseContact(rest);
            if (sent && p.message && p.message->contestId == contestId) {
                auto [it, fresh] = content.own.try_emplace(p.message->id);
                if (fresh || p.message->revision >= it->second.message.revision) {
                    std::uint64_t kept = fresh ? 0 : it->second.sentRevision;
                    it->second.message = std::move(*p.message);
                    it->second.sentRevision = std::max(kept, *sent);
                }
                used = true;
            }
        } else if (kind == "sent") {
            std::string id(field(rest));
            auto rev = number(rest);
            if (rev) {
                auto it = content.own.find(id);
                if (it != content.own.end()) {
                    it->second.sentRevision = std::max(it->second.sentRevision, *rev);
                }
                used = true;
            }
        } else if (kind == "other") {
            ParsedContact p = parseContact(rest);
            if (p.message && p.message->contestId == contestId) {
                auto [it, fresh] = content.others.try_emplace(p.message->id, *p.message);
                if (!fresh && p.message->revision > it->second.revision) {
                    it->second = std::move(*p.message);
                }
                used = true;
            }
        }
        if (!used) {
            ++content.skippedLines;
        }
    }
    return content;
}

void NetworkJournal::addOwn(const ContactMessage& message, std::uint64_t sentRevision) {
    m_pending += "own\t" + std::to_string(sentRevision) + "\t" + encodeContact(message) + "\n";
}

void NetworkJournal::addSent(const std::string& id, std::uint64_t revision) {
    m_pending += "sent\t" + id + "\t" + std::to_string(revision) + "\n";
}

void NetworkJournal::addOther(const ContactMessage& message) {
    m_pending += "other\t" + encodeContact(message) + "\n";
}

core::FileResult NetworkJournal::flush() {
    if (m_pending.empty()) {
        return {};
    }
    core::FileResult r = core::appendDurably(m_path, m_pending);
    if (r) {
        for (char c : m_pending) {
            m_appended += c == '\n' ? 1 : 0;
        }
        m_pending.clear();
    }
    return r;
}

core::FileResult NetworkJournal::compact(const Content& content) {
    std::string out;
    for (const auto& [id, own] : content.own) {
        out += "own\t" + std::to_string(own.sentRevision) + "\t" + encodeContact(own.message) +
               "\n";
    }
    for (const auto& [id, other] : content.others) {
        out += "other\t" + encodeContact(other) + "\n";
    }
    // Lines still waiting belong after the compacted state.
    out += m_pending;
    core::FileResult r = core::replaceAtomically(m_path, out);
    if (r) {
        m_pending.clear();
        m_appended = 0;
    }
    return r;
}

} // namespace wexon::net
